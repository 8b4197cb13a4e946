// The global hotkey and synthetic typing for real, on a private Xvfb:
// xdotool presses the keys, the test's own window receives the typing.
#include "desktop/autotyper.h"
#include "desktop/platform.h"
#include "support/isolatedsettings.h"
#include "support/xvfbserver.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace {

bool xdotool(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    return p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// Another X client, for taking the hotkey away from us.
class OtherClient
{
public:
    OtherClient() : m_conn(xcb_connect(nullptr, nullptr))
    {
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_conn)).data->root;
    }
    ~OtherClient() { xcb_disconnect(m_conn); }
    bool grab(uint8_t keycode, uint16_t modifiers)
    {
        xcb_generic_error_t *error = xcb_request_check(
            m_conn, xcb_grab_key_checked(m_conn, 1, m_root, modifiers, keycode, XCB_GRAB_MODE_ASYNC,
                                         XCB_GRAB_MODE_ASYNC));
        std::free(error);
        return !error;
    }

private:
    xcb_connection_t *m_conn;
    xcb_window_t m_root = 0;
};

} // namespace

class TestDesktopX11 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        QVERIFY2(!QStandardPaths::findExecutable("xdotool").isEmpty(), "xdotool is needed");
        m_window.reset(new QWidget);
        auto *layout = new QVBoxLayout(m_window.get());
        m_edit = new QLineEdit;
        layout->addWidget(m_edit);
        m_window->resize(300, 80);
        m_window->show();
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        m_edit->setFocus();
        QTRY_VERIFY(m_edit->hasFocus());
    }

    void init()
    {
        m_settings.reset(new IsolatedSettings);
        m_edit->clear();
    }
    void cleanup() { m_settings.reset(); }

    void hotkeyWithNothingToType()
    {
        AutoTyper typer(&nativeDesktopPlatform());
        QVERIFY(typer.typingAvailable());
        QVERIFY(typer.registerHotkey());
        QVERIFY(typer.hotkeyRegistered());
        QSignalSpy pressed(&typer, &AutoTyper::hotkeyPressed);
        QSignalSpy finished(&typer, &AutoTyper::typingFinished);
        QVERIFY(xdotool({"key", "ctrl+shift+v"}));
        QVERIFY(pressed.wait(5000));
        QTest::qWait(800);
        QCOMPARE(finished.size(), 0);
        // The grab consumed the keys: nothing reached our focused line edit.
        QCOMPARE(m_edit->text(), QString());
    }

    // Also the first registration's typer is gone by now; the hotkey must
    // reach this one.
    void hotkeyTypesTheLastCodeAgain()
    {
        AutoTyper typer(&nativeDesktopPlatform());
        typer.setClipboardClearInterval(60000);
        QVERIFY(typer.registerHotkey());
        typer.copyToClipboard(QStringLiteral("482913"));
        QGuiApplication::clipboard()->setText(QStringLiteral("baska bir sey"));
        QSignalSpy pressed(&typer, &AutoTyper::hotkeyPressed);
        QSignalSpy finished(&typer, &AutoTyper::typingFinished);
        QVERIFY(xdotool({"key", "ctrl+shift+v"}));
        QVERIFY(pressed.wait(5000));
        QTRY_COMPARE_WITH_TIMEOUT(m_edit->text(), QStringLiteral("482913"), 5000);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.first().first().toBool(), true);
        // typed: the copy it went through is gone at once
        QVERIFY(QGuiApplication::clipboard()->text().isEmpty());
    }

    void hotkeyWorksWithNumLockAndCapsLock()
    {
        AutoTyper typer(&nativeDesktopPlatform());
        QVERIFY(typer.registerHotkey());
        QSignalSpy pressed(&typer, &AutoTyper::hotkeyPressed);
        QVERIFY(xdotool({"key", "Num_Lock", "Caps_Lock"}));
        QVERIFY(xdotool({"key", "ctrl+shift+v"}));
        const bool seen = pressed.wait(5000);
        QVERIFY(xdotool({"key", "Num_Lock", "Caps_Lock"}));
        QVERIFY(seen);
    }

    void unregisteredHotkeyIsFreeForOthers()
    {
        AutoTyper typer(&nativeDesktopPlatform());
        QVERIFY(typer.registerHotkey());
        const uint8_t keycode = vKeycode();
        QVERIFY(keycode);
        {
            OtherClient other;
            QVERIFY(!other.grab(keycode, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT));
        }
        typer.unregisterHotkey();
        QVERIFY(!typer.hotkeyRegistered());
        QSignalSpy pressed(&typer, &AutoTyper::hotkeyPressed);
        OtherClient other;
        QVERIFY(other.grab(keycode, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT));
        // Taken by someone else: registration fails and says so.
        AutoTyper second(&nativeDesktopPlatform());
        QVERIFY(!second.registerHotkey());
        QVERIFY(!second.hotkeyRegistered());
        QVERIFY(xdotool({"key", "ctrl+shift+v"}));
        QTest::qWait(500);
        QCOMPARE(pressed.size(), 0);
    }

    void autoTypeNonAsciiIntoFocusedEdit()
    {
        AutoTyper typer(&nativeDesktopPlatform());
        const QString code = QStringLiteral("Kod-\u015f7\u00c7 9\u011f");  // ş, Ç, ğ: not on a US layout
        uint8_t min = 0;
        int per = 0;
        const std::vector<xcb_keysym_t> before = keymap(min, per);
        QSignalSpy finished(&typer, &AutoTyper::typingFinished);
        typer.autoType(code);
        QCOMPARE(QGuiApplication::clipboard()->text(), code);
        QVERIFY(finished.wait(5000));
        QCOMPARE(finished.first().first().toBool(), true);
        QVERIFY(keymap(min, per) != before);  // spare keycodes were borrowed
        QTRY_COMPARE_WITH_TIMEOUT(m_edit->text(), code, 5000);
        // The borrowed keycodes are handed back: the keymap is as before.
        QTRY_VERIFY_WITH_TIMEOUT(keymap(min, per) == before, 3000);
    }

    void typingWaitsForHeldModifiers()
    {
        AutoTyper typer(&nativeDesktopPlatform());
        typer.setTypingDelay(20);
        typer.setModifierWait(5000);
        QSignalSpy finished(&typer, &AutoTyper::typingFinished);
        QVERIFY(xdotool({"keydown", "shift"}));
        typer.autoType(QStringLiteral("ab12"));
        QTest::qWait(400);
        const int early = finished.size();
        QVERIFY(xdotool({"keyup", "shift"}));
        QCOMPARE(early, 0);
        QVERIFY(finished.wait(5000));
        // Typed after Shift was let go, so not "AB!@".
        QTRY_COMPARE_WITH_TIMEOUT(m_edit->text(), QStringLiteral("ab12"), 5000);
    }

    void clipboardClearingUnderX11()
    {
        AutoTyper typer(&nativeDesktopPlatform());
        typer.setClipboardClearInterval(150);
        typer.copyToClipboard(QStringLiteral("909090"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("909090"));
        QTRY_VERIFY_WITH_TIMEOUT(QGuiApplication::clipboard()->text().isEmpty(), 5000);

        typer.copyToClipboard(QStringLiteral("123123"));
        QGuiApplication::clipboard()->setText(QStringLiteral("kendi metnim"));
        QTest::qWait(500);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("kendi metnim"));
    }

private:
    static xcb_connection_t *conn()
    {
        auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        return x11 ? x11->connection() : nullptr;
    }

    static std::vector<xcb_keysym_t> keymap(uint8_t &min, int &per)
    {
        xcb_connection_t *c = conn();
        const xcb_setup_t *setup = xcb_get_setup(c);
        min = setup->min_keycode;
        auto *reply = xcb_get_keyboard_mapping_reply(
            c, xcb_get_keyboard_mapping(c, min, uint8_t(setup->max_keycode - min + 1)), nullptr);
        if (!reply)
            return {};
        per = reply->keysyms_per_keycode;
        const xcb_keysym_t *syms = xcb_get_keyboard_mapping_keysyms(reply);
        std::vector<xcb_keysym_t> out(syms, syms + xcb_get_keyboard_mapping_keysyms_length(reply));
        std::free(reply);
        return out;
    }

    static uint8_t vKeycode()
    {
        uint8_t min = 0;
        int per = 0;
        const auto syms = keymap(min, per);
        for (std::size_t i = 0; per > 0 && i < syms.size(); i += std::size_t(per)) {
            if (syms[i] == 'v')
                return uint8_t(min + i / std::size_t(per));
        }
        return 0;
    }

    std::unique_ptr<IsolatedSettings> m_settings;
    std::unique_ptr<QWidget> m_window;
    QLineEdit *m_edit = nullptr;
};

MIRELO_XVFB_TEST_MAIN(TestDesktopX11)
#include "tst_desktop_x11.moc"
