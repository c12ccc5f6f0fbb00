#include "state/random.h"

// It starts at 1 and is never reseeded, so the first start-up always gives the same shapes and
// every later start-up continues where the previous one left.
static unsigned int randomState = 1;

int nextRandom() {
    randomState = randomState * 214013u + 2531011u;
    return static_cast<int>((randomState >> 16) & 0x7FFFu);
}
