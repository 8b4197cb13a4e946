#include "mail/mailrecords.h"

void registerMailMetaTypes()
{
    qRegisterMetaType<EmailAccount>("EmailAccount");
    qRegisterMetaType<MailItem>("MailItem");
    qRegisterMetaType<QList<EmailAccount>>("QList<EmailAccount>");
    qRegisterMetaType<QList<MailItem>>("QList<MailItem>");
    qRegisterMetaType<MailActionResult>("MailActionResult");
    qRegisterMetaType<QList<MailActionResult>>("QList<MailActionResult>");
    qRegisterMetaType<MailAction>("MailAction");
    qRegisterMetaType<QList<MailAction>>("QList<MailAction>");
}

QString mailAuthName(MailAuth auth)
{
    switch (auth) {
    case MailAuth::XOAuth2:
        return QStringLiteral("xoauth2");
    case MailAuth::OAuthBearer:
        return QStringLiteral("oauthbearer");
    case MailAuth::Password:
        break;
    }
    return QStringLiteral("password");
}

MailAuth mailAuthFromName(const QString &name)
{
    if (name == u"xoauth2")
        return MailAuth::XOAuth2;
    if (name == u"oauthbearer")
        return MailAuth::OAuthBearer;
    return MailAuth::Password;
}

QString afterUseName(AfterUse use)
{
    switch (use) {
    case AfterUse::MarkSeen:
        return QStringLiteral("seen");
    case AfterUse::MoveToTrash:
        return QStringLiteral("trash");
    case AfterUse::Leave:
        break;
    }
    return QString();
}

AfterUse afterUseFromName(const QString &name)
{
    if (name == u"seen")
        return AfterUse::MarkSeen;
    if (name == u"trash")
        return AfterUse::MoveToTrash;
    return AfterUse::Leave;
}

QString readableTime(const QDateTime &when, const QDateTime &now)
{
    if (!when.isValid())
        return QString();
    const QDateTime local = when.toLocalTime();
    const QDate today = now.toLocalTime().date();
    if (local.date() == today)
        return local.toString(QStringLiteral("HH:mm"));
    if (local.date().year() == today.year())
        return local.toString(QStringLiteral("dd.MM HH:mm"));
    return local.toString(QStringLiteral("dd.MM.yyyy"));
}
