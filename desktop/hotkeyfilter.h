#pragma once

#include <QAbstractNativeEventFilter>
#include <QPointer>

class AutoTyper;

// Turns the system's hotkey event into a call on the AutoTyper. Both the
// signal and the typing are queued: no keystroke is sent from inside native
// event processing.
class HotkeyFilter : public QAbstractNativeEventFilter
{
public:
    explicit HotkeyFilter(AutoTyper *typer) : m_typer(typer) {}

    AutoTyper *typer() const { return m_typer; }
    void setTyper(AutoTyper *typer) { m_typer = typer; }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    // Guarded: the typer may be destroyed while the filter stays installed.
    QPointer<AutoTyper> m_typer;
};
