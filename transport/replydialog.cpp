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
    : QDialog(parent), account(account), toEdit(new QLineEdit(to, this)),
      subjectEdit(new QLineEdit(replySubject(subject), this)), bodyEdit(new QPlainTextEdit(this)),
      statusLabel(new QLabel(this)), sendButton(new QPushButton(QStringLiteral("Gonder"), this))
{
    setWindowTitle(QStringLiteral("Cevapla \u2014 ") + account.address);
    setModal(false);
    setMinimumSize(440, 380);
    applyCaptureProtection(this);
    // The SMTP server's answers are shown here.
    statusLabel->setTextFormat(Qt::PlainText);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 18, 20, 18);
    layout->setSpacing(10);

    auto *fromLabel = new QLabel(QStringLiteral("Kimden: ") + account.address, this);
    fromLabel->setTextFormat(Qt::PlainText);
    fromLabel->setProperty("class", QStringLiteral("muted"));
    layout->addWidget(fromLabel);

    auto *form = new QFormLayout();
    form->addRow(QStringLiteral("Kime:"), toEdit);
    form->addRow(QStringLiteral("Konu:"), subjectEdit);
    layout->addLayout(form);

    bodyEdit->setPlaceholderText(QStringLiteral("Cevabini yaz..."));
    layout->addWidget(bodyEdit, 1);

    statusLabel->setObjectName(QStringLiteral("replyStatus"));
    statusLabel->setProperty("class", QStringLiteral("muted"));
    statusLabel->setWordWrap(true);
    layout->addWidget(statusLabel);

    auto *row = new QHBoxLayout();
    row->addStretch(1);
    sendButton->setProperty("class", QStringLiteral("primaryBtn"));
    sendButton->setCursor(Qt::PointingHandCursor);
    row->addWidget(sendButton);
    layout->addLayout(row);

    connect(sendButton, &QPushButton::clicked, this, &ReplyDialog::sendRequested);
}

QString ReplyDialog::replySubject(const QString &subject)
{
    if (subject.startsWith(QLatin1String("Re:"), Qt::CaseInsensitive))
        return subject;
    return QStringLiteral("Re: ") + subject;
}

QString ReplyDialog::toAddress() const
{
    return toEdit->text().trimmed();
}

QString ReplyDialog::subject() const
{
    return subjectEdit->text().trimmed();
}

QString ReplyDialog::body() const
{
    return bodyEdit->toPlainText();
}

void ReplyDialog::setStatus(const QString &text)
{
    statusLabel->setText(text);
}

void ReplyDialog::appendDetail(const QString &line)
{
    detail.append(line);
    while (detail.size() > 12)
        detail.removeFirst();
    statusLabel->setToolTip(detail.join(QLatin1Char('\n')));
}

void ReplyDialog::setBusy(bool on)
{
    busy = on;
    if (on)
        detail.clear();
    sendButton->setEnabled(!on);
    sendButton->setText(on ? QStringLiteral("Gonderiliyor...") : QStringLiteral("Gonder"));
}
