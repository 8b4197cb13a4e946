// The auto-typer, its hotkey and capture protection against the recording
// platform, and the native platform where the desktop offers no global
// hotkey and no synthetic typing (offscreen): honest failure, working
// clipboard, nothing blocks.
#include "desktop/autotyper.h"
#include "desktop/captureprotection.h"
#include "desktop/capturewidget.h"
#include "desktop/platform.h"
#include "support/recordingplatform.h"
#include "support/isolatedsettings.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

class TestDesktopTyper : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_settings.reset(new IsolatedSettings);
        QGuiApplication::clipboard()->clear();
    }
    void cleanup() { m_settings.reset(); }

    void noHotkeyOrTypingOffscreen()
    {
#ifdef Q_OS_WIN
        QSKIP("the Windows backend registers and types whatever the Qt platform: tst_desktop_win32");
#else
        AutoTyper typer(&nativeDesktopPlatform());
        QVERIFY(!typer.registerHotkey());
        QVERIFY(!typer.hotkeyRegistered());
        QVERIFY(!typer.typingAvailable());

        typer.setTypingDelay(20);
        QSignalSpy finished(&typer, &AutoTyper::typingFinished);
        typer.autoType(QStringLiteral("4821"));
        QCOMPARE(typer.lastText(), QStringLiteral("4821"));
        // The clipboard still gets the code at once; typing reports failure.
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("4821"));
        QVERIFY(finished.wait(5000));
        QCOMPARE(finished.first().first().toBool(), false);
        // The native marks for clipboard managers ride along.
        QCOMPARE(QGuiApplication::clipboard()->mimeData()->data("x-kde-passwordManagerHint"), QByteArray("secret"));
#endif
    }

    void hotkeyTypesTheLastCodeAgain()
    {
        RecordingPlatform platform;
        AutoTyper typer(&platform);
        typer.setTypingDelay(0);
        QVERIFY(typer.registerHotkey());
        QSignalSpy pressed(&typer, &AutoTyper::hotkeyPressed);
        QSignalSpy finished(&typer, &AutoTyper::typingFinished);

        // Nothing to type yet: the press is reported and taken, nothing typed.
        QVERIFY(RecordingPlatform::pressHotkey());
        QVERIFY(pressed.wait(2000));
        QCoreApplication::processEvents();
        QVERIFY(platform.typed.isEmpty());
        QCOMPARE(finished.size(), 0);

        // A code outside the basic plane goes over as two UTF-16 units, intact.
        const QString code = QStringLiteral("48\U0001F600 2913");
        typer.copyToClipboard(code);
        QVERIFY(platform.typed.isEmpty());  // copying types nothing
        QVERIFY(RecordingPlatform::pressHotkey());
        QVERIFY(finished.wait(2000));
        QCOMPARE(pressed.size(), 2);
        QCOMPARE(platform.typed, QStringList{code});
        QCOMPARE(finished.first().first().toBool(), true);
        // typed: the clipboard copy it went through is gone at once
        QVERIFY(QGuiApplication::clipboard()->text().isEmpty());

        // With the application's gate in place the hotkey asks it instead.
        int asked = 0;
        typer.setHotkeyAction([&asked] { ++asked; });
        QVERIFY(RecordingPlatform::pressHotkey());
        QTRY_COMPARE(asked, 1);
        QCOMPARE(platform.typed.size(), 1);
    }

    void typingClearsOnlyItsOwnClipboardCopy()
    {
        RecordingPlatform platform;
        AutoTyper typer(&platform);
        typer.setTypingDelay(0);
        QSignalSpy finished(&typer, &AutoTyper::typingFinished);
        platform.heldForPolls = 1; // one poll later: room to copy something else
        typer.setModifierWait(5000);
        typer.autoType(QStringLiteral("604021"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("604021"));
        QGuiApplication::clipboard()->setText(QStringLiteral("users own text"));
        QVERIFY(finished.wait(5000));
        QCOMPARE(platform.typed, QStringList{QStringLiteral("604021")});
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("users own text"));
    }

    void hotkeyIgnoredWhenTakenOrReleased()
    {
        RecordingPlatform platform;
        auto typer = std::make_unique<AutoTyper>(&platform);
        typer->setLastText(QStringLiteral("777000"));
        QSignalSpy pressed(typer.get(), &AutoTyper::hotkeyPressed);

        platform.hotkeyFree = false;
        QVERIFY(!typer->registerHotkey());
        QVERIFY(!typer->hotkeyRegistered());
        QVERIFY(!RecordingPlatform::pressHotkey());

        platform.hotkeyFree = true;
        QVERIFY(typer->registerHotkey());
        QVERIFY(typer->registerHotkey());  // again: still one filter, one press
        QVERIFY(RecordingPlatform::pressHotkey());
        QTRY_COMPARE(platform.typed.size(), 1);
        QCOMPARE(pressed.size(), 1);

        typer->unregisterHotkey();
        QCOMPARE(platform.unregistrations, 1);
        QVERIFY(!RecordingPlatform::pressHotkey());

        // A destroyed typer hands the hotkey back and takes its filter along:
        // a late hotkey event reaches no filter at all.
        QVERIFY(typer->registerHotkey());
        typer.reset();
        QCOMPARE(platform.unregistrations, 2);
        platform.hotkeyRegistered = true;
        QVERIFY(!RecordingPlatform::pressHotkey());
        QCoreApplication::processEvents();
        QCOMPARE(platform.typed.size(), 1);
    }

    void typingWaitsForHeldModifiersThenGivesUp()
    {
        RecordingPlatform platform;
        AutoTyper typer(&platform);
        typer.setTypingDelay(0);
        typer.setModifierWait(5000);
        QSignalSpy finished(&typer, &AutoTyper::typingFinished);
        platform.heldForPolls = 3;
        typer.autoType(QStringLiteral("ab12"));
        QVERIFY(finished.wait(5000));
        // Typed only once the keys were let go: three polls saw them held.
        QCOMPARE(platform.modifierPolls, 4);
        QCOMPARE(platform.typed, QStringList{QStringLiteral("ab12")});

        // Keys held for good: typing goes ahead after the longest wait.
        platform.modifierPolls = 0;
        platform.heldForPolls = 1000;
        typer.setModifierWait(50);
        typer.autoType(QStringLiteral("cd34"));
        QVERIFY(finished.wait(5000));
        QCOMPARE(platform.modifierPolls, 2);  // at 0 and 25 ms; at 50 ms the wait is over
        QCOMPARE(platform.typed.last(), QStringLiteral("cd34"));
    }

    void refusedOrEmptyTypingReportsFailure()
    {
        RecordingPlatform platform;
        platform.typingWorks = false;
        AutoTyper typer(&platform);
        typer.setTypingDelay(0);
        QVERIFY(!typer.typingAvailable());
        QSignalSpy finished(&typer, &AutoTyper::typingFinished);
        typer.autoType(QStringLiteral("4821"));
        QVERIFY(finished.wait(2000));
        QCOMPARE(finished.takeFirst().first().toBool(), false);
        QCOMPARE(platform.typed, QStringList{QStringLiteral("4821")});

        platform.typingWorks = true;
        typer.autoType(QString());
        QVERIFY(finished.wait(2000));
        QCOMPARE(finished.takeFirst().first().toBool(), false);
        QCOMPARE(platform.typed.size(), 1);  // nothing sent for an empty code
    }

    void typedCodeIsClearedFromTheClipboardToo()
    {
        RecordingPlatform platform;
        AutoTyper typer(&platform);
        typer.setTypingDelay(10);
        typer.setClipboardClearInterval(100);
        typer.autoType(QStringLiteral("904417"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("904417"));
        QTRY_VERIFY_WITH_TIMEOUT(QGuiApplication::clipboard()->text().isEmpty(), 5000);
    }

    void copiedCodeIsMarkedSecretAndClearedLater()
    {
        RecordingPlatform platform;
        platform.marks.push_back({"x-second-mark", std::string("\0\0", 2)});
        AutoTyper typer(&platform);
        typer.setClipboardClearInterval(100);
        typer.copyToClipboard(QStringLiteral("731904"));
        QCOMPARE(typer.lastText(), QStringLiteral("731904"));
        const QMimeData *data = QGuiApplication::clipboard()->mimeData();
        QVERIFY(data);
        QCOMPARE(data->text(), QStringLiteral("731904"));
        QCOMPARE(data->data("x-mirelo-test-secret"), QByteArray("yes"));
        QCOMPARE(data->data("x-second-mark"), QByteArray(2, '\0'));
        QTRY_VERIFY_WITH_TIMEOUT(QGuiApplication::clipboard()->text().isEmpty(), 5000);
    }

    void otherTextCopiedMeanwhileStays()
    {
        RecordingPlatform platform;
        AutoTyper typer(&platform);
        typer.setClipboardClearInterval(100);
        // How often the system reports a change differs (Windows reports
        // one more); what counts is that no change ever empties it.
        QStringList seen;
        QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, &typer,
                         [&seen] { seen << QGuiApplication::clipboard()->text(); });
        typer.copyToClipboard(QStringLiteral("555111"));
        QGuiApplication::clipboard()->setText(QStringLiteral("alisveris listesi"));
        QTest::qWait(400);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("alisveris listesi"));
        QVERIFY(!seen.isEmpty());
        QVERIFY2(!seen.contains(QString()), qPrintable(seen.join(QLatin1Char('|'))));
    }

    void earlierTimerLeavesALaterCodeAlone()
    {
        RecordingPlatform platform;
        AutoTyper typer(&platform);
        typer.setClipboardClearInterval(400);
        typer.copyToClipboard(QStringLiteral("111111"));
        QTest::qWait(200);
        typer.copyToClipboard(QStringLiteral("222222"));
        QTest::qWait(300);  // the first timer has fired by now
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("222222"));
        QTRY_VERIFY_WITH_TIMEOUT(QGuiApplication::clipboard()->text().isEmpty(), 5000);
    }

    void filterLeavesKeysAloneWithoutRegistration()
    {
        AutoTyper typer(&nativeDesktopPlatform());
        QSignalSpy pressed(&typer, &AutoTyper::hotkeyPressed);
        qintptr result = 0;
        QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance();
#ifdef Q_OS_WIN
        // Windows registers for real: here nothing is registered at all, and
        // our own hotkey message passes through untouched.
        MSG msg{};
        msg.message = desktopplatform::kHotkeyMessage;
        msg.wParam = WPARAM(desktopplatform::kHotkeyId);
        QVERIFY(!dispatcher->filterNativeEvent("windows_generic_MSG", &msg, &result));
#else
        // A Ctrl+Shift+V key press as the xcb platform hands it over.
        QVERIFY(!typer.registerHotkey());
        unsigned char event[32] = {2, 55};
        event[28] = 5;  // ControlMask | ShiftMask
        QVERIFY(!dispatcher->filterNativeEvent("xcb_generic_event_t", event, &result));
#endif
        QCoreApplication::processEvents();
        QCOMPARE(pressed.size(), 0);
    }

    void captureProtectionSetting()
    {
        QVERIFY(captureProtectionEnabled());  // absent means on
        QSettings("MIRELOPLUS", "MireloPlus").setValue("captureProt", false);
        QVERIFY(!captureProtectionEnabled());
        QSettings("MIRELOPLUS", "MireloPlus").setValue("captureProt", true);
        QVERIFY(captureProtectionEnabled());
    }

    void captureProtectionReportsHonestly()
    {
        QVERIFY(!setCaptureProtection(0, true));
        QVERIFY(!setCaptureProtection(0, false));
        applyCaptureProtection(nullptr);
        QWidget dialog;
        applyCaptureProtection(&dialog);
#ifndef Q_OS_WIN
        // No capture exclusion here: the dialog is left untouched, not even
        // given a native window early, and a real handle is refused too.
        QCOMPARE(dialog.internalWinId(), WId(0));
        QVERIFY(!setCaptureProtection(dialog.winId(), true));
#endif
    }

    void protectionGoesThroughThePlatform()
    {
        RecordingPlatform platform;
        QVERIFY(!setCaptureProtection(platform, 0, true));
        QVERIFY(platform.captureCalls.isEmpty());  // a null handle never reaches it
        QVERIFY(setCaptureProtection(platform, WId(42), false));
        QCOMPARE(platform.captureCalls.last(), qMakePair(reinterpret_cast<void *>(42), false));

        QWidget dialog;
        applyCaptureProtection(&dialog, platform);
        QVERIFY(dialog.internalWinId() != 0);
        QCOMPARE(platform.captureCalls.size(), 2);
        QCOMPARE(platform.captureCalls.last(), qMakePair(reinterpret_cast<void *>(dialog.internalWinId()), true));

        // The user's setting off, or a platform without exclusion: no call.
        QSettings("MIRELOPLUS", "MireloPlus").setValue("captureProt", false);
        QWidget second;
        applyCaptureProtection(&second, platform);
        QSettings("MIRELOPLUS", "MireloPlus").setValue("captureProt", true);
        platform.captureSupported = false;
        applyCaptureProtection(&second, platform);
        QCOMPARE(platform.captureCalls.size(), 2);
        QCOMPARE(second.internalWinId(), WId(0));
    }

private:
    std::unique_ptr<IsolatedSettings> m_settings;
};

QTEST_MAIN(TestDesktopTyper)
#include "tst_desktop_typer.moc"
