#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class DesktopPlatform;
class HotkeyFilter;

// Puts a code where the user needs it: in the clipboard (cleared again after
// a while unless the user copied something else) or typed into the focused
// window as synthetic keystrokes. Owns the global Ctrl+Shift+V hotkey that
// types the most recent code again. Every desktop call goes through the
// platform it is given.
class AutoTyper : public QObject
{
    Q_OBJECT
public:
    static constexpr int kClipboardClearMs = 20000;
    static constexpr int kTypingDelayMs = 450;
    // Longest wait for the user to let go of Ctrl, Shift and Alt before typing.
    static constexpr int kModifierWaitMs = 1500;

    explicit AutoTyper(DesktopPlatform *platform, QObject *parent = nullptr);
    ~AutoTyper() override;

    QString lastText() const { return m_lastText; }
    void setLastText(const QString &text) { m_lastText = text; }
    bool hotkeyRegistered() const { return m_hotkeyRegistered; }

    // Installs this typer's hotkey filter if needed, then registers
    // Ctrl+Shift+V. False where the combination is taken or the desktop has
    // no global hotkeys (Wayland, offscreen).
    bool registerHotkey();
    void unregisterHotkey();

    // Whether this desktop session can deliver synthetic keystrokes at all.
    bool typingAvailable() const;

    // Intervals, replaceable so tests need not wait them out.
    void setClipboardClearInterval(int ms) { m_clearMs = ms; }
    int clipboardClearInterval() const { return m_clearMs; }
    void setTypingDelay(int ms) { m_typingDelayMs = ms; }
    int typingDelay() const { return m_typingDelayMs; }
    void setModifierWait(int ms) { m_modifierWaitMs = ms; }
    // What the hotkey does instead of typing lastText() again (the
    // application's gate for stale codes); empty: type lastText().
    void setHotkeyAction(std::function<void()> action) { m_hotkeyAction = std::move(action); }
    const std::function<void()> &hotkeyAction() const { return m_hotkeyAction; }

public slots:
    void copyToClipboard(const QString &text);
    void autoType(const QString &code);

signals:
    void hotkeyPressed();
    // After a delayed typing ran: whether the platform accepted every keystroke.
    void typingFinished(bool ok);

private:
    // Puts the code on the clipboard and clears it after the interval.
    void placeOnClipboard(const QString &text);
    void typeWhenReleased(const QString &code, int waitedMs);

    DesktopPlatform *m_platform;
    std::unique_ptr<HotkeyFilter> m_filter;
    QString m_lastText;
    bool m_hotkeyRegistered = false;
    int m_clearMs = kClipboardClearMs;
    int m_typingDelayMs = kTypingDelayMs;
    int m_modifierWaitMs = kModifierWaitMs;
    std::function<void()> m_hotkeyAction;
};

class QMimeData;
// Clipboard content for a code, with the platform's marks that keep clipboard
// history and cloud clipboard sync away from it. The caller owns the result.
QMimeData *secretClipboardData(const QString &text, DesktopPlatform &platform);
