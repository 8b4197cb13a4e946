#include "transport/replydialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "desktop/capturewidget.h"

ReplyDialog::ReplyDialog(const EmailAccount &account, const QString &to, const QString &subject, QWidget *parent)
    : QDialog(parent), m_account(account), m_toEdit(new QLineEdit(to, this)),
      m_subjectEdit(new QLineEdit(replySubject(subject), this)), m_bodyEdit(new QPlainTextEdit(this)),
      m_statusLabel(new QLabel(this)), m_sendButton(new QPushButton(QStringLiteral("Gonder"), this))
{
    setWindowTitle(QStringLiteral("Cevapla \u2014 ") + m_account.address);
    setModal(false);
    setMinimumSize(440, 380);
    applyCaptureProtection(this);
    // The SMTP server's answers are shown here.
    m_statusLabel->setTextFormat(Qt::PlainText);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 18, 20, 18);
    layout->setSpacing(10);

    auto *fromLabel = new QLabel(QStringLiteral("Kimden: ") + m_account.address, this);
    fromLabel->setTextFormat(Qt::PlainText);
    fromLabel->setProperty("class", QStringLiteral("muted"));
    layout->addWidget(fromLabel);

    auto *form = new QFormLayout();
    form->addRow(QStringLiteral("Kime:"), m_toEdit);
    form->addRow(QStringLiteral("Konu:"), m_subjectEdit);
    layout->addLayout(form);

    m_bodyEdit->setPlaceholderText(QStringLiteral("Cevabini yaz..."));
    layout->addWidget(m_bodyEdit, 1);

    m_statusLabel->setObjectName(QStringLiteral("replyStatus"));
    m_statusLabel->setProperty("class", QStringLiteral("muted"));
    m_statusLabel->setWordWrap(true);
    layout->addWidget(m_statusLabel);

    auto *row = new QHBoxLayout();
    row->addStretch(1);
    m_sendButton->setProperty("class", QStringLiteral("primaryBtn"));
    m_sendButton->setCursor(Qt::PointingHandCursor);
    row->addWidget(m_sendButton);
    layout->addLayout(row);

    connect(m_sendButton, &QPushButton::clicked, this, &ReplyDialog::sendRequested);
}

QString ReplyDialog::replySubject(const QString &subject)
{
    if (subject.startsWith(QLatin1String("Re:"), Qt::CaseInsensitive))
        return subject;
    return QStringLiteral("Re: ") + subject;
}

QString ReplyDialog::toAddress() const
{
    return m_toEdit->text().trimmed();
}

QString ReplyDialog::subject() const
{
    return m_subjectEdit->text().trimmed();
}

QString ReplyDialog::body() const
{
    return m_bodyEdit->toPlainText();
}

void ReplyDialog::setStatus(const QString &text)
{
    m_statusLabel->setText(text);
}

void ReplyDialog::appendDetail(const QString &line)
{
    m_detail.append(line);
    while (m_detail.size() > 12)
        m_detail.removeFirst();
    m_statusLabel->setToolTip(m_detail.join(QLatin1Char('\n')));
}

void ReplyDialog::setBusy(bool on)
{
    m_busy = on;
    if (on)
        m_detail.clear();
    m_sendButton->setEnabled(!on);
    m_sendButton->setText(on ? QStringLiteral("Gonderiliyor...") : QStringLiteral("Gonder"));
}
