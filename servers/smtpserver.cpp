#include "servers/smtpserver.h"

#include "servers/tlsfixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>

SmtpTestServer::SmtpTestServer(const TlsFixture &tls) : m_tls(tls) {}

SmtpTestServer::~SmtpTestServer()
{
    stop();
}

bool SmtpTestServer::start(Security security, const QString &user, const QString &password)
{
    if (!m_tls.isValid()) {
        m_error = QStringLiteral("TLS fixture: ") + m_tls.error();
        return false;
    }
    const QString script = QStringLiteral(MIRELO_SERVERS_DIR "/smtpserver.py");
    // Debian's own Python has aiosmtpd; another python3 first on PATH may not.
    QStringList args = {script, QStringLiteral("--mode"),
                        security == ImplicitTls ? QStringLiteral("implicit") : QStringLiteral("starttls"),
                        QStringLiteral("--cert"), hostPath(m_tls.certFile()), QStringLiteral("--key"), hostPath(m_tls.keyFile()),
                        QStringLiteral("--user"), user, QStringLiteral("--password"), password,
                        QStringLiteral("--outdir"), hostPath(m_dir.path())};
    if (!m_introspect.isEmpty())
        args << QStringLiteral("--introspect") << m_introspect;
    if (!m_process.start(QStringLiteral("/usr/bin/python3"), args, 5000)) {
        m_error = QStringLiteral("python3 did not start: ") + m_process.errorString();
        return false;
    }
    QByteArray out;
    QElapsedTimer clock;
    clock.start();
    while (!out.contains('\n') && clock.elapsed() < 15000 && m_process.isRunning()) {
        m_process.waitForReadyRead(500);
        out += m_process.readAllStandardOutput();
    }
    const QByteArray line = out.left(out.indexOf('\n')).trimmed();
    if (!line.startsWith("READY ")) {
        m_error = QStringLiteral("smtp server not ready: %1 %2")
                      .arg(QString::fromLocal8Bit(out), QString::fromLocal8Bit(m_process.readAllStandardError()));
        stop();
        return false;
    }
    m_port = quint16(line.mid(6).toUInt());
    return m_port != 0;
}

void SmtpTestServer::stop()
{
    if (!m_process.isRunning())
        return;
    m_process.kill();
    m_process.waitForFinished(3000);
}

QList<SmtpTestServer::Message> SmtpTestServer::messages() const
{
    QList<Message> out;
    const QDir d(m_dir.path());
    const QStringList files = d.entryList({QStringLiteral("msg-*.eml")}, QDir::Files, QDir::Name);
    for (const QString &name : files) {
        QFile eml(d.filePath(name));
        QFile meta(d.filePath(name.left(name.size() - 4) + QStringLiteral(".json")));
        if (!eml.open(QIODevice::ReadOnly) || !meta.open(QIODevice::ReadOnly))
            continue;
        const QJsonObject o = QJsonDocument::fromJson(meta.readAll()).object();
        Message m;
        m.mailFrom = o.value(QStringLiteral("mailFrom")).toString();
        for (const auto &v : o.value(QStringLiteral("rcptTos")).toArray())
            m.rcptTos << v.toString();
        m.login = o.value(QStringLiteral("login")).toString();
        m.content = eml.readAll();
        out.append(m);
    }
    return out;
}

bool SmtpTestServer::waitForMessages(int count, int timeoutMs) const
{
    QElapsedTimer clock;
    clock.start();
    while (messages().size() < count) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QThread::msleep(20);
    }
    return true;
}
