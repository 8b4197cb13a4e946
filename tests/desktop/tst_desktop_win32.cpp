// The Windows backend through the real Win32 calls: the global hotkey
// delivered by SendInput, a code typed into a focused line edit, the
// clipboard marks as other programs read them, the Run-key autostart entry,
// the settings in their registry branch, and the start-up hardening line.
// Registry writes land in the key IsolatedSettings maps HKEY_CURRENT_USER to.
#include "core/settings.h"
#include "desktop/autostart.h"
#include "desktop/autotyper.h"
#include "desktop/captureprotection.h"
#include "desktop/platform.h"
#include "desktop/shieldchecks.h"
#include "support/isolatedsettings.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <qt_windows.h>

#include <memory>

namespace {

// A value below HKEY_CURRENT_USER as another program reads it; null when absent.
QString registryString(const wchar_t *key, const wchar_t *value)
{
    wchar_t buffer[1024];
    DWORD size = sizeof buffer;
    if (RegGetValueW(HKEY_CURRENT_USER, key, value, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
        return QString();
    return QString::fromWCharArray(buffer);
}

void pressKeys(std::initializer_list<WORD> keys)
{
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        INPUT in = {};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = key;
        inputs.push_back(in);
    }
    for (auto it = keys.end(); it != keys.begin();) {
        INPUT in = {};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = *--it;
        in.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(in);
    }
    QCOMPARE(SendInput(UINT(inputs.size()), inputs.data(), sizeof(INPUT)), UINT(inputs.size()));
}

QByteArray clipboardFormat(const wchar_t *name)
{
    QByteArray out;
    const UINT format = RegisterClipboardFormatW(name);
    if (!OpenClipboard(nullptr))
        return "<clipboard busy>";
    if (HANDLE data = GetClipboardData(format)) {
        if (const void *p = GlobalLock(data)) {
            out = QByteArray(static_cast<const char *>(p), int(GlobalSize(data)));
            GlobalUnlock(data);
        }
    } else {
        out = "<absent>";
    }
    CloseClipboard();
    return out;
}

} // namespace

class TestDesktopWin32 : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_settings = std::make_unique<IsolatedSettings>(); }
    void cleanup() { m_settings.reset(); }

    void hotkeyFromSendInputTypesTheCodeIntoTheFocusedEdit()
    {
        QLineEdit edit;
        edit.show();
        edit.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&edit));
        edit.setFocus();
        QTRY_VERIFY(edit.hasFocus());

        AutoTyper typer(&nativeDesktopPlatform());
        typer.setTypingDelay(0);
        QVERIFY(typer.typingAvailable());
        QVERIFY(typer.registerHotkey());
        typer.setLastText(QStringLiteral("4821"));
        QSignalSpy pressed(&typer, &AutoTyper::hotkeyPressed);
        QSignalSpy finished(&typer, &AutoTyper::typingFinished);

        pressKeys({VK_CONTROL, VK_SHIFT, 'V'});
        QVERIFY(pressed.wait(5000));
        QVERIFY(finished.wait(5000));
        QCOMPARE(finished.first().first().toBool(), true);
        QTRY_COMPARE(edit.text(), QStringLiteral("4821"));

        // Handed back: the same keys now reach the edit, not the typer.
        typer.unregisterHotkey();
        pressKeys({VK_CONTROL, VK_SHIFT, 'V'});
        QTest::qWait(200);
        QCOMPARE(pressed.size(), 1);
    }

    void clipboardMarksAsOtherProgramsReadThem()
    {
        AutoTyper typer(&nativeDesktopPlatform());
        typer.copyToClipboard(QStringLiteral("739105"));
        QCOMPARE(clipboardFormat(L"CanIncludeInClipboardHistory").left(4), QByteArray(4, '\0'));
        QCOMPARE(clipboardFormat(L"CanUploadToCloudClipboard").left(4), QByteArray(4, '\0'));
        QVERIFY(clipboardFormat(L"ExcludeClipboardContentFromMonitorProcessing") != "<absent>");
    }

    void autostartRunValueWrittenAndRemoved()
    {
        const wchar_t *run = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
        Autostart autostart = Autostart::forCurrentUser();
        QVERIFY(!autostart.isEnabled());
        QString error;
        QVERIFY2(autostart.setEnabled(true, &error), qPrintable(error));
        const QString command = registryString(run, L"MIRELO+");
        QCOMPARE(command, QLatin1Char('"') + QDir::toNativeSeparators(QCoreApplication::applicationFilePath())
                              + QStringLiteral("\" --tray"));
        QVERIFY(autostart.isEnabled());
        QVERIFY(autostart.setEnabled(false, &error));
        QVERIFY(registryString(run, L"MIRELO+").isNull());
        QVERIFY(!autostart.isEnabled());
    }

    void settingsLiveInTheRegistryBranch()
    {
        Settings::setLightTheme(true);
        QCOMPARE(registryString(L"Software\\MIRELOPLUS\\MireloPlus", L"theme"), QStringLiteral("light"));
        QCOMPARE(Settings::fileName(), QStringLiteral("\\HKEY_CURRENT_USER\\Software\\MIRELOPLUS\\MireloPlus"));
        QVERIFY(Settings::lightTheme());
    }

    void shieldChecksUnderThisSystem()
    {
        // Wine has none of these keys; a missing value reads as off, never on.
        const ShieldChecks checks = readShieldChecks();
        qInfo("hvci=%d secureBoot=%d uac=%d testSigning=%d", checks.hvci, checks.secureBoot, checks.uac,
              checks.testSigning);
        const QString text = shieldText(checks, false, false);
        QVERIFY(text.contains(QStringLiteral("Defender: sorgulaniyor...")));
        if (!checks.hvci)
            QVERIFY(text.contains(QStringLiteral("[KAPALI] Bellek Butunlugu")));
    }

    void captureExclusionAndMitigationsAreReported()
    {
        QWidget window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(captureProtectionAvailable());
        const bool excluded = setCaptureProtection(window.winId(), true);
        DWORD affinity = 0;
        GetWindowDisplayAffinity(reinterpret_cast<HWND>(window.winId()), &affinity);
        qInfo("SetWindowDisplayAffinity: %s, affinity now %lu", excluded ? "accepted" : "refused", affinity);
        if (excluded)
            QCOMPARE(affinity, DWORD(desktopplatform::kAffinityExcludeFromCapture));
        QVERIFY(setCaptureProtection(window.winId(), false) || !excluded);

        // Last: the policies stay for the rest of the process.
        const QString line = applyProcessHardening();
        qInfo("start-up line: %s", qPrintable(line));
        QVERIFY(!line.isEmpty());
    }

private:
    std::unique_ptr<IsolatedSettings> m_settings;
};

QTEST_MAIN(TestDesktopWin32)
#include "tst_desktop_win32.moc"
