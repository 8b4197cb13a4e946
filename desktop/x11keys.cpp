#include "desktop/x11keys.h"

#include <xkbcommon/xkbcommon.h>

namespace x11keys {

uint32_t KeyMap::sym(unsigned keycode, int level) const
{
    if (keycode < minKeycode || level < 0 || level >= perKeycode)
        return 0;
    const std::size_t index = std::size_t(keycode - minKeycode) * std::size_t(perKeycode) + std::size_t(level);
    return index < syms.size() ? syms[index] : 0;
}

bool KeyMap::unused(unsigned keycode) const
{
    if (keycode < minKeycode || int(keycode - minKeycode) >= keycodeCount())
        return false;
    for (int level = 0; level < perKeycode; ++level) {
        if (sym(keycode, level) != 0)
            return false;
    }
    return true;
}

KeyStroke findCharacter(const KeyMap &map, char32_t codePoint)
{
    // Plain level first over all keys, so "1" never comes out as a shifted key.
    for (int level = 0; level < 2; ++level) {
        for (int i = 0; i < map.keycodeCount(); ++i) {
            const unsigned keycode = map.minKeycode + unsigned(i);
            const uint32_t sym = map.sym(keycode, level);
            if (sym && xkb_keysym_to_utf32(sym) == uint32_t(codePoint))
                return KeyStroke{uint8_t(keycode), level == 1};
        }
    }
    return KeyStroke{};
}

uint8_t findKeysym(const KeyMap &map, uint32_t keysym)
{
    for (int i = 0; i < map.keycodeCount(); ++i) {
        const unsigned keycode = map.minKeycode + unsigned(i);
        if (map.sym(keycode, 0) == keysym)
            return uint8_t(keycode);
    }
    return 0;
}

std::vector<uint8_t> spareKeycodes(const KeyMap &map)
{
    std::vector<uint8_t> spare;
    for (int i = map.keycodeCount() - 1; i >= 0; --i) {
        const unsigned keycode = map.minKeycode + unsigned(i);
        if (keycode <= 255 && map.unused(keycode))
            spare.push_back(uint8_t(keycode));
    }
    return spare;
}

std::u32string codePoints(const char16_t *units, std::size_t count)
{
    std::u32string out;
    for (std::size_t i = 0; i < count; ++i) {
        const char16_t u = units[i];
        if (u >= 0xd800 && u <= 0xdbff && i + 1 < count && units[i + 1] >= 0xdc00 && units[i + 1] <= 0xdfff) {
            out.push_back(0x10000 + ((char32_t(u) - 0xd800) << 10) + (char32_t(units[i + 1]) - 0xdc00));
            ++i;
        } else if (u >= 0xd800 && u <= 0xdfff) {
            out.push_back(0xfffd);
        } else {
            out.push_back(u);
        }
    }
    return out;
}

std::vector<uint16_t> hotkeyModifierVariants(uint16_t numLockMask)
{
    const uint16_t base = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT;
    std::vector<uint16_t> variants{base, uint16_t(base | XCB_MOD_MASK_LOCK)};
    if (numLockMask) {
        variants.push_back(uint16_t(base | numLockMask));
        variants.push_back(uint16_t(base | numLockMask | XCB_MOD_MASK_LOCK));
    }
    return variants;
}

bool isHotkeyPress(const xcb_generic_event_t *event, uint8_t keycode, uint16_t numLockMask)
{
    if (!event || keycode == 0 || (event->response_type & 0x7f) != XCB_KEY_PRESS)
        return false;
    const auto *press = reinterpret_cast<const xcb_key_press_event_t *>(event);
    const uint16_t modifiers = press->state & 0xff & ~uint16_t(XCB_MOD_MASK_LOCK | numLockMask);
    return press->detail == keycode && modifiers == (XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT);
}

} // namespace x11keys
