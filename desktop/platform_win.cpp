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

namespace {

using namespace desktopplatform;

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

class WindowsPlatform final : public DesktopPlatform
{
public:
    bool registerHotkey() override
    {
        return RegisterHotKey(nullptr, kHotkeyId, kHotkeyModifiers, kHotkeyVirtualKey) != FALSE;
    }

    void unregisterHotkey() override { UnregisterHotKey(nullptr, kHotkeyId); }

    bool isHotkeyEvent(const char *, const void *message) override
    {
        const MSG *msg = static_cast<const MSG *>(message);
        return msg && msg->message == kHotkeyMessage && msg->wParam == static_cast<WPARAM>(kHotkeyId);
    }

    bool keystrokesAvailable() override { return true; }

    bool sendText(const std::u16string &text) override
    {
        bool allSent = true;
        for (char16_t unit : text) {
            INPUT inputs[2] = {};
            inputs[0].type = INPUT_KEYBOARD;
            inputs[0].ki.wVk = 0;
            inputs[0].ki.wScan = static_cast<WORD>(unit);
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

    bool modifiersHeld() override { return keyDown(VK_CONTROL) || keyDown(VK_SHIFT) || keyDown(VK_MENU); }

    std::vector<ClipboardMark> secretClipboardMarks() override
    {
        // Registered clipboard formats honoured by clipboard history, cloud
        // clipboard and clipboard monitors.
        const std::string zeroDword(4, '\0');
        return {{"ExcludeClipboardContentFromMonitorProcessing", "1"},
                {"CanIncludeInClipboardHistory", zeroDword},
                {"CanUploadToCloudClipboard", zeroDword}};
    }

    bool captureExclusionSupported() override { return true; }

    bool setCaptureExcluded(void *window, bool excluded) override
    {
        if (!window)
            return false;
        return SetWindowDisplayAffinity(static_cast<HWND>(window),
                                        excluded ? kAffinityExcludeFromCapture : kAffinityMonitor)
               != FALSE;
    }

    Mitigations applyMitigations() override
    {
        Mitigations m;
        const SetPolicyFn fn = setPolicyFunction();
        m.extensionPointsDisabled = applyPolicy(fn, ProcessExtensionPointDisablePolicy, 1);
        m.dynamicCodeProhibited = applyPolicy(fn, ProcessDynamicCodePolicy, 1);
        // NoRemoteImages | NoLowMandatoryLabelImages | PreferSystem32Images
        m.remoteImagesBlocked = applyPolicy(fn, ProcessImageLoadPolicy, 7);
        return m;
    }

    bool debuggerAttached() override
    {
        if (IsDebuggerPresent())
            return true;
        BOOL remote = FALSE;
        return CheckRemoteDebuggerPresent(GetCurrentProcess(), &remote) && remote;
    }
};

} // namespace

DesktopPlatform &nativeDesktopPlatform()
{
    static WindowsPlatform platform;
    return platform;
}
