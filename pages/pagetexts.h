#pragma once

#include "mail/mailrecords.h"

#include <QHostAddress>
#include <QList>
#include <QString>
#include <QStringList>

// Texts the service pages show, as pure functions so their rules can be
// checked without widgets.

// --- Accounts ---------------------------------------------------------------

// What the user typed into the accounts form.
struct AccountFormInput
{
    QString providerId = QStringLiteral("auto");
    QString address;
    QString password;
    QString host; // "Sunucu:"
    QString port; // "Port:"
    QString user; // "Kullanici:"
    QString smtpHost; // "Giden sunucu:", empty: from the provider
    QString smtpPort; // "Giden port:"
    bool smtpStartTls = false;
    AfterUse afterUse = AfterUse::Leave;
    // Signed in through the browser: no password is asked for.
    bool signedIn = false;
};

// Either an account ready to store and test, or the warning to show.
struct AccountFormResult
{
    bool ok = false;
    EmailAccount account;
    QString error;
};

AccountFormResult accountFromForm(const AccountFormInput &in);

// "duraklatildi", "giris reddedildi ...", "hata: ...", "calisiyor (son: HH:mm)" or
// "kaydedildi, yoklaniyor...".
QString accountListStatus(const EmailAccount &acc);
// The help box text for the provider resolved from `providerId` and `address`.
QString providerHelpText(const QString &providerId, const QString &address);

inline constexpr const char *kExampleAddress = "ornek@gmail.com";
inline constexpr const char *kExampleImapHost = "imap.firma.com";

// --- Vault -------------------------------------------------------------------

// A code split in two halves with a blank: "123 456", "1234 567", "1234 5678".
// Anything that is not all digits (the "------" placeholder) stays as it is.
QString groupedCode(const QString &code);

// The two lines of a vault row. An otpauth label "Issuer:account" repeats
// the issuer: the title keeps the account, the second line the issuer. A
// colon without a matching issuer is part of the name ("Saat 10:30").
struct VaultRowText
{
    QString title;
    QString subtitle;
};
VaultRowText vaultRowText(const QString &label, const QString &issuer);

// --- Link --------------------------------------------------------------------

// "------" without a code, else the code with a blank after its third character.
QString pairingCodeText(const QString &code);
// When a device was paired (an ISO 8601 time), in local time as people read
// it; the text as it is when it is no such time.
QString pairedAtText(const QString &iso, const QDateTime &now = QDateTime());
// "Kalan sure: M:SS".
QString timeLeftText(qint64 secondsLeft);

// --- Activity ----------------------------------------------------------------

const QStringList &securityAlertKeywords();
bool isSecurityAlert(const MailItem &mail);

// One network interface as the access summary needs it.
struct NetInterfaceInfo
{
    QString name;
    bool up = false;
    bool loopback = false;
    QList<QHostAddress> addresses;
};
QList<NetInterfaceInfo> systemInterfaces();
// IPv4 addresses of up, non-loopback interfaces joined with "  •  ";
// "bilinmiyor" when there is none.
QString networkListText(const QList<NetInterfaceInfo> &interfaces);

// "duraklatildi", "giris reddedildi" (or "Yeniden oturum acilmali" for a browser
// sign-in), "HATA ...", "son erisim HH:mm" or "baglanti bekleniyor".
QString activityAccountState(const EmailAccount &acc);
QString accessSummaryText(const QString &hostName, const QString &osName,
                          const QString &networkList, const QList<EmailAccount> &accounts);
