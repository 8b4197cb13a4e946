#pragma once

#include "desktop/platform.h"

// The desktop platform outside Windows: hardening and the tracer check of
// the process, the clipboard managers' secret hint, no capture exclusion (X11
// has none). Hotkey and typing are refused here; the X11 backend adds them.
class PosixPlatform : public DesktopPlatform
{
public:
    bool registerHotkey() override { return false; }
    void unregisterHotkey() override {}
    bool isHotkeyEvent(const char *, const void *) override { return false; }
    bool keystrokesAvailable() override { return false; }
    bool sendText(const std::u16string &) override { return false; }
    bool modifiersHeld() override { return false; }

    std::vector<desktopplatform::ClipboardMark> secretClipboardMarks() override;
    bool captureExclusionSupported() override { return false; }
    bool setCaptureExcluded(void *, bool) override { return false; }
    desktopplatform::Mitigations applyMitigations() override;
    bool debuggerAttached() override;
};
