#include "mail/providers.h"

#include "mail/mailrecords.h"

#include <QRegularExpression>

namespace {

MailProvider provider(const char *id, const char *name, const char *host, const char *help,
                      const char *smtpHost = "", quint16 smtpPort = 465, bool smtpStartTls = false)
{
    MailProvider p;
    p.id = QString::fromLatin1(id);
    p.displayName = QString::fromUtf8(name);
    p.host = QString::fromLatin1(host);
    p.port = 993;
    p.help = QString::fromUtf8(help);
    p.smtpHost = QString::fromLatin1(smtpHost);
    p.smtpPort = smtpPort;
    p.smtpStartTls = smtpStartTls;
    return p;
}

MailProvider entry(const QString &id)
{
    for (const MailProvider &p : providerCatalogue()) {
        if (p.id == id)
            return p;
    }
    return MailProvider();
}

struct DomainGroup
{
    const char *providerId;
    QStringList suffixes;
};

ProviderSignIn microsoftSignIn()
{
    ProviderSignIn s;
    s.key = QStringLiteral("microsoft");
    s.buttonText = QStringLiteral("Microsoft ile oturum ac");
    s.authorizeUrl = QStringLiteral("https://login.microsoftonline.com/common/oauth2/v2.0/authorize");
    s.tokenUrl = QStringLiteral("https://login.microsoftonline.com/common/oauth2/v2.0/token");
    s.scopes = {QStringLiteral("https://outlook.office.com/IMAP.AccessAsUser.All"),
                QStringLiteral("https://outlook.office.com/SMTP.Send"), QStringLiteral("offline_access")};
    s.mechanism = MailAuth::XOAuth2;
    // Personal accounts lost basic authentication on 16 September 2024.
    s.passwordsWork = false;
    return s;
}

ProviderSignIn googleSignIn()
{
    ProviderSignIn s;
    s.key = QStringLiteral("google");
    s.buttonText = QStringLiteral("Google ile oturum ac");
    s.authorizeUrl = QStringLiteral("https://accounts.google.com/o/oauth2/v2/auth");
    s.tokenUrl = QStringLiteral("https://oauth2.googleapis.com/token");
    s.scopes = {QStringLiteral("https://mail.google.com/")};
    // A refresh token only with offline access, and again on a repeated consent.
    s.extraParameters = {{QStringLiteral("access_type"), QStringLiteral("offline")},
                         {QStringLiteral("prompt"), QStringLiteral("consent")}};
    s.mechanism = MailAuth::XOAuth2;
    s.passwordsWork = true;
    return s;
}

} // namespace

QString oauthSettingsPrefix(const ProviderSignIn &signIn)
{
    return QStringLiteral("oauth/") + signIn.key + QLatin1Char('/');
}

QList<MailProvider> providerCatalogue()
{
    MailProvider gmail = provider("gmail", "Gmail", kGmailImapHost,
                                  "Iki yol var: 'Google ile oturum ac' ya da uygulama sifresi. Uygulama sifresi "
                                  "icin 2 adimli dogrulama acik olmali: Hesap > Guvenlik > 2 Adimli Dogrulama > "
                                  "Uygulama sifreleri.",
                                  "smtp.gmail.com", 465, false);
    gmail.signIn = googleSignIn();
    MailProvider outlook = provider("outlook", "Outlook / Hotmail / Live", "outlook.office365.com",
                                    "Kisisel Microsoft hesaplarinda (Outlook, Hotmail, Live, MSN) uygulama sifresi "
                                    "16 Eylul 2024'ten beri IMAP/SMTP icin calismiyor: 'Microsoft ile oturum ac' "
                                    "kullan.",
                                    "smtp.office365.com", 587, true);
    outlook.signIn = microsoftSignIn();
    return {
        provider("auto", "Otomatik (tavsiye)", "", ""),
        gmail,
        outlook,
        provider("yahoo", "Yahoo", "imap.mail.yahoo.com", "Yahoo Hesap Guvenligi > Uygulama sifresi olustur.",
                 "smtp.mail.yahoo.com", 465, false),
        provider("yandex", "Yandex", "imap.yandex.com", "Yandex'te IMAP izni + uygulama sifresi gerekir.",
                 "smtp.yandex.com", 465, false),
        provider("icloud", "iCloud", "imap.mail.me.com", "Apple Kimligi > Uygulamaya ozel parola uret.",
                 "smtp.mail.me.com", 587, true),
        provider("custom", "Diger / Ozel IMAP", "", ""),
    };
}

MailProvider resolveProvider(const QString &address, const QString &providerId)
{
    if (providerId != u"auto" && providerId != u"custom") {
        const MailProvider explicitChoice = entry(providerId);
        if (!explicitChoice.id.isEmpty())
            return explicitChoice;
    }

    const qsizetype at = address.indexOf(QLatin1Char('@'));
    const QString domain = at >= 0 ? address.mid(at + 1).toLower().trimmed() : QString();

    static const QList<DomainGroup> groups = {
        {"gmail", {"gmail.com", "googlemail.com"}},
        {"outlook", {"outlook.com", "hotmail.com", "live.com", "msn.com"}},
        {"yahoo", {"yahoo.com"}},
        {"yandex", {"yandex.com", "yandex.com.tr"}},
        {"icloud", {"icloud.com", "me.com", "mac.com"}},
    };
    if (!domain.isEmpty()) {
        for (const DomainGroup &group : groups) {
            for (const QString &suffix : group.suffixes) {
                // Whole labels only: "acme.com" is not "me.com".
                if (domain == suffix || domain.endsWith(QLatin1Char('.') + suffix))
                    return entry(QString::fromLatin1(group.providerId));
            }
        }
    }

    MailProvider custom = entry(QStringLiteral("custom"));
    if (!domain.isEmpty())
        custom.host = QStringLiteral("imap.") + domain;
    return custom;
}

bool isValidMailAddress(const QString &text)
{
    static const QRegularExpression re = [] {
        QRegularExpression r(QStringLiteral("^[A-Za-z0-9._%+-]+@[A-Za-z0-9.-]+\\.[A-Za-z]{2,}$"));
        r.optimize();
        return r;
    }();
    return re.match(text.trimmed()).hasMatch();
}
