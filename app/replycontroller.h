#pragma once

#include "transport/replydialog.h"

#include <QHash>
#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPointer>

#include <functional>

class MailStore;
class SmtpClient;
class QWidget;

// The reply windows and their sends: each send's result goes to the window
// that sent it, a failure keeps that window open with its text, and a result
// whose window is gone goes to the status line (and a warning if it failed).
class ReplyController : public QObject
{
    Q_OBJECT
public:
    using MessageFn = std::function<void(QMessageBox::Icon, const QString &)>;
    ReplyController(MailStore *store, SmtpClient *smtp, QWidget *window, MessageFn message);

    // The newest reply window, if one is open.
    ReplyDialog *dialog() const { return m_current; }
    // Opens a reply from `account` to the bare address of `from`; the mail
    // `mailId` of the store, when given, is the one answered.
    void open(const QString &account, const QString &from, const QString &subject,
              const QString &mailId = QString());
    // A send's result with no window waiting for it.
    void resultWithoutDialog(bool ok, const QString &msg);

signals:
    void status(const QString &msg);

private:
    void send(ReplyDialog *dialog, const QString &inReplyTo, const QString &references);
    void onReplyFinished(int request, bool ok, const QString &msg);
    void onSendLog(const QString &line);

    MailStore *m_store;
    SmtpClient *m_smtp;
    QWidget *m_window;
    MessageFn m_message;
    QPointer<ReplyDialog> m_current;
    QHash<int, QPointer<ReplyDialog>> m_sending;
    // Requests in the order the worker runs them; its log lines belong to the first.
    QList<int> m_order;
};
