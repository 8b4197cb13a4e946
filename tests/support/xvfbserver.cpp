#include "support/xvfbserver.h"

#include <QByteArray>
#include <QStandardPaths>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

namespace {

long long nowMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000LL + ts.tv_nsec / 1000000;
}

bool reap(pid_t pid, int timeoutMs)
{
    const long long deadline = nowMs() + timeoutMs;
    while (true) {
        const pid_t r = waitpid(pid, nullptr, WNOHANG);
        if (r == pid || (r < 0 && errno == ECHILD))
            return true;
        if (nowMs() >= deadline)
            return false;
        usleep(10000);
    }
}

} // namespace

XvfbServer::~XvfbServer()
{
    stop();
}

bool XvfbServer::available()
{
    return !QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty();
}

bool XvfbServer::start(const QString &screen, int timeoutMs)
{
    stop();
    m_error.clear();
    const QByteArray program = QStandardPaths::findExecutable(QStringLiteral("Xvfb")).toLocal8Bit();
    if (program.isEmpty()) {
        m_error = QStringLiteral("Xvfb not found on PATH");
        return false;
    }
    int fds[2];
    if (pipe(fds) != 0) {
        m_error = QStringLiteral("pipe failed");
        return false;
    }
    const QByteArray fdText = QByteArray::number(fds[1]);
    const QByteArray screenText = screen.toLocal8Bit();
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid < 0) {
        close(fds[0]);
        close(fds[1]);
        m_error = QStringLiteral("fork failed");
        return false;
    }
    if (pid == 0) {
        // The server must not outlive a crashed test.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent)
            _exit(1);
        close(fds[0]);
        const int devnull = open("/dev/null", O_RDWR);
        if (devnull >= 0) {
            dup2(devnull, 0);
            dup2(devnull, 1);
            dup2(devnull, 2);
        }
        execl(program.constData(), "Xvfb", "-displayfd", fdText.constData(), "-screen", "0",
              screenText.constData(), "-nolisten", "tcp", "-noreset", static_cast<char *>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    m_pid = pid;

    // Xvfb writes its display number and a newline once it is ready.
    QByteArray number;
    const long long deadline = nowMs() + timeoutMs;
    while (!number.endsWith('\n')) {
        const long long left = deadline - nowMs();
        if (left <= 0)
            break;
        pollfd p{fds[0], POLLIN, 0};
        const int r = poll(&p, 1, int(left));
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            break;
        char buf[32];
        const ssize_t n = read(fds[0], buf, sizeof buf);
        if (n <= 0)
            break;
        number.append(buf, int(n));
    }
    close(fds[0]);
    bool ok = false;
    const int displayNumber = number.trimmed().toInt(&ok);
    if (!number.endsWith('\n') || !ok) {
        m_error = QStringLiteral("Xvfb did not report a display");
        stop();
        return false;
    }
    m_display = QStringLiteral(":%1").arg(displayNumber);
    return true;
}

void XvfbServer::stop()
{
    if (m_pid <= 0)
        return;
    kill(m_pid, SIGTERM);
    if (!reap(m_pid, 5000)) {
        kill(m_pid, SIGKILL);
        reap(m_pid, 5000);
    }
    m_pid = -1;
    m_display.clear();
}

void XvfbServer::exportToEnvironment() const
{
    qputenv("DISPLAY", m_display.toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "xcb");
}
