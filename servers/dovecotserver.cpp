#include "servers/dovecotserver.h"

#include "servers/hostprocess.h"
#include "servers/tlsfixture.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTcpServer>
#include <QThread>

#ifndef Q_OS_WIN
#include <grp.h>
#include <pwd.h>
#include <unistd.h>
#endif

namespace {
quint16 freePort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

// Mail folders must belong to the unprivileged mail user Dovecot runs as.
void giveToNobody(const QStringList &paths)
{
#ifdef Q_OS_WIN
    QStringList args{QStringLiteral("nobody:nogroup")};
    for (const QString &path : paths)
        args << hostPath(path);
    if (HostProcess::run(QStringLiteral("/bin/chown"), args) != 0)
        qWarning("chown %s failed", qPrintable(paths.join(QLatin1Char(' '))));
#else
    const passwd *pw = getpwnam("nobody");
    const group *gr = getgrnam("nogroup");
    for (const QString &path : paths) {
        if (pw && gr && ::chown(QFile::encodeName(path).constData(), pw->pw_uid, gr->gr_gid) != 0)
            qWarning("chown %s failed", qPrintable(path));
    }
#endif
}

bool writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
}
} // namespace

DovecotServer::DovecotServer(const TlsFixture &tls) : m_tls(tls), m_dir(hostTempTemplate())
{
    // Dovecot's unprivileged processes must reach the mail folders.
#ifdef Q_OS_WIN
    HostProcess::run(QStringLiteral("/bin/chmod"), {QStringLiteral("755"), hostPath(m_dir.path())});
#else
    QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                            | QFileDevice::ReadGroup | QFileDevice::ExeGroup
                                            | QFileDevice::ReadOther | QFileDevice::ExeOther);
#endif
}

DovecotServer::~DovecotServer()
{
    stop();
#ifdef Q_OS_WIN
    // Dovecot's own files are read-only to Wine, which then cannot remove
    // the folder.
    HostProcess::run(QStringLiteral("/bin/rm"), {QStringLiteral("-rf"), hostPath(m_dir.path())});
#endif
}

QString DovecotServer::log() const
{
    QFile f(m_dir.filePath(QStringLiteral("dovecot.log")));
    return f.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(f.readAll()) : QString();
}

bool DovecotServer::start()
{
    if (!m_tls.isValid()) {
        m_error = QStringLiteral("TLS fixture: ") + m_tls.error();
        return false;
    }
    const QString dir = m_dir.path();
    QDir().mkpath(dir + QStringLiteral("/mail"));
    giveToNobody({dir + QStringLiteral("/mail")});
    if (!QFile::exists(dir + QStringLiteral("/users")))
        writeFile(dir + QStringLiteral("/users"), QByteArray());
    QString mechanisms = QStringLiteral("plain login");
    QString oauthPassdb;
    if (!m_introspect.isEmpty()) {
        mechanisms += QStringLiteral(" xoauth2 oauthbearer");
        writeFile(dir + QStringLiteral("/oauth2.conf.ext"),
                  QStringLiteral("introspection_mode = post\n"
                                 "introspection_url = %1\n"
                                 "username_attribute = username\n"
                                 "active_attribute = active\n"
                                 "active_value = true\n"
                                 "force_introspection = yes\n")
                      .arg(m_introspect)
                      .toUtf8());
        oauthPassdb = QStringLiteral("passdb {\n  driver = oauth2\n  mechanisms = xoauth2 oauthbearer\n"
                                     "  args = %1/oauth2.conf.ext\n}\n")
                          .arg(hostPath(dir));
    }
    for (int attempt = 0; attempt < 3; ++attempt) {
        m_port = freePort();
        const QString conf = QStringLiteral(
                                 "instance_name = mirelo-test-%1-%2\n"
                                 "base_dir = %3/run\n"
                                 "state_dir = %3/state\n"
                                 "log_path = %3/dovecot.log\n"
                                 "info_log_path = %3/dovecot.log\n"
                                 "listen = 127.0.0.1\n"
                                 "protocols = imap\n"
                                 "ssl = required\n"
                                 "ssl_cert = <%4\n"
                                 "ssl_key = <%5\n"
                                 "auth_mechanisms = %7\n"
                                 "auth_failure_delay = 0\n"
                                 "login_trusted_networks = 127.0.0.0/8\n"
                                 "default_internal_user = dovecot\n"
                                 "default_login_user = dovenull\n"
                                 "mail_location = maildir:~/Maildir\n"
                                 // A trash the mail commands can find (LIST SPECIAL-USE).
                                 "namespace inbox {\n  inbox = yes\n  mailbox Trash {\n"
                                 "    special_use = \\Trash\n    auto = create\n  }\n}\n"
                                 "%8"
                                 "passdb {\n  driver = passwd-file\n  mechanisms = plain login\n"
                                 "  args = scheme=PLAIN %3/users\n}\n"
                                 "userdb {\n  driver = passwd-file\n  args = %3/users\n"
                                 "  default_fields = uid=nobody gid=nogroup home=%3/mail/%u\n}\n"
                                 // Without this a wrong password slows every later
                                 // login from loopback by seconds (auth penalty).
                                 "service anvil {\n  unix_listener anvil-auth-penalty {\n    mode = 0\n  }\n}\n"
                                 "service imap-login {\n"
                                 "  inet_listener imap {\n    port = 0\n  }\n"
                                 "  inet_listener imaps {\n    port = %6\n    ssl = yes\n  }\n"
                                 "}\n")
                                 .arg(QCoreApplication::applicationPid())
                                 .arg(m_port)
                                 .arg(hostPath(dir), hostPath(m_tls.certFile()), hostPath(m_tls.keyFile()))
                                 .arg(m_port)
                                 .arg(mechanisms, oauthPassdb);
        writeFile(dir + QStringLiteral("/dovecot.conf"), conf.toUtf8());
        m_process.setMergedChannels(true);
        if (!m_process.start(QStringLiteral("/usr/sbin/dovecot"),
                             {QStringLiteral("-F"), QStringLiteral("-c"), hostPath(dir) + QStringLiteral("/dovecot.conf")},
                             5000)) {
            m_error = QStringLiteral("dovecot did not start: ") + m_process.errorString();
            return false;
        }
        if (waitForGreeting(10000))
            return true;
        m_error = QStringLiteral("dovecot gave no greeting on port %1 (%2): %3\n%4")
                      .arg(m_port)
                      .arg(m_probeError)
                      .arg(QString::fromLocal8Bit(m_process.readAllStandardOutput()), log());
        stop();
    }
    return false;
}

bool DovecotServer::waitForGreeting(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms && m_process.isRunning()) {
        QSslSocket probe;
        QSslConfiguration cfg = QSslConfiguration::defaultConfiguration();
        cfg.addCaCertificate(m_tls.caCertificate());
        probe.setSslConfiguration(cfg);
        probe.connectToHostEncrypted(host(), m_port);
        QByteArray greeting;
        if (!waitOnSocket(probe, [&probe] { return probe.isEncrypted(); }, 2000)) {
            m_probeError = probe.errorString();
            for (const QSslError &e : probe.sslHandshakeErrors())
                m_probeError += QStringLiteral("; ") + e.errorString();
        } else if (waitOnSocket(probe, [&] { return (greeting += probe.readAll()).contains("\r\n"); }, 2000)
                   && greeting.startsWith("* OK")) {
            probe.write("x LOGOUT\r\n");
            waitOnSocket(probe, [&probe] { return probe.bytesAvailable() > 0; }, 1000);
            return true;
        }
        QThread::msleep(30);
    }
    return false;
}

void DovecotServer::stop()
{
    if (!m_process.isRunning())
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
}

QString DovecotServer::maildir(const QString &user) const
{
    return m_dir.path() + QStringLiteral("/mail/") + user + QStringLiteral("/Maildir");
}

bool DovecotServer::addUser(const QString &user, const QString &password)
{
    const QString home = m_dir.path() + QStringLiteral("/mail/") + user;
    for (const QString &sub : {QStringLiteral("cur"), QStringLiteral("new"), QStringLiteral("tmp")}) {
        if (!QDir().mkpath(maildir(user) + QLatin1Char('/') + sub))
            return false;
    }
    giveToNobody({home, maildir(user), maildir(user) + QStringLiteral("/cur"), maildir(user) + QStringLiteral("/new"),
                  maildir(user) + QStringLiteral("/tmp")});
    // Empty trailing fields must stay, or Dovecot leaves LOGIN unanswered.
    QFile users(m_dir.path() + QStringLiteral("/users"));
    if (!users.open(QIODevice::Append))
        return false;
    users.write((user + QStringLiteral(":{PLAIN}") + password + QStringLiteral("::::::\n")).toUtf8());
    return true;
}

QString DovecotServer::deliver(const QString &user, const QByteArray &message, bool seen)
{
    // Dovecot numbers new files by the time in their names: seconds, then
    // the microsecond field, which here is a running counter.
    const int serial = ++m_counter;
    const QString key = QStringLiteral("%1.M%2P%3Q%4")
                            .arg(QDateTime::currentSecsSinceEpoch())
                            .arg(serial, 6, 10, QLatin1Char('0'))
                            .arg(QCoreApplication::applicationPid())
                            .arg(serial);
    const QString name = key + QStringLiteral(".mirelo");
    const QString tmp = maildir(user) + QStringLiteral("/tmp/") + name;
    if (!writeFile(tmp, message))
        return QString();
    giveToNobody({tmp});
    const QString target = seen ? maildir(user) + QStringLiteral("/cur/") + name + QStringLiteral(":2,S")
                                : maildir(user) + QStringLiteral("/new/") + name;
    if (!QFile::rename(tmp, target))
        return QString();
    return key;
}

QString DovecotServer::findMessage(const QString &user, const QString &key) const
{
    for (const QString &sub : {QStringLiteral("/new"), QStringLiteral("/cur")}) {
        QDir d(maildir(user) + sub);
        const QStringList hits = d.entryList({key + QStringLiteral(".*")}, QDir::Files);
        if (!hits.isEmpty())
            return d.filePath(hits.first());
    }
    return QString();
}

bool DovecotServer::removeMessage(const QString &user, const QString &key)
{
    const QString path = findMessage(user, key);
    return !path.isEmpty() && QFile::remove(path);
}

int DovecotServer::messageCount(const QString &user, const QString &folder) const
{
    const QString base = maildir(user) + (folder.isEmpty() ? QString() : QStringLiteral("/.") + folder);
    int n = 0;
    for (const char *sub : {"/cur", "/new"}) {
        const QStringList files = QDir(base + QLatin1String(sub)).entryList(QDir::Files);
        for (const QString &f : files) {
            // Flagged for deletion but not expunged yet still counts as gone.
            if (!f.section(QStringLiteral(":2,"), 1).contains(QLatin1Char('T')))
                ++n;
        }
    }
    return n;
}

bool DovecotServer::isSeen(const QString &user, const QString &key) const
{
    const QString path = findMessage(user, key);
    const int info = path.lastIndexOf(QStringLiteral(":2,"));
    return info >= 0 && path.mid(info + 3).contains(QLatin1Char('S'));
}

QByteArray DovecotServer::message(const QString &from, const QString &subject, const QString &body)
{
    static int serial = 0;
    QByteArray text = "From: " + from.toUtf8() + "\r\nTo: test@localhost\r\nSubject: " + subject.toUtf8()
        + "\r\nDate: " + QDateTime::currentDateTime().toString(Qt::RFC2822Date).toUtf8()
        + "\r\nMessage-ID: <" + QByteArray::number(QDateTime::currentMSecsSinceEpoch()) + "."
        + QByteArray::number(++serial) + "@localhost>\r\nContent-Type: text/plain; charset=utf-8\r\n\r\n";
    QByteArray b = body.toUtf8();
    b.replace("\r\n", "\n");
    b.replace("\n", "\r\n");
    return text + b + "\r\n";
}
