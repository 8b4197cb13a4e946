#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

#include "mail/mailrecords.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// Non-modal window in which the user writes an answer; the owner sends it.
class ReplyDialog : public QDialog
{
    Q_OBJECT
public:
    ReplyDialog(const EmailAccount &account, const QString &to, const QString &subject,
                QWidget *parent = nullptr);

    QString toAddress() const;
    QString subject() const;
    QString body() const;
    // The account the answer goes out from.
    const EmailAccount &fromAccount() const { return m_account; }
    void setStatus(const QString &text);
    // One line of the send's step log, shown as the status line's tool tip.
    void appendDetail(const QString &line);
    void setBusy(bool busy);
    bool isBusy() const { return m_busy; }

    // The subject with "Re: " in front unless it already starts that way.
    static QString replySubject(const QString &subject);

signals:
    // "Gonder": the owner sends and closes the dialog only once the mail went out.
    void sendRequested();

private:
    EmailAccount m_account;
    QLineEdit *m_toEdit;
    QLineEdit *m_subjectEdit;
    QPlainTextEdit *m_bodyEdit;
    QLabel *m_statusLabel;
    QPushButton *m_sendButton;
    QStringList m_detail;
    bool m_busy = false;
};
