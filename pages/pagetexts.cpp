#include "pages/pagetexts.h"

#include "mail/providers.h"

#include <QNetworkInterface>

// --- Accounts ---------------------------------------------------------------

namespace {

// A port typed in a form: 1..65535, or 0 when it is not one. A port beyond
// 16 bits would otherwise wrap silently into another port.
quint16 formPort(const QString &text)
{
    bool ok = false;
    const int port = text.toInt(&ok, 10);
    return ok && port > 0 && port <= 65535 ? quint16(port) : quint16(0);
}

} // namespace

AccountFormResult accountFromForm(const AccountFormInput &in)
{
    AccountFormResult r;
    EmailAccount acc; // enabled, port 993
    const QString address = in.address.trimmed();
    if (!isValidMailAddress(address)) {
        r.error = QStringLiteral("Gecerli bir mail yaz: ") + QLatin1String(kExampleAddress);
        return r;
    }
    if (in.password.isEmpty() && !in.signedIn) {
        r.error = QStringLiteral("Uygulama sifreni yaz. Normal sifren degil, saglayicidan uretilir. "
                                 "'Nasil alinir?' butonuna bak.");
        return r;
    }
    const MailProvider provider = resolveProvider(address, in.providerId);
    acc.address = address;
    acc.provider = provider.id;
    acc.afterUse = in.afterUse;

    const QString host = in.host.trimmed();
    acc.host = host.isEmpty() ? provider.host : host;
    if (acc.host.isEmpty()) {
        r.error = QStringLiteral("Sunucu bulunamadi. Saglayici sec ya da Gelismis'ten sunucuyu yaz (")
            + QLatin1String(kExampleImapHost) + QLatin1Char(')');
        return r;
    }

    const QString portText = in.port.trimmed();
    if (!portText.isEmpty()) {
        acc.port = formPort(portText);
        if (acc.port == 0) {
            r.error = QStringLiteral("Port 993 olmali.");
            return r;
        }
    } else {
        acc.port = provider.port != 0 ? provider.port : quint16(993);
    }
    acc.smtpHost = in.smtpHost.trimmed();
    const QString smtpPortText = in.smtpPort.trimmed();
    if (!smtpPortText.isEmpty()) {
        acc.smtpPort = formPort(smtpPortText);
        if (acc.smtpPort == 0) {
            r.error = QStringLiteral("Giden port gecersiz: 465 (SSL) ya da 587 (STARTTLS) olur.");
            return r;
        }
        if (acc.smtpHost.isEmpty()) {
            r.error = QStringLiteral("Giden port icin giden sunucuyu da yaz (ornek: smtp.firma.com).");
            return r;
        }
    }
    acc.smtpStartTls = !acc.smtpHost.isEmpty() && in.smtpStartTls;
    acc.user = in.user.trimmed();
    acc.pass = in.password;
    acc.enabled = true;
    r.ok = true;
    r.account = acc;
    return r;
}

QString accountListStatus(const EmailAccount &acc)
{
    if (!acc.enabled)
        return QStringLiteral("duraklatildi");
    if (acc.loginRefused && usesOAuth(acc))
        return QStringLiteral("Yeniden oturum acilmali");
    if (acc.loginRefused)
        return QStringLiteral("giris reddedildi, yoklama durdu (sifreyi guncelle ya da sag tik > Devam et)");
    if (!acc.lastError.isEmpty())
        return QStringLiteral("hata: ") + acc.lastError.left(90);
    if (!acc.lastOk.isEmpty())
        return QStringLiteral("calisiyor (son: %1)").arg(acc.lastOk);
    return QStringLiteral("kaydedildi, yoklaniyor...");
}

QString providerHelpText(const QString &providerId, const QString &address)
{
    const MailProvider p = resolveProvider(address, providerId);
    if (!p.signIn.key.isEmpty() && !p.signIn.passwordsWork) {
        QString text = QStringLiteral("1) '") + p.signIn.buttonText
            + QStringLiteral("' butonuna bas; tarayici acilir.\n"
                             "2) Tarayicida hesabinla giris yap ve MIRELO+'ya posta izni ver.\n"
                             "3) Tarayici 'Oturum acildi' deyince hesap eklenir ve test edilir.\n\n"
                             "Secili saglayici: ")
            + p.displayName + QStringLiteral("\nNot: ") + p.help
            + QStringLiteral("\n\nOturum anahtari sadece bu PC'de saklanir, hicbir buluta gonderilmez.");
        return text;
    }
    QString text = QStringLiteral(
        "1) Mail saglayicinin sitesine gir, 2 adimli dogrulamayi AC.\n"
        "2) 'Uygulama sifresi' uret (16 haneli, bosluksuz yaz).\n"
        "3) O sifreyi MIRELO+'daki sifre kutusuna yapistir, Bagla ve Test Et'e bas.\n\n"
        "Secili saglayici: ");
    text += p.displayName;
    if (!p.host.isEmpty())
        text += QStringLiteral(" (") + p.host + QLatin1Char(')');
    if (!p.help.isEmpty())
        text += QStringLiteral("\nNot: ") + p.help;
    text += QStringLiteral("\n\nSifreler sadece bu PC'de saklanir, Firebase'e ve hicbir buluta gonderilmez.");
    return text;
}

// --- Vault -------------------------------------------------------------------

QString groupedCode(const QString &code)
{
    if (code.size() < 4)
        return code;
    for (const QChar c : code) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return code;
    }
    // Six digits read as 3+3 and eight as 4+4; seven as 4+3, the longer
    // half first like most authenticator apps.
    const int head = (code.size() + 1) / 2;
    return code.left(head) + QLatin1Char(' ') + code.mid(head);
}

VaultRowText vaultRowText(const QString &label, const QString &issuer)
{
    VaultRowText t{label, issuer.trimmed()};
    const qsizetype colon = label.indexOf(QLatin1Char(':'));
    if (colon > 0 && !t.subtitle.isEmpty()) {
        const QString account = label.mid(colon + 1).trimmed();
        if (!account.isEmpty() && label.left(colon).trimmed().compare(t.subtitle, Qt::CaseInsensitive) == 0)
            t.title = account;
    }
    if (t.subtitle.isEmpty())
        t.subtitle = QStringLiteral("TOTP - cift tikla kopyala");
    return t;
}

// --- Link --------------------------------------------------------------------

QString pairingCodeText(const QString &code)
{
    if (code.isEmpty())
        return QStringLiteral("------");
    return code.left(3) + QLatin1Char(' ') + code.mid(3);
}

QString pairedAtText(const QString &iso, const QDateTime &now)
{
    const QDateTime at = QDateTime::fromString(iso.trimmed(), Qt::ISODateWithMs);
    if (!at.isValid())
        return iso;
    return readableTime(at, now.isValid() ? now : QDateTime::currentDateTime());
}

QString timeLeftText(qint64 secondsLeft)
{
    const qint64 s = qMax<qint64>(0, secondsLeft);
    return QStringLiteral("Kalan sure: %1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

// --- Activity ----------------------------------------------------------------

const QStringList &securityAlertKeywords()
{
    static const QStringList keywords = {
        QStringLiteral("yeni giris"),      QStringLiteral("new sign"),
        QStringLiteral("sign-in"),         QStringLiteral("oturma acildi"),
        QStringLiteral("oturum acildi"),   QStringLiteral("unrecognized"),
        QStringLiteral("supheli"),         QStringLiteral("suspicious"),
        QStringLiteral("guvenlik uyar"),   QStringLiteral("security alert"),
        QStringLiteral("new device"),      QStringLiteral("yeni cihaz"),
        QStringLiteral("yeni konum"),      QStringLiteral("new location"),
        QStringLiteral("verify it's you"), QStringLiteral("hesabina giris"),
        QStringLiteral("giris yapildi"),
        // The common phrasings of "someone signed in" mails.
        QStringLiteral("new login"),       QStringLiteral("login to"),
        QStringLiteral("logged in"),       QStringLiteral("logged into"),
        QStringLiteral("signed in"),       QStringLiteral("sign in to"),
        QStringLiteral("new sign in"),     QStringLiteral("login attempt"),
        QStringLiteral("sign-in attempt"), QStringLiteral("login from"),
        QStringLiteral("yeni oturum"),     QStringLiteral("oturum acma"),
        QStringLiteral("giris algilandi"), QStringLiteral("giris denemesi"),
        QStringLiteral("yeni bir cihaz"),  QStringLiteral("hesabina erisildi"),
    };
    return keywords;
}

namespace {

// Lower case with the Turkish letters folded to their plain forms, so that
// "Yeni giriş" meets the keyword "yeni giris".
QString foldedLower(const QString &text)
{
    const QString lower = text.toLower();
    QString out;
    out.reserve(lower.size());
    for (const QChar c : lower) {
        switch (c.unicode()) {
        case u'\u0131': out += QLatin1Char('i'); break; // dotless i
        case u'\u015f': out += QLatin1Char('s'); break;
        case u'\u011f': out += QLatin1Char('g'); break;
        case u'\u00fc': out += QLatin1Char('u'); break;
        case u'\u00f6': out += QLatin1Char('o'); break;
        case u'\u00e7': out += QLatin1Char('c'); break;
        case u'\u0307': break; // the dot that lower-casing a dotted capital I leaves
        default: out += c; break;
        }
    }
    return out;
}

} // namespace

bool isSecurityAlert(const MailItem &mail)
{
    const QString text = foldedLower(mail.from + QLatin1Char(' ') + mail.subject);
    for (const QString &k : securityAlertKeywords()) {
        if (text.contains(k))
            return true;
    }
    return false;
}

QList<NetInterfaceInfo> systemInterfaces()
{
    QList<NetInterfaceInfo> out;
    const auto all = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &ni : all) {
        NetInterfaceInfo info;
        info.name = ni.humanReadableName();
        info.up = ni.flags().testFlag(QNetworkInterface::IsUp);
        info.loopback = ni.flags().testFlag(QNetworkInterface::IsLoopBack);
        const auto entries = ni.addressEntries();
        for (const QNetworkAddressEntry &e : entries)
            info.addresses.append(e.ip());
        out.append(info);
    }
    return out;
}

QString networkListText(const QList<NetInterfaceInfo> &interfaces)
{
    QStringList parts;
    for (const NetInterfaceInfo &ni : interfaces) {
        if (!ni.up || ni.loopback)
            continue;
        for (const QHostAddress &a : ni.addresses) {
            // A loopback address on an ordinary interface says nothing either.
            if (a.protocol() != QAbstractSocket::IPv4Protocol || a.isLoopback())
                continue;
            parts.append(ni.name + QStringLiteral(": ") + a.toString());
        }
    }
    return parts.isEmpty() ? QStringLiteral("bilinmiyor") : parts.join(QStringLiteral("  •  "));
}

QString activityAccountState(const EmailAccount &acc)
{
    if (!acc.enabled)
        return QStringLiteral("duraklatildi");
    if (acc.loginRefused && usesOAuth(acc))
        return QStringLiteral("Yeniden oturum acilmali, yoklama durdu");
    if (acc.loginRefused)
        return QStringLiteral("giris reddedildi, yoklama durdu");
    if (!acc.lastError.isEmpty())
        return QStringLiteral("HATA ") + acc.lastError.left(60);
    if (!acc.lastOk.isEmpty())
        return QStringLiteral("son erisim ") + acc.lastOk;
    return QStringLiteral("baglanti bekleniyor");
}

QString accessSummaryText(const QString &hostName, const QString &osName,
                          const QString &networkList, const QList<EmailAccount> &accounts)
{
    QString text = QStringLiteral("Bu cihaz: ") + hostName + QStringLiteral("  |  ") + osName
        + QStringLiteral("\nAg: ") + networkList;
    for (const EmailAccount &acc : accounts)
        text += QLatin1Char('\n') + acc.address + QStringLiteral(": ") + activityAccountState(acc);
    if (accounts.isEmpty())
        text += QStringLiteral("\nHenuz bagli hesap yok.");
    return text;
}
