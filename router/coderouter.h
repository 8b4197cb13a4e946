#pragma once

#include "core/clock.h"
#include "core/notice.h"
#include "mail/mailrecords.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>

class QTimer;

struct CodeRouterOptions
{
    Clock clock;
    // No code found in an account's first round acts on its own this long
    // after start: that round brings in the mailbox's old mails. Mails
    // arriving later act at once.
    int quietSeconds = 45;
    // Codes arriving within this span share one notice.
    int notifyMs = 3000;
    // Whether a user is signed in; signed out, no code is copied, typed,
    // pushed or announced. Empty: always.
    std::function<bool()> admitted;
    // Minutes after which the last code is too old to type; empty: the
    // stored setting.
    std::function<int()> staleMinutes;
};

// The new-code flow. A sure code from a fresh mail, outside the quiet period
// and masked mode, becomes the clipboard's and the typer's, goes to the
// paired phones and into the batched notice. Everything it does goes out
// through its signals; the application connects them to the typer, the link
// and the tray.
class CodeRouter : public QObject
{
    Q_OBJECT
public:
    // Without a tray the batch is never shown; it stays bounded.
    static constexpr int kMaxPending = 500;
    static constexpr int kNoticeMs = 6000;
    static constexpr int kMaskedNoticeMs = 4000;

    explicit CodeRouter(const CodeRouterOptions &options = CodeRouterOptions(), QObject *parent = nullptr);

    bool isMasked() const { return m_masked; }
    qint64 quietUntil() const { return m_quietUntil; }
    QString lastCode() const { return m_lastCode; }
    // The mail of the last code; empty id when none.
    MailItem lastMail() const { return m_lastMail; }
    // The last code when it is young enough to type; else empty, and the
    // status line and a notice say how old it is.
    QString typableLastCode();
    QList<MailItem> pending() const { return m_pending; }
    // Whether notices are shown anywhere (a tray icon exists).
    void setNoticesShown(bool shown) { m_noticesShown = shown; }

public slots:
    void onNewCode(const MailItem &mail);
    // Masked mode hides codes: nothing is copied, typed or kept from then on.
    void setMasked(bool masked);
    // By the user's hand: a masked code only says so.
    void copyCode(const QString &code);
    void typeCode(const QString &code);
    // The hotkey's and the tray's "type the last code".
    void typeLastCode();
    // Shows the batch collected so far as one notice.
    void flushNotices();
    // Signed out: the batch and the last code are dropped.
    void signedOut();
    // A user signed in: the first rounds of their accounts bring old mails.
    void restartQuietPeriod();

signals:
    void status(const QString &text);
    void notice(const Notice &notice);
    void copyRequested(const QString &code);
    void typeRequested(const QString &code);
    void pushRequested(const MailItem &mail);
    void lastCodeChanged(const QString &code);
    // A code was acted on; a shown window may ask for attention.
    void codeTaken();
    // A trusted code went to the clipboard on its own.
    void autoCopied(const MailItem &mail);
    // The last code was handed to the typer (hotkey or tray).
    void lastCodeTyped(const QString &mailId);

private:
    bool isAdmitted() const;
    void setLastCode(const QString &code);

    CodeRouterOptions m_options;
    QTimer *m_notifyTimer = nullptr;
    QList<MailItem> m_pending;
    QString m_lastCode;
    MailItem m_lastMail;
    qint64 m_quietUntil = 0;
    bool m_masked = false;
    bool m_noticesShown = true;
};
