#pragma once

#include <QAbstractNativeEventFilter>
#include <QPointer>

class AutoTyper;
class DesktopPlatform;

// Turns the platform's hotkey event into a call on the AutoTyper. Both the
// signal and the typing are queued: no keystroke is sent from inside native
// event processing.
class HotkeyFilter : public QAbstractNativeEventFilter
{
public:
    HotkeyFilter(DesktopPlatform *platform, AutoTyper *typer) : m_platform(platform), m_typer(typer) {}

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    DesktopPlatform *m_platform;
    // Guarded: the typer may be destroyed while the filter stays installed.
    QPointer<AutoTyper> m_typer;
};
