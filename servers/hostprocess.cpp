#include "servers/hostprocess.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSslSocket>
#include <QTcpSocket>
#include <QTimer>

#include <utility>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <signal.h>
#include <sys/prctl.h>
#endif

namespace {
QString agentAddress()
{
    return qEnvironmentVariable("MIRELO_HOST_AGENT");
}
} // namespace

HostProcess::HostProcess() = default;

HostProcess::~HostProcess()
{
    kill();
    waitForFinished(3000);
}

bool HostProcess::start(const QString &program, const QStringList &args, int ms)
{
    m_error.clear();
    m_exitCode = -1;
    m_in.clear();
    m_out.clear();
    m_err.clear();
    const QString agent = agentAddress();
    if (agent.isEmpty()) {
#ifdef Q_OS_WIN
        m_error = QStringLiteral("no host agent: set MIRELO_HOST_AGENT (scripts/windows.sh starts one)");
        return false;
#else
        m_process = std::make_unique<QProcess>();
        m_process->setProcessChannelMode(m_merged ? QProcess::MergedChannels : QProcess::SeparateChannels);
        // The server must not outlive a test that crashes.
        m_process->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
        m_process->start(program, args);
        if (!m_process->waitForStarted(ms)) {
            m_error = m_process->errorString();
            m_process.reset();
            return false;
        }
        m_process->write(m_input);
        m_process->closeWriteChannel();
        m_running = true;
        return true;
#endif
    }
    const int colon = agent.lastIndexOf(QLatin1Char(':'));
    m_socket = std::make_unique<QTcpSocket>();
    m_socket->connectToHost(agent.left(colon), quint16(agent.mid(colon + 1).toUInt()));
    if (!waitOnSocket(*m_socket, [this] { return m_socket->state() == QAbstractSocket::ConnectedState; }, ms)) {
        m_error = QStringLiteral("host agent %1: %2").arg(agent, m_socket->errorString());
        m_socket.reset();
        return false;
    }
    QJsonArray argv{program};
    for (const QString &a : args)
        argv.append(a);
    const QJsonObject request{{QStringLiteral("argv"), argv},
                              {QStringLiteral("merge"), m_merged},
                              {QStringLiteral("input"), QString::fromLatin1(m_input.toBase64())}};
    m_socket->write(QJsonDocument(request).toJson(QJsonDocument::Compact)
                    + '\n');
    m_socket->flush();
    waitOnSocket(*m_socket, [this] { return (m_in += m_socket->readAll()).contains('\n'); }, ms);
    const qsizetype eol = m_in.indexOf('\n');
    const QJsonObject answer = QJsonDocument::fromJson(m_in.left(eol)).object();
    m_in.remove(0, eol + 1);
    if (eol < 0 || !answer.contains(QStringLiteral("pid"))) {
        m_error = eol < 0 ? QStringLiteral("host agent gave no answer")
                          : answer.value(QStringLiteral("error")).toString();
        m_socket.reset();
        return false;
    }
    m_running = true;
    return true;
}

// Takes the agent's frames into the buffers, waiting up to `ms` for more
// when none is whole; false once nothing more can come.
bool HostProcess::pumpAgent(int ms)
{
    const auto take = [this] {
        m_in += m_socket->readAll();
        bool took = false;
        while (m_in.size() >= 9) {
            bool ok = false;
            const qsizetype length = m_in.mid(1, 8).toLongLong(&ok, 16);
            if (!ok || m_in.size() < 9 + length)
                break;
            const QByteArray data = m_in.mid(9, length);
            switch (m_in.at(0)) {
            case 'O': m_out += data; break;
            case 'E': m_err += data; break;
            case 'X':
                m_exitCode = data.toInt();
                m_running = false;
                break;
            default: break;
            }
            m_in.remove(0, 9 + length);
            took = true;
        }
        return took;
    };
    // Frames may have come with the answer to the start.
    if (!take() && m_running && ms > 0 && m_socket->state() == QAbstractSocket::ConnectedState) {
        waitOnSocket(*m_socket, [this] { return m_socket->bytesAvailable() > 0; }, ms);
        take();
    }
    if (m_socket->state() != QAbstractSocket::ConnectedState && m_socket->bytesAvailable() == 0)
        m_running = false;
    return m_running;
}

bool HostProcess::isRunning()
{
    if (viaAgent()) {
        if (m_running)
            pumpAgent(0);
        return m_running;
    }
    return m_process && m_process->state() != QProcess::NotRunning;
}

bool HostProcess::waitForReadyRead(int ms)
{
    if (viaAgent()) {
        QDeadlineTimer deadline(ms);
        const qsizetype before = m_out.size() + m_err.size();
        while (m_running && m_out.size() + m_err.size() == before && !deadline.hasExpired())
            pumpAgent(int(qMax<qint64>(1, deadline.remainingTime())));
        return m_out.size() + m_err.size() > before;
    }
    return m_process && m_process->waitForReadyRead(ms);
}

QByteArray HostProcess::readAllStandardOutput()
{
    if (viaAgent()) {
        pumpAgent(0);
        return std::exchange(m_out, QByteArray());
    }
    return m_process ? m_process->readAllStandardOutput() : QByteArray();
}

QByteArray HostProcess::readAllStandardError()
{
    if (viaAgent()) {
        pumpAgent(0);
        return std::exchange(m_err, QByteArray());
    }
    return m_process ? m_process->readAllStandardError() : QByteArray();
}

void HostProcess::terminate()
{
    if (viaAgent()) {
        if (m_running) {
            m_socket->write("TERM\n");
            m_socket->flush();
        }
    } else if (m_process) {
        m_process->terminate();
    }
}

void HostProcess::kill()
{
    if (viaAgent()) {
        if (m_running) {
            m_socket->write("KILL\n");
            m_socket->flush();
        }
    } else if (m_process) {
        m_process->kill();
    }
}

bool HostProcess::waitForFinished(int ms)
{
    if (viaAgent()) {
        QDeadlineTimer deadline(ms);
        while (m_running && !deadline.hasExpired())
            pumpAgent(int(qMax<qint64>(1, deadline.remainingTime())));
        return !m_running;
    }
    if (!m_process || m_process->state() == QProcess::NotRunning)
        return true;
    const bool done = m_process->waitForFinished(ms);
    if (done && m_process->exitStatus() == QProcess::NormalExit)
        m_exitCode = m_process->exitCode();
    return done;
}

int HostProcess::run(const QString &program, const QStringList &args, int ms)
{
    HostProcess p;
    p.setMergedChannels(true);
    if (!p.start(program, args, ms) || !p.waitForFinished(ms))
        return -1;
    return p.exitCode();
}

bool waitOnSocket(QAbstractSocket &socket, const std::function<bool()> &done, int ms)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    const auto check = [&] {
        if (done() || socket.state() == QAbstractSocket::UnconnectedState)
            loop.quit();
    };
    QObject::connect(&socket, &QAbstractSocket::readyRead, &loop, check);
    QObject::connect(&socket, &QAbstractSocket::stateChanged, &loop, check);
    QObject::connect(&socket, &QAbstractSocket::errorOccurred, &loop, check);
    if (auto *tls = qobject_cast<QSslSocket *>(&socket))
        QObject::connect(tls, &QSslSocket::encrypted, &loop, check);
    timer.start(qMax(0, ms));
    loop.exec();
    return done();
}

QString hostPath(const QString &path)
{
#ifdef Q_OS_WIN
    // Wine maps every drive onto a Unix folder and says which.
    using UnixName = char *(__cdecl *)(const wchar_t *);
    static const auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (unixName && !path.isEmpty() && !path.startsWith(QLatin1Char('/'))) {
        const std::wstring native = QDir::toNativeSeparators(QDir::cleanPath(path)).toStdWString();
        if (char *name = unixName(native.c_str())) {
            const QString onHost = QString::fromLocal8Bit(name);
            HeapFree(GetProcessHeap(), 0, name);
            return onHost;
        }
    }
    return QDir::fromNativeSeparators(path);
#else
    return path;
#endif
}

QString hostTempTemplate()
{
#ifdef Q_OS_WIN
    if (!agentAddress().isEmpty())
        return QStringLiteral("Z:/tmp/mirelo-XXXXXX");
#endif
    return QDir::tempPath() + QStringLiteral("/mirelo-XXXXXX");
}
