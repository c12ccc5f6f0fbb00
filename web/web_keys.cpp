#include "web/web_keys.h"

#include <cstring>

namespace {

struct KeyName {
    const char* name;
    ShowKey key;
};

constexpr std::array<KeyName, 14> kKeyNames = {{
    {"Escape", ShowKey::Escape},
    {"F1", ShowKey::F1},
    {"ArrowLeft", ShowKey::Left},
    {"ArrowRight", ShowKey::Right},
    {"ArrowUp", ShowKey::Up},
    {"ArrowDown", ShowKey::Down},
    {" ", ShowKey::Space},
    {".", ShowKey::Period},
    {",", ShowKey::Comma},
    {"PageDown", ShowKey::PageDown},
    {"PageUp", ShowKey::PageUp},
    {"Home", ShowKey::Home},
    {"h", ShowKey::H},
    {"H", ShowKey::H},
}};

} // namespace

bool webKeyFor(const char* const keyName, ShowKey* const out) {
    if (keyName == nullptr) {
        return false;
    }
    for (const KeyName& entry : kKeyNames) {
        if (std::strcmp(entry.name, keyName) == 0) {
            *out = entry.key;
            return true;
        }
    }
    return false;
}

bool handleWebKey(ShowKeys* const keys, const char* const keyName, const bool down,
                  const bool repeat, const bool modifierHeld) {
    ShowKey key;
    if (!webKeyFor(keyName, &key)) {
        return false;
    }
    if (!down) {
        releaseShowKey(keys, key); // a release always clears, modifiers or not
        return true;
    }
    if (modifierHeld) {
        return false;
    }
    pressShowKey(keys, key, repeat);
    return true;
}
