#pragma once

#include "core/clock.h"

#include <QNetworkAccessManager>
#include <QObject>
#include <QString>

struct RestResult;

// The program's own cloud account: one record per user name in the
// realtime database, holding the password's SHA-256 digest. The signed-in
// state is remembered in the settings store ("auth/display", "auth/logged").
class FirebaseAuth : public QObject
{
    Q_OBJECT
public:
    // `databaseBaseUrl`: the database's base URL without trailing slash
    // (see startCloudDatabase); it may also be given later.
    explicit FirebaseAuth(QObject *parent = nullptr, const QString &databaseBaseUrl = QString(),
                          const Clock &clock = Clock());

    void setDatabaseBaseUrl(const QString &url);
    QString databaseUrl() const { return m_databaseBaseUrl; }

    bool isLogged() const { return m_logged; }
    QString displayName() const { return m_display; }

    static bool isValidUserName(const QString &text);
    static QString passwordDigest(const QString &text);

public slots:
    void signUp(const QString &display, const QString &password);
    void signIn(const QString &display, const QString &password);
    void signOut();

signals:
    void authChanged();
    void authError(const QString &msg);
    void authOk(const QString &msg);

private:
    QString userPath(const QString &name) const;
    void onSignUpReply(const QString &name, const RestResult &result);
    void onTakenCheck(const RestResult &result);
    void onSignInReply(const QString &name, const QString &password, const RestResult &result);
    void complete(const QString &name, const QString &greeting);

    QNetworkAccessManager m_nam;
    QString m_databaseBaseUrl;
    QString m_usersTable;
    QString m_display;
    bool m_logged = false;
    Clock m_clock;
};
