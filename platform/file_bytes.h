#pragma once
#include <vector>

// Reads the whole file at `path` into `bytes`. False when it cannot be opened or read: missing,
// a directory, no permission, a read error.
bool readFileBytes(const char* path, std::vector<unsigned char>* bytes);
