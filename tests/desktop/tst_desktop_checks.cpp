// Texts and answers of the hardening summary, the shield checks, the
// Defender query and the protection guard.
#include "desktop/captureprotection.h"
#include "desktop/platform.h"
#include "desktop/protectionguard.h"
#include "desktop/shieldchecks.h"
#include "support/isolatedsettings.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/prctl.h>
#include <sys/ptrace.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

class TestDesktopChecks : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_settings.reset(new IsolatedSettings); }
    void cleanup() { m_settings.reset(); }

    void hardeningSummaryForEveryCombination_data()
    {
        QTest::addColumn<int>("mask");
        QTest::addColumn<QString>("expected");
        const QString e = QStringLiteral("eklenti-sizma-kapali"), d = QStringLiteral("dinamik-kod-yasak"),
                      u = QStringLiteral("uzak-dll-engelli");
        QTest::newRow("none") << 0 << QStringLiteral("mitigasyon: yok");
        QTest::newRow("ext") << 1 << "mitigasyon: " + e;
        QTest::newRow("dyn") << 2 << "mitigasyon: " + d;
        QTest::newRow("ext+dyn") << 3 << "mitigasyon: " + e + ", " + d;
        QTest::newRow("img") << 4 << "mitigasyon: " + u;
        QTest::newRow("ext+img") << 5 << "mitigasyon: " + e + ", " + u;
        QTest::newRow("dyn+img") << 6 << "mitigasyon: " + d + ", " + u;
        QTest::newRow("all") << 7 << "mitigasyon: " + e + ", " + d + ", " + u;
        QTest::newRow("linux") << 8 << QStringLiteral("mitigasyon: bellek-okuma-kapali");
    }
    void hardeningSummaryForEveryCombination()
    {
        QFETCH(int, mask);
        QFETCH(QString, expected);
        HardeningOutcome outcome;
        outcome.extensionPointsDisabled = mask & 1;
        outcome.dynamicCodeProhibited = mask & 2;
        outcome.remoteImagesBlocked = mask & 4;
        outcome.memoryReadsRefused = mask & 8;
        QCOMPARE(hardeningSummary(outcome), expected);
    }

    void shieldLines()
    {
        QCOMPARE(shieldLine(true, "Ad", "ipucu"), QString::fromUtf8("[ACIK] Ad — ipucu"));
        QCOMPARE(shieldLine(false, "Ad", "ipucu"), QString::fromUtf8("[KAPALI] Ad — ipucu"));
        QCOMPARE(shieldLine(true, "Ad", QString()), QStringLiteral("[ACIK] Ad"));
    }

    void shieldTextExampleMachine()
    {
        ShieldChecks checks;
        checks.hvci = true;
        checks.uac = true;
        const QStringList lines = shieldText(checks, true, true).split('\n');
        QCOMPARE(lines, QStringList({QString::fromUtf8("[ACIK] Bellek Butunlugu (HVCI) — hipervizor aktif"),
                                     QString::fromUtf8("[KAPALI] Guvenli Onyukleme — BIOS/UEFI'den ac"),
                                     "[ACIK] Defender gercek zamanli koruma", "[ACIK] UAC (yonetici onayi)",
                                     "[OK] TestSigning kapali"}));
    }

    void shieldTextDangerAndUnknownDefender()
    {
        ShieldChecks checks;
        checks.secureBoot = true;
        checks.testSigning = true;
        const QStringList lines = shieldText(checks, true, false).split('\n');
        QCOMPARE(lines.size(), 5);
        QCOMPARE(lines[0], QString::fromUtf8("[KAPALI] Bellek Butunlugu (HVCI) — Windows Guvenligi > Cihaz guvenligi > "
                                             "Cekirdek yalitimi'ndan ac"));
        QCOMPARE(lines[1], QStringLiteral("[ACIK] Guvenli Onyukleme"));
        // Without an answer the held "on" must not show.
        QCOMPARE(lines[2], QStringLiteral("Defender: sorgulaniyor..."));
        QCOMPARE(lines[3], QStringLiteral("[KAPALI] UAC (yonetici onayi)"));
        QCOMPARE(lines[4], QString::fromUtf8("[TEHLIKE] TestSigning ACIK: imzasiz surucu yuklenebilir — kapat!"));
    }

    void registryValues()
    {
        QCOMPARE(registryValueToInt(QVariant(1)), 1);
        QCOMPARE(registryValueToInt(QVariant(2)), 2);  // "Enabled" = 2 is not 1, so off
        QCOMPARE(registryValueToInt(QVariant(QStringLiteral("1"))), 1);
        QCOMPARE(registryValueToInt(QVariant(QStringLiteral("ja"))), 0);
        QCOMPARE(registryValueToInt(QVariant()), 0);
        QVERIFY(startOptionsHaveTestSigning(" NOEXECUTE=OPTIN  TestSigning  DISABLE_INTEGRITY_CHECKS"));
        QVERIFY(startOptionsHaveTestSigning("testsigning"));
        QVERIFY(!startOptionsHaveTestSigning(" NOEXECUTE=OPTIN"));
        QVERIFY(!startOptionsHaveTestSigning(QString()));
    }

    void registryReadsOffWindowsWriteNothing()
    {
#ifdef Q_OS_WIN
        QSKIP("reads the real registry on Windows");
#else
        const QString cwdBefore = QDir::currentPath();
        QTemporaryDir cwd;
        QVERIFY(QDir::setCurrent(cwd.path()));
        QCOMPARE(readRegistryInt("HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\SecureBoot\\State",
                                 "UEFISecureBootEnabled"),
                 0);
        const ShieldChecks checks = readShieldChecks();
        QVERIFY(!checks.hvci && !checks.secureBoot && !checks.uac && !checks.testSigning);
        QDir::setCurrent(cwdBefore);
        // Neither the isolated config folder nor the working folder got a file.
        for (const QString &dir : {m_settings->path(), cwd.path()}) {
            QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
            QVERIFY2(!it.hasNext(), qPrintable(dir));
        }
#endif
    }

    void defenderAnswers_data()
    {
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<bool>("crashed");
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<bool>("on");
        QTest::addColumn<bool>("known");
        QTest::newRow("True") << 0 << false << QByteArray("True\r\n") << true << true;
        QTest::newRow("true") << 0 << false << QByteArray("  true\n") << true << true;
        QTest::newRow("False") << 0 << false << QByteArray("False\r\n") << false << true;
        QTest::newRow("junk") << 0 << false << QByteArray("Get-MpComputerStatus : not found") << false << false;
        QTest::newRow("empty") << 0 << false << QByteArray() << false << false;
        QTest::newRow("exit 1") << 1 << false << QByteArray("True") << false << false;
        QTest::newRow("crashed") << 0 << true << QByteArray("True") << false << false;
    }
    void defenderAnswers()
    {
        QFETCH(int, exitCode);
        QFETCH(bool, crashed);
        QFETCH(QByteArray, output);
        const DefenderAnswer answer = parseDefenderAnswer(exitCode, crashed, output);
        QTEST(answer.on, "on");
        QTEST(answer.known, "known");
    }

    // The child process, its arguments and the completion, with a stand-in
    // "powershell" first on PATH.
    void defenderQueryThroughProcess_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<bool>("on");
        QTest::addColumn<bool>("known");
        QTest::newRow("on") << QByteArray("echo True") << true << true;
        QTest::newRow("off") << QByteArray("echo False") << false << true;
        QTest::newRow("failing") << QByteArray("echo True; exit 3") << false << false;
    }
    void defenderQueryThroughProcess()
    {
#ifdef Q_OS_WIN
        QSKIP("the stand-in powershell is a shell script");
#else
        QFETCH(QByteArray, script);
        QTemporaryDir bin;
        QFile fake(bin.filePath("powershell"));
        QVERIFY(fake.open(QIODevice::WriteOnly));
        // Answers only when called exactly as expected, and only after stdin closes.
        fake.write("#!/bin/sh\n"
                   "[ \"$*\" = \"-NoProfile -NonInteractive -Command Get-MpComputerStatus | Select-Object "
                   "-ExpandProperty RealTimeProtectionEnabled\" ] || { echo wrong args; exit 0; }\n"
                   "cat >/dev/null\n"
                   + script + "\n");
        fake.close();
        fake.setPermissions(fake.permissions() | QFile::ExeOwner);
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", bin.path().toLocal8Bit() + ':' + oldPath);

        QObject context;
        int calls = 0;
        bool gotOn = false, gotKnown = false;
        queryDefender(&context, [&](bool on, bool known) {
            ++calls;
            gotOn = on;
            gotKnown = known;
        });
        qputenv("PATH", oldPath);
        QTRY_COMPARE_WITH_TIMEOUT(calls, 1, 10000);
        QTEST(gotOn, "on");
        QTEST(gotKnown, "known");
        // The process object is released after the answer.
        QTRY_VERIFY(context.findChildren<QProcess *>().isEmpty());
#endif
    }

    // The window that asked is closed while PowerShell still runs: the
    // answer must not reach it.
    void defenderQueryOutlivedByItsCaller()
    {
#ifdef Q_OS_WIN
        QSKIP("the stand-in powershell is a shell script");
#else
        QTemporaryDir bin;
        QFile fake(bin.filePath("powershell"));
        QVERIFY(fake.open(QIODevice::WriteOnly));
        fake.write("#!/bin/sh\necho started\nexec sleep 30\n");
        fake.close();
        fake.setPermissions(fake.permissions() | QFile::ExeOwner);
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", bin.path().toLocal8Bit() + ':' + oldPath);
        int calls = 0;
        auto context = std::make_unique<QObject>();
        queryDefender(context.get(), [&](bool, bool) { ++calls; });
        qputenv("PATH", oldPath);
        QProcess *process = context->findChild<QProcess *>();
        QVERIFY(process);
        QTRY_VERIFY(process->bytesAvailable() > 0);
        context.reset();
        QCOMPARE(calls, 0);
#endif
    }

    // No PowerShell (Wine has none): one answer, not known and never on.
    void defenderQueryWithoutPowershellAnswersUnknown()
    {
        const QByteArray oldPath = qgetenv("PATH");
        QTemporaryDir empty;
        qputenv("PATH", empty.path().toLocal8Bit());
        QObject context;
        int calls = 0;
        bool gotOn = true, gotKnown = true;
        queryDefender(&context, [&](bool on, bool known) {
            ++calls;
            gotOn = on;
            gotKnown = known;
        });
        qputenv("PATH", oldPath);
        QTRY_VERIFY(context.findChildren<QProcess *>().isEmpty());
        QTRY_COMPARE(calls, 1);
        QVERIFY(!gotOn);
        QVERIFY(!gotKnown);
        QVERIFY(!shieldText(ShieldChecks{}, gotOn, gotKnown).contains(QStringLiteral("[ACIK] Defender")));
        QTest::qWait(50);
        QCOMPARE(calls, 1);
    }

    void tracerPidParsing()
    {
        auto parse = [](const QByteArray &text) {
            return desktopplatform::tracerPidFromStatus(text.constData(), std::size_t(text.size()));
        };
        QCOMPARE(parse("Name:\tx\nState:\tS\nTracerPid:\t0\nUid:\t0\n"), 0);
        QCOMPARE(parse("Name:\tx\nTracerPid:\t4711\nUid:\t0\n"), 4711);
        QCOMPARE(parse("TracerPid:\t12"), 12);
        QCOMPARE(parse("Name:\tTracerPid:\t99\n"), 0);  // only at the start of a line
        QCOMPARE(parse("TracerPid:\t12abc\n"), 0);
        QCOMPARE(parse("TracerPid:\t\n"), 0);
        QCOMPARE(parse(QByteArray()), 0);
    }

    void guardSeesARealTracer()
    {
        QVERIFY(!analysisEnvironmentPresent());
        QVERIFY(protectionGuardStatus(false) != protectionGuardStatus(true));
        QVERIFY(protectionGuardStatus(true).startsWith("Koruma: "));

#ifndef Q_OS_LINUX
        QSKIP("a tracer attached by a forked child is the Linux check");
#else
        // A child attaches to us without stopping us, then waits to be told to go.
        prctl(PR_SET_PTRACER, PR_SET_PTRACER_ANY, 0, 0, 0);
        int up[2], down[2];
        QVERIFY(pipe(up) == 0 && pipe(down) == 0);
        const pid_t parent = getpid();
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            const char ok = ptrace(PTRACE_SEIZE, parent, nullptr, nullptr) == 0 ? 'y' : 'n';
            (void)!write(up[1], &ok, 1);
            char go;
            (void)!read(down[0], &go, 1);
            _exit(0);
        }
        char attached = 'n';
        QCOMPARE(read(up[0], &attached, 1), ssize_t(1));
        const bool present = analysisEnvironmentPresent();
        (void)!write(down[1], "g", 1);
        waitpid(child, nullptr, 0);
        for (int fd : {up[0], up[1], down[0], down[1]})
            close(fd);
        if (attached != 'y')
            QSKIP("this machine does not allow attaching a tracer");
        QVERIFY(present);
        QTRY_VERIFY(!analysisEnvironmentPresent());
#endif
    }

    // Last: it really changes this process.
    void hardeningAppliesTheLinuxAnalogue()
    {
#ifdef Q_OS_LINUX
        QCOMPARE(applyProcessHardening(), QStringLiteral("mitigasyon: bellek-okuma-kapali"));
        QCOMPARE(prctl(PR_GET_DUMPABLE, 0, 0, 0, 0), 0);
#else
        QVERIFY(applyProcessHardening().startsWith("mitigasyon: "));
#endif
    }

private:
    std::unique_ptr<IsolatedSettings> m_settings;
};

QTEST_GUILESS_MAIN(TestDesktopChecks)
#include "tst_desktop_checks.moc"
