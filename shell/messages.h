#pragma once
// The start-up dialog's procedure messages (settings_dialog.h).
#include <cstdint>

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

inline constexpr unsigned WM_INITDIALOG = 0x0110;
inline constexpr unsigned WM_COMMAND = 0x0111;

// The low 16 bits of a message parameter.
inline unsigned loWord(const std::uintptr_t value) {
    return static_cast<unsigned>(value & 0xFFFFu);
}
