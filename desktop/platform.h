#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The operating system's desktop calls behind one seam: the typer, the
// hotkey filter, capture protection and hardening take a DesktopPlatform, so
// tests run them against a recording fake. No Qt in this header, so the
// Windows backend can be compiled on its own by a cross compiler; every call
// reports honestly whether the platform did what was asked.
namespace desktopplatform {

constexpr int kHotkeyId = 22117;             // 0x5665
constexpr unsigned kHotkeyModifiers = 6;     // MOD_CONTROL | MOD_SHIFT
constexpr unsigned kHotkeyVirtualKey = 86;   // 'V'
constexpr unsigned kHotkeyMessage = 0x0312;  // WM_HOTKEY
constexpr unsigned kAffinityExcludeFromCapture = 0x11;
constexpr unsigned kAffinityMonitor = 1;

// Which process mitigations the platform accepted.
struct Mitigations
{
    bool extensionPointsDisabled = false;  // Windows: legacy extension points
    bool dynamicCodeProhibited = false;    // Windows: no new executable memory
    bool remoteImagesBlocked = false;      // Windows: image load policy
    bool memoryReadsRefused = false;       // Linux: not dumpable, no same-user ptrace
};

// An extra clipboard format put beside a secret text.
struct ClipboardMark
{
    std::string format;
    std::string data;
};

// TracerPid from the text of /proc/<pid>/status; 0 when absent or malformed.
int tracerPidFromStatus(const char *statusText, std::size_t length);

} // namespace desktopplatform

class DesktopPlatform
{
public:
    virtual ~DesktopPlatform() = default;

    // Global Ctrl+Shift+V.
    virtual bool registerHotkey() = 0;
    virtual void unregisterHotkey() = 0;
    // Whether a native event (as handed to a native event filter) is the hotkey.
    virtual bool isHotkeyEvent(const char *eventType, const void *message) = 0;

    // Whether this desktop session can deliver synthetic keystrokes at all.
    virtual bool keystrokesAvailable() = 0;
    // Keystrokes for the UTF-16 text into the focused window; false unless
    // every one was accepted.
    virtual bool sendText(const std::u16string &text) = 0;
    // Ctrl, Shift or Alt currently held down (false when it cannot be known).
    virtual bool modifiersHeld() = 0;

    // Formats that keep a copied secret out of clipboard history, cloud
    // clipboard sync and clipboard managers.
    virtual std::vector<desktopplatform::ClipboardMark> secretClipboardMarks() = 0;

    // Whether a window can be kept out of screen captures at all.
    virtual bool captureExclusionSupported() = 0;
    // Keeps the native window out of captures (or lets it be captured again);
    // false for a null window or where unsupported.
    virtual bool setCaptureExcluded(void *window, bool excluded) = 0;

    // Switches on the process mitigations this platform offers.
    virtual desktopplatform::Mitigations applyMitigations() = 0;
    // A debugger or tracer attached to this process.
    virtual bool debuggerAttached() = 0;
};

// This machine's platform: the Windows backend, the X11 one, or one that
// refuses hotkey and typing where neither is built. One per process, since
// the hotkey and the keyboard map it borrows from are the session's.
DesktopPlatform &nativeDesktopPlatform();
