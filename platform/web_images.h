#pragma once
// The browser's side of the web build's PNG textures (platform/web_images.js): the page
// decodes every PNG it loads with the browser's own decoder, colour conversion and
// premultiplication off, to 8-bit RGBA rows, top row first. Web build only.

extern "C" {

// The decoded image the page loaded from `path` (a path below the data root, as the show
// opens it): its size and the bits per pixel and of alpha of the file. False when the page
// holds no such image.
bool webImageInfo(const char* path, unsigned* width, unsigned* height, unsigned* depth,
                  unsigned* alpha);
// Copies the image's width x height x 4 bytes to `rgba`.
void webImageCopy(const char* path, unsigned char* rgba);
}
