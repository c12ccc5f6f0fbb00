#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Every generated file except the music, as the bytes committed under the repository root.
struct ContentFile {
    std::string path; // relative to the repository root
    std::vector<std::uint8_t> bytes;
};

// Builds the textures and the glyph atlas at every scale, the torus model, the dialog picture and
// the icons. False, with the reason, when a font cannot be loaded.
bool makeContentFiles(std::vector<ContentFile>* files, std::string* error);
