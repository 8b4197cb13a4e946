#include "servers/clouddbfixture.h"

#include "clouddb/clouddbserver.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QRegularExpression>

CloudDbFixture::CloudDbFixture()
    : m_dataFile(m_dir.path() + QStringLiteral("/clouddb.json"))
{
}

CloudDbFixture::~CloudDbFixture()
{
    stop();
}

bool CloudDbFixture::start()
{
    stop();
    m_error.clear();
    m_process = std::make_unique<QProcess>();
    m_process->setProcessChannelMode(QProcess::SeparateChannels);
    const QString program = QStringLiteral(MIRELO_BIN_DIR "/mirelo-clouddb");
    m_process->start(program, {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--bind"),
                               QStringLiteral("127.0.0.1"), QStringLiteral("--data"), m_dataFile});
    if (!m_process->waitForStarted(10000)) {
        m_error = QStringLiteral("cannot start %1: %2").arg(program, m_process->errorString());
        m_process.reset();
        return false;
    }
    // The server prints its URL once it listens.
    static const QRegularExpression line(QStringLiteral("listening on (http://\\S+)"));
    QByteArray out;
    QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        if (m_process->canReadLine() || m_process->waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())))) {
            out += m_process->readAll();
            const auto match = line.match(QString::fromUtf8(out));
            if (match.hasMatch()) {
                m_baseUrl = match.captured(1);
                return true;
            }
        }
        if (m_process->state() == QProcess::NotRunning)
            break;
    }
    m_error = QStringLiteral("mirelo-clouddb did not become ready: %1 %2")
                  .arg(QString::fromUtf8(out), QString::fromUtf8(m_process->readAllStandardError()));
    kill();
    return false;
}

bool CloudDbFixture::startInProcess()
{
    stop();
    m_error.clear();
    m_server = std::make_unique<CloudDbServer>(m_dataFile);
    if (!m_server->start(QHostAddress::LocalHost, 0, &m_error)) {
        m_server.reset();
        return false;
    }
    m_baseUrl = m_server->baseUrl();
    return true;
}

void CloudDbFixture::stop()
{
    m_server.reset();
    if (m_process) {
        if (m_process->state() != QProcess::NotRunning) {
            m_process->terminate();
            if (!m_process->waitForFinished(5000)) {
                m_process->kill();
                m_process->waitForFinished(5000);
            }
        }
        m_process.reset();
    }
}

void CloudDbFixture::kill()
{
    if (m_process) {
        m_process->kill();
        m_process->waitForFinished(5000);
        m_process.reset();
    }
    m_server.reset();
}

bool CloudDbFixture::isRunning() const
{
    return m_server || (m_process && m_process->state() == QProcess::Running);
}

qint64 CloudDbFixture::processId() const
{
    return m_process ? m_process->processId() : 0;
}
