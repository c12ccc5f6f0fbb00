#include "web/web_keys.h"

#include <cstring>

namespace {

struct KeyName {
    const char* name;
    WebKey key;
};

constexpr std::array<KeyName, 6> kKeyNames = {{
    {"Escape", WebKey::Escape},
    {"F1", WebKey::F1},
    {"ArrowLeft", WebKey::Left},
    {"ArrowRight", WebKey::Right},
    {"ArrowUp", WebKey::Up},
    {"ArrowDown", WebKey::Down},
}};

std::size_t slot(const WebKey key) {
    return static_cast<std::size_t>(key);
}

} // namespace

bool webKeyFor(const char* const keyName, WebKey* const out) {
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
                  const bool modifierHeld) {
    WebKey key;
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
    keys->presses[slot(key)] = 1;
    return true;
}

void releaseWebKeys(WebKeys* const keys) {
    keys->down.fill(0);
}

bool webKeyActs(const WebKeys& keys, const WebKey key) {
    return keys.down[slot(key)] == 1 || keys.presses[slot(key)] == 1;
}

void clearWebKeyPresses(WebKeys* const keys) {
    keys->presses.fill(0);
}
