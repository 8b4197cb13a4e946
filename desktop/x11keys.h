#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <xcb/xcb.h>

// Keyboard-mapping arithmetic for the X11 hotkey and typing, free of any
// server round trip so it can be checked on its own.
namespace x11keys {

constexpr uint32_t kShiftL = 0xffe1, kShiftR = 0xffe2, kControlL = 0xffe3, kControlR = 0xffe4;
constexpr uint32_t kMetaL = 0xffe7, kMetaR = 0xffe8, kAltL = 0xffe9, kAltR = 0xffea;
constexpr uint32_t kNumLock = 0xff7f;

// The core keyboard mapping: `perKeycode` keysyms for each keycode from
// `minKeycode` on.
struct KeyMap
{
    uint8_t minKeycode = 8;
    int perKeycode = 0;
    std::vector<uint32_t> syms;

    int keycodeCount() const { return perKeycode > 0 ? int(syms.size()) / perKeycode : 0; }
    uint32_t sym(unsigned keycode, int level) const;
    bool unused(unsigned keycode) const;
};

struct KeyStroke
{
    uint8_t keycode = 0;  // 0: not on the layout
    bool shift = false;
};

// The key producing this character on the plain or shifted level.
KeyStroke findCharacter(const KeyMap &map, char32_t codePoint);
// The key carrying this keysym on the plain level.
uint8_t findKeysym(const KeyMap &map, uint32_t keysym);
// Keycodes with no symbol at all, highest first.
std::vector<uint8_t> spareKeycodes(const KeyMap &map);

// UTF-16 to code points; a lone surrogate becomes U+FFFD.
std::u32string codePoints(const char16_t *units, std::size_t count);

// Modifier sets the hotkey is grabbed with: Ctrl+Shift, also with CapsLock
// and NumLock on, so those locks do not silently disable it.
std::vector<uint16_t> hotkeyModifierVariants(uint16_t numLockMask);
// A key press of the hotkey: the key with exactly Ctrl+Shift, locks ignored.
bool isHotkeyPress(const xcb_generic_event_t *event, uint8_t keycode, uint16_t numLockMask);

} // namespace x11keys
