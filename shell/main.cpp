#include <SDL.h>

#include "demo/music.h"
#include "shell/main_loop.h"

int main() {
    const int status = winMain();
    resetMusic(); // the sound stops, its thread ended, before the track and SDL go
    SDL_Quit();   // everything SDL started, down to its desktop-bus connection
    return status;
}
