#include "account/firebaseauth.h"

#include "core/settings.h"
#include "rest/rest.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace {

const QString kRulesMessage = QStringLiteral(
    "Firebase erisimi engellendi. Cozum: Console > Realtime Database > Rules'a firebase_rules.json'u "
    "yapistirip Publish'e bas.");
const QString kTakenMessage = QStringLiteral("Bu kullanici adi alinmis (uZERINE yazma kapali). Giris yap.");

bool permissionDenied(const RestResult &r)
{
    return r.body.contains("Permission denied");
}

} // namespace

FirebaseAuth::FirebaseAuth(QObject *parent, const QString &databaseBaseUrl, const Clock &clock)
    : QObject(parent)
    , m_usersTable(QStringLiteral("mirelo_users"))
    , m_clock(clock)
{
    setDatabaseBaseUrl(databaseBaseUrl);
    m_display = Settings::authDisplayName();
    m_logged = Settings::authLoggedIn();
}

void FirebaseAuth::setDatabaseBaseUrl(const QString &url)
{
    m_databaseBaseUrl = url.trimmed();
    while (m_databaseBaseUrl.endsWith(QLatin1Char('/')))
        m_databaseBaseUrl.chop(1);
}

bool FirebaseAuth::isValidUserName(const QString &text)
{
    // "$" alone would also accept a trailing newline; anchor the whole text.
    static const QRegularExpression re(QRegularExpression::anchoredPattern(QStringLiteral("[A-Za-z0-9_]{3,20}")));
    return re.match(text).hasMatch();
}

QString FirebaseAuth::passwordDigest(const QString &text)
{
    return QString::fromLatin1(QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha256).toHex());
}

QString FirebaseAuth::userPath(const QString &name) const
{
    return QLatin1Char('/') + m_usersTable + QLatin1Char('/') + name;
}

void FirebaseAuth::signUp(const QString &name, const QString &password)
{
    if (!isValidUserName(name)) {
        emit authError(QStringLiteral("Kullanici adi 3-20: harf, rakam, _"));
        return;
    }
    if (password.size() < 4) {
        emit authError(QStringLiteral("Sifre en az 4 karakter"));
        return;
    }
    QJsonObject record;
    record.insert(QStringLiteral("display"), name);
    record.insert(QStringLiteral("pass"), passwordDigest(password));
    record.insert(QStringLiteral("created"),
                  m_clock.now().toString(Qt::ISODate));
    restRequest(&m_nam, this, m_databaseBaseUrl, userPath(name), "PUT",
                QJsonDocument(record).toJson(QJsonDocument::Compact),
                [this, name](const RestResult &r) { onSignUpReply(name, r); });
}

void FirebaseAuth::onSignUpReply(const QString &name, const RestResult &r)
{
    if (permissionDenied(r)) {
        // A database that protects existing records refuses a taken name the
        // same way it refuses everything when its rules are missing: one read
        // tells the two apart.
        restRequest(&m_nam, this, m_databaseBaseUrl, userPath(name), "GET", {},
                    [this](const RestResult &check) { onTakenCheck(check); });
        return;
    }
    if (!r.networkOk) {
        emit authError(QStringLiteral("Kayit hatasi: ag"));
        return;
    }
    const QJsonDocument doc = QJsonDocument::fromJson(r.body);
    if (doc.isObject() && !doc.object().isEmpty()) {
        complete(name, QStringLiteral("Hos geldin, "));
        return;
    }
    emit authError(kTakenMessage);
}

void FirebaseAuth::onTakenCheck(const RestResult &r)
{
    const QJsonDocument doc = QJsonDocument::fromJson(r.body);
    const bool exists = r.networkOk && !permissionDenied(r) && doc.isObject() && !doc.object().isEmpty();
    emit authError(exists ? kTakenMessage : kRulesMessage);
}

void FirebaseAuth::signIn(const QString &name, const QString &password)
{
    if (!isValidUserName(name)) {
        emit authError(QStringLiteral("Kullanici adi formati hatali"));
        return;
    }
    restRequest(&m_nam, this, m_databaseBaseUrl, userPath(name), "GET", {},
                [this, name, password](const RestResult &r) { onSignInReply(name, password, r); });
}

void FirebaseAuth::onSignInReply(const QString &name, const QString &password, const RestResult &r)
{
    if (permissionDenied(r)) {
        emit authError(kRulesMessage);
        return;
    }
    if (!r.networkOk) {
        emit authError(QStringLiteral("Giris hatasi: ag"));
        return;
    }
    const QJsonObject record = QJsonDocument::fromJson(r.body).object();
    if (!record.contains(QStringLiteral("pass"))) {
        emit authError(QStringLiteral("Kullanici bulunamadi"));
        return;
    }
    if (record.value(QStringLiteral("pass")).toString().compare(passwordDigest(password), Qt::CaseInsensitive) == 0)
        complete(name, QStringLiteral("Tekrar hos geldin, "));
    else
        emit authError(QStringLiteral("Sifre yanlis"));
}

void FirebaseAuth::complete(const QString &name, const QString &greeting)
{
    m_display = name;
    m_logged = true;
    Settings::setAuthUser(m_display);
    emit authChanged();
    emit authOk(greeting + m_display);
}

void FirebaseAuth::signOut()
{
    m_logged = false;
    Settings::setAuthLoggedOut();
    emit authChanged();
}
