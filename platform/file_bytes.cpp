#include "platform/file_bytes.h"

#include <cstdio>

bool readFileBytes(const char* const path, std::vector<unsigned char>* const bytes) {
    bytes->clear();
    std::FILE* const file = path != nullptr ? std::fopen(path, "rb") : nullptr;
    if (file == nullptr) {
        return false;
    }
    unsigned char chunk[65536];
    bool ok = true;
    for (;;) {
        const std::size_t got = std::fread(chunk, 1, sizeof(chunk), file);
        bytes->insert(bytes->end(), chunk, chunk + got);
        if (got < sizeof(chunk)) {
            ok = std::ferror(file) == 0;
            break;
        }
    }
    std::fclose(file);
    return ok;
}
