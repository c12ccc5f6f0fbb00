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

std::size_t slot(const ShowKey key) {
    return static_cast<std::size_t>(key);
}

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

bool handleWebKey(WebKeys* const keys, const char* const keyName, const bool down,
                  const bool repeat, const bool modifierHeld) {
    ShowKey key;
    if (!webKeyFor(keyName, &key)) {
        return false;
    }
    if (!down) {
        keys->down[slot(key)] = 0; // a release always clears, modifiers or not
        return true;
    }
    if (modifierHeld) {
        return false;
    }
    keys->down[slot(key)] = 1;
    if (!(repeat && isToggleKey(key))) {
        keys->presses[slot(key)] += 1;
    }
    return true;
}

void releaseWebKeys(WebKeys* const keys) {
    keys->down.fill(0);
}
