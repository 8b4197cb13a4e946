#include "desktop/shieldchecks.h"

#include <QObject>
#include <QProcess>
#include <QStringList>

#ifdef Q_OS_WIN
#include <QSettings>
#endif

namespace {

const QString kHvciKey = QStringLiteral(
    "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\DeviceGuard\\Scenarios\\HypervisorEnforcedCodeIntegrity");
const QString kSecureBootKey = QStringLiteral("HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\SecureBoot\\State");
const QString kUacKey = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System");
const QString kControlKey = QStringLiteral("HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control");

QString readRegistryString(const QString &keyPath, const QString &valueName)
{
#ifdef Q_OS_WIN
    QSettings key(keyPath, QSettings::NativeFormat);
    return key.value(valueName).toString();
#else
    // Only Windows has a registry; a settings object here would create a file.
    Q_UNUSED(keyPath)
    Q_UNUSED(valueName)
    return QString();
#endif
}

} // namespace

int registryValueToInt(const QVariant &value)
{
    bool ok = false;
    const int n = value.toInt(&ok);
    return ok ? n : 0;
}

bool startOptionsHaveTestSigning(const QString &startOptions)
{
    return startOptions.contains(QStringLiteral("TESTSIGNING"), Qt::CaseInsensitive);
}

int readRegistryInt(const QString &keyPath, const QString &valueName)
{
#ifdef Q_OS_WIN
    QSettings key(keyPath, QSettings::NativeFormat);
    if (!key.contains(valueName))
        return 0;
    return registryValueToInt(key.value(valueName));
#else
    Q_UNUSED(keyPath)
    Q_UNUSED(valueName)
    return 0;
#endif
}

ShieldChecks readShieldChecks()
{
    ShieldChecks checks;
    checks.hvci = readRegistryInt(kHvciKey, QStringLiteral("Enabled")) == 1;
    checks.secureBoot = readRegistryInt(kSecureBootKey, QStringLiteral("UEFISecureBootEnabled")) == 1;
    checks.uac = readRegistryInt(kUacKey, QStringLiteral("EnableLUA")) == 1;
    checks.testSigning = startOptionsHaveTestSigning(readRegistryString(kControlKey, QStringLiteral("SystemStartOptions")));
    return checks;
}

DefenderAnswer parseDefenderAnswer(int exitCode, bool crashed, const QByteArray &output)
{
    DefenderAnswer answer;
    if (crashed || exitCode != 0)
        return answer;
    const QString text = QString::fromUtf8(output).trimmed();
    if (text.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0) {
        answer.on = true;
        answer.known = true;
    } else if (text.compare(QStringLiteral("False"), Qt::CaseInsensitive) == 0) {
        answer.known = true;
    }
    return answer;
}

void queryDefender(QObject *context, std::function<void(bool on, bool known)> done)
{
    auto *process = new QProcess(context);
    QObject::connect(process, &QProcess::finished, process,
                     [process, done](int exitCode, QProcess::ExitStatus status) {
                         const DefenderAnswer answer = parseDefenderAnswer(
                             exitCode, status == QProcess::CrashExit, process->readAllStandardOutput());
                         process->deleteLater();
                         if (done)
                             done(answer.on, answer.known);
                     });
    // A PowerShell that cannot start (none on the machine, as under Wine)
    // never finishes: answer "not known" now, or the caller waits forever.
    QObject::connect(process, &QProcess::errorOccurred, process, [process, done](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        process->deleteLater();
        if (done)
            done(false, false);
    });
    // A context's children go after its own destructor has run: a query
    // still running then is killed and would report into a half-destroyed
    // caller (a window closed while PowerShell answers). Nothing is said then.
    QObject::connect(context, &QObject::destroyed, process, [process] { process->disconnect(); });
    process->start(QStringLiteral("powershell"),
                   {QStringLiteral("-NoProfile"), QStringLiteral("-NonInteractive"), QStringLiteral("-Command"),
                    QStringLiteral("Get-MpComputerStatus | Select-Object -ExpandProperty RealTimeProtectionEnabled")},
                   QIODevice::ReadWrite);
    // With its input left open PowerShell may wait for more and never exit.
    process->closeWriteChannel();
}

QString shieldLine(bool on, const QString &name, const QString &hint)
{
    QString line = (on ? QStringLiteral("[ACIK] ") : QStringLiteral("[KAPALI] ")) + name;
    if (!hint.isEmpty())
        line += QStringLiteral(" — ") + hint;
    return line;
}

QString shieldText(const ShieldChecks &checks, bool defenderOn, bool defenderKnown)
{
    QStringList lines;
    lines << shieldLine(checks.hvci, QStringLiteral("Bellek Butunlugu (HVCI)"),
                        checks.hvci ? QStringLiteral("hipervizor aktif")
                                    : QStringLiteral("Windows Guvenligi > Cihaz guvenligi > Cekirdek yalitimi'ndan ac"));
    lines << shieldLine(checks.secureBoot, QStringLiteral("Guvenli Onyukleme"),
                        checks.secureBoot ? QString() : QStringLiteral("BIOS/UEFI'den ac"));
    lines << (defenderKnown ? shieldLine(defenderOn, QStringLiteral("Defender gercek zamanli koruma"), QString())
                            : QStringLiteral("Defender: sorgulaniyor..."));
    lines << shieldLine(checks.uac, QStringLiteral("UAC (yonetici onayi)"), QString());
    lines << (checks.testSigning ? QStringLiteral("[TEHLIKE] TestSigning ACIK: imzasiz surucu yuklenebilir — kapat!")
                                 : QStringLiteral("[OK] TestSigning kapali"));
    return lines.join(QLatin1Char('\n'));
}
