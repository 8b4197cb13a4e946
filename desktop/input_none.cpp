// Hotkey and typing where no supported window system is present: every
// request reports failure so callers can say so.
#include "desktop/platform.h"

namespace desktopplatform {

bool registerHotkey()
{
    return false;
}

void unregisterHotkey() {}

bool isHotkeyEvent(const char *, const void *)
{
    return false;
}

bool keystrokesAvailable()
{
    return false;
}

bool sendText(const char16_t *, std::size_t)
{
    return false;
}

bool modifiersHeld()
{
    return false;
}

} // namespace desktopplatform
