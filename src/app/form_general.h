#pragma once
// Portable half of the hidden main window: what the global hot key registers.

#include <cstdint>

namespace pv {

// Bits of a 16-bit menu-shortcut value (the low byte is the virtual key).
constexpr uint16_t kScShift = 0x2000;
constexpr uint16_t kScCtrl = 0x4000;
constexpr uint16_t kScAlt = 0x8000;

// RegisterHotKey modifier bits, same values as Win32 MOD_*.
constexpr unsigned kModAlt = 0x1;
constexpr unsigned kModControl = 0x2;
constexpr unsigned kModShift = 0x4;

// Ctrl+L, the hot key until the settings say otherwise.
constexpr uint16_t kDefaultHotKey = 0x404C;

struct HotKeyRegistration {
    unsigned modifiers = 0;  // kMod* bits
    unsigned virtualKey = 0;
};

HotKeyRegistration HotKeyToRegistration(uint16_t hotKey);

}  // namespace pv
