#pragma once

#include "desktop/platform.h"

#include <QAbstractEventDispatcher>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <cstring>

// A desktop platform that records what is asked of it and answers from its
// fields; the hotkey is pressed from the test with pressHotkey().
class RecordingPlatform : public DesktopPlatform
{
public:
    static constexpr const char *kHotkeyEventType = "recording_hotkey";

    bool registerHotkey() override
    {
        ++registrations;
        hotkeyRegistered = hotkeyFree;
        return hotkeyFree;
    }
    void unregisterHotkey() override
    {
        ++unregistrations;
        hotkeyRegistered = false;
    }
    bool isHotkeyEvent(const char *eventType, const void *) override
    {
        return hotkeyRegistered && eventType && std::strcmp(eventType, kHotkeyEventType) == 0;
    }

    bool keystrokesAvailable() override { return typingWorks; }
    bool sendText(const std::u16string &text) override
    {
        typed.append(QString::fromStdU16String(text));
        return typingWorks;
    }
    bool modifiersHeld() override
    {
        ++modifierPolls;
        return modifierPolls <= heldForPolls;
    }

    std::vector<desktopplatform::ClipboardMark> secretClipboardMarks() override { return marks; }

    bool captureExclusionSupported() override { return captureSupported; }
    bool setCaptureExcluded(void *window, bool excluded) override
    {
        captureCalls.append({window, excluded});
        return captureSupported && window;
    }

    desktopplatform::Mitigations applyMitigations() override { return mitigations; }
    bool debuggerAttached() override { return debugger; }

    // Hands a hotkey event to the application's native event filters, the
    // way the event loop hands over a real one; true when a filter took it.
    static bool pressHotkey()
    {
        qintptr result = 0;
        QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance();
        return dispatcher && dispatcher->filterNativeEvent(kHotkeyEventType, nullptr, &result);
    }

    // Answers.
    bool hotkeyFree = true;
    bool typingWorks = true;
    int heldForPolls = 0;  // modifier polls answered "held" before the keys are let go
    bool captureSupported = true;
    bool debugger = false;
    desktopplatform::Mitigations mitigations;
    std::vector<desktopplatform::ClipboardMark> marks = {{"x-mirelo-test-secret", "yes"}};

    // Record.
    bool hotkeyRegistered = false;
    int registrations = 0;
    int unregistrations = 0;
    QStringList typed;
    int modifierPolls = 0;
    QList<QPair<void *, bool>> captureCalls;
};
