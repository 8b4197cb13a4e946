#pragma once

#include <cstddef>

// Thin layer over the operating system's desktop calls. It needs no Qt so the
// Windows side can be compiled on its own by a cross compiler; every call
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

Mitigations applyMitigations();

// Window display affinity; false for a null window or where unsupported.
bool captureExclusionSupported();
bool setDisplayAffinity(void *window, unsigned affinity);

// Global Ctrl+Shift+V.
bool registerHotkey();
void unregisterHotkey();
// Whether a native event (as handed to a native event filter) is the hotkey.
bool isHotkeyEvent(const char *eventType, const void *message);

// Synthetic keystrokes for the given UTF-16 text into the focused window.
bool keystrokesAvailable();
bool sendText(const char16_t *units, std::size_t count);
// Ctrl, Shift or Alt currently held down (false when it cannot be known).
bool modifiersHeld();

// A debugger or tracer attached to this process.
bool debuggerAttached();
// TracerPid from the text of /proc/<pid>/status; 0 when absent or malformed.
int tracerPidFromStatus(const char *statusText, std::size_t length);

} // namespace desktopplatform
