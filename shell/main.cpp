#include <SDL.h>

#include "shell/main_loop.h"

int main() {
    const int status = winMain();
    SDL_Quit(); // everything SDL started, down to its desktop-bus connection
    return status;
}
