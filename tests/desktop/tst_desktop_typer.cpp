// The auto-typer and capture protection where the desktop offers no global
// hotkey and no synthetic typing (the offscreen platform): honest failure,
// working clipboard, nothing blocks.
#include "desktop/autotyper.h"
#include "desktop/captureprotection.h"
#include "desktop/capturewidget.h"
#include "desktop/hotkeyfilter.h"
#include "support/isolatedsettings.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

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
        AutoTyper typer;
        QVERIFY(!typer.registerHotkey());
        QVERIFY(!typer.hotkeyRegistered());
        QVERIFY(!AutoTyper::typingAvailable());

        typer.setTypingDelay(20);
        QSignalSpy finished(&typer, &AutoTyper::typingFinished);
        typer.autoType(QStringLiteral("4821"));
        QCOMPARE(typer.lastText(), QStringLiteral("4821"));
        // The clipboard still gets the code at once; typing reports failure.
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("4821"));
        QVERIFY(finished.wait(5000));
        QCOMPARE(finished.first().first().toBool(), false);
    }

    void typedCodeIsClearedFromTheClipboardToo()
    {
        AutoTyper typer;
        typer.setTypingDelay(10);
        typer.setClipboardClearInterval(100);
        typer.autoType(QStringLiteral("904417"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("904417"));
        QTRY_VERIFY_WITH_TIMEOUT(QGuiApplication::clipboard()->text().isEmpty(), 5000);
    }

    void copiedCodeIsMarkedSecretAndClearedLater()
    {
        AutoTyper typer;
        typer.setClipboardClearInterval(100);
        typer.copyToClipboard(QStringLiteral("731904"));
        QCOMPARE(typer.lastText(), QStringLiteral("731904"));
        const QMimeData *data = QGuiApplication::clipboard()->mimeData();
        QVERIFY(data);
        QCOMPARE(data->text(), QStringLiteral("731904"));
#ifdef Q_OS_WIN
        QCOMPARE(data->data("CanIncludeInClipboardHistory"), QByteArray(4, '\0'));
        QCOMPARE(data->data("CanUploadToCloudClipboard"), QByteArray(4, '\0'));
        QVERIFY(data->hasFormat("ExcludeClipboardContentFromMonitorProcessing"));
#else
        QCOMPARE(data->data("x-kde-passwordManagerHint"), QByteArray("secret"));
#endif
        QTRY_VERIFY_WITH_TIMEOUT(QGuiApplication::clipboard()->text().isEmpty(), 5000);
    }

    void otherTextCopiedMeanwhileStays()
    {
        AutoTyper typer;
        typer.setClipboardClearInterval(100);
        QSignalSpy changes(QGuiApplication::clipboard(), &QClipboard::dataChanged);
        typer.copyToClipboard(QStringLiteral("555111"));
        QGuiApplication::clipboard()->setText(QStringLiteral("alisveris listesi"));
        QTest::qWait(400);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("alisveris listesi"));
        QCOMPARE(changes.size(), 2);  // ours, the user's; no clearing after them
    }

    void earlierTimerLeavesALaterCodeAlone()
    {
        AutoTyper typer;
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
        AutoTyper typer;
        HotkeyFilter filter(&typer);
        QSignalSpy pressed(&typer, &AutoTyper::hotkeyPressed);
        // A Ctrl+Shift+V key press as the xcb platform hands it over.
        unsigned char event[32] = {2, 55};
        event[28] = 5;  // ControlMask | ShiftMask
        QVERIFY(!filter.nativeEventFilter("xcb_generic_event_t", event, nullptr));
        QVERIFY(!filter.nativeEventFilter("windows_generic_MSG", event, nullptr));
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

private:
    std::unique_ptr<IsolatedSettings> m_settings;
};

QTEST_MAIN(TestDesktopTyper)
#include "tst_desktop_typer.moc"
