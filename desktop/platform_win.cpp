// Windows side of the desktop platform layer. Plain Win32, no Qt, so CI can
// compile it with MinGW-w64.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0A00
#endif
#include <windows.h>

#include "desktop/platform.h"

namespace desktopplatform {

namespace {

// Looked up at run time: older Windows versions lack it, and a missing
// import would stop the program from starting at all.
using SetPolicyFn = BOOL(WINAPI *)(PROCESS_MITIGATION_POLICY, PVOID, SIZE_T);

SetPolicyFn setPolicyFunction()
{
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    if (!kernel)
        return nullptr;
    return reinterpret_cast<SetPolicyFn>(
        reinterpret_cast<void *>(GetProcAddress(kernel, "SetProcessMitigationPolicy")));
}

bool applyPolicy(SetPolicyFn fn, PROCESS_MITIGATION_POLICY policy, DWORD flags)
{
    // Every policy structure used here is a single 4-byte flags word.
    return fn && fn(policy, &flags, sizeof flags) != FALSE;
}

bool keyDown(int virtualKey)
{
    return (GetAsyncKeyState(virtualKey) & 0x8000) != 0;
}

} // namespace

Mitigations applyMitigations()
{
    Mitigations m;
    const SetPolicyFn fn = setPolicyFunction();
    m.extensionPointsDisabled = applyPolicy(fn, ProcessExtensionPointDisablePolicy, 1);
    m.dynamicCodeProhibited = applyPolicy(fn, ProcessDynamicCodePolicy, 1);
    // NoRemoteImages | NoLowMandatoryLabelImages | PreferSystem32Images
    m.remoteImagesBlocked = applyPolicy(fn, ProcessImageLoadPolicy, 7);
    return m;
}

bool captureExclusionSupported()
{
    return true;
}

bool setDisplayAffinity(void *window, unsigned affinity)
{
    if (!window)
        return false;
    return SetWindowDisplayAffinity(static_cast<HWND>(window), affinity) != FALSE;
}

bool registerHotkey()
{
    return RegisterHotKey(nullptr, kHotkeyId, kHotkeyModifiers, kHotkeyVirtualKey) != FALSE;
}

void unregisterHotkey()
{
    UnregisterHotKey(nullptr, kHotkeyId);
}

bool isHotkeyEvent(const char *, const void *message)
{
    const MSG *msg = static_cast<const MSG *>(message);
    return msg && msg->message == kHotkeyMessage && msg->wParam == static_cast<WPARAM>(kHotkeyId);
}

bool keystrokesAvailable()
{
    return true;
}

bool sendText(const char16_t *units, std::size_t count)
{
    bool allSent = true;
    for (std::size_t i = 0; i < count; ++i) {
        INPUT inputs[2] = {};
        inputs[0].type = INPUT_KEYBOARD;
        inputs[0].ki.wVk = 0;
        inputs[0].ki.wScan = static_cast<WORD>(units[i]);
        inputs[0].ki.dwFlags = KEYEVENTF_UNICODE;
        inputs[1] = inputs[0];
        inputs[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        // SendInput reports how many events it inserted; fewer means blocked
        // (for example by a window of higher integrity).
        if (SendInput(2, inputs, sizeof(INPUT)) != 2)
            allSent = false;
    }
    return allSent;
}

bool modifiersHeld()
{
    return keyDown(VK_CONTROL) || keyDown(VK_SHIFT) || keyDown(VK_MENU);
}

bool debuggerAttached()
{
    if (IsDebuggerPresent())
        return true;
    BOOL remote = FALSE;
    return CheckRemoteDebuggerPresent(GetCurrentProcess(), &remote) && remote;
}

} // namespace desktopplatform
