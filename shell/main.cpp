#include <cstdio>

// Placeholder until the window shell lands.
int main() {
    std::puts("vellomire: the window shell is not built yet");
    return 0;
}
