// Keyboard-mapping arithmetic behind the X11 hotkey and typing.
#include "desktop/x11keys.h"

#include <QTest>

#include <cstring>

using namespace x11keys;

namespace {

xcb_key_press_event_t press(uint8_t keycode, uint16_t state, uint8_t type = XCB_KEY_PRESS)
{
    xcb_key_press_event_t e;
    std::memset(&e, 0, sizeof e);
    e.response_type = type;
    e.detail = keycode;
    e.state = state;
    return e;
}

bool matches(const xcb_key_press_event_t &e, uint8_t keycode, uint16_t numLock)
{
    return isHotkeyPress(reinterpret_cast<const xcb_generic_event_t *>(&e), keycode, numLock);
}

// keycodes 8..12: v/V, 1/!, empty, Shift_L, empty
KeyMap smallMap()
{
    KeyMap map;
    map.minKeycode = 8;
    map.perKeycode = 2;
    map.syms = {'v', 'V', '1', '!', 0, 0, kShiftL, 0, 0, 0};
    return map;
}

} // namespace

class TestDesktopX11Keys : public QObject
{
    Q_OBJECT

private slots:
    void hotkeyPressRecognised()
    {
        const uint16_t ctrlShift = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT;
        const uint16_t numLock = XCB_MOD_MASK_2;
        QVERIFY(matches(press(55, ctrlShift), 55, numLock));
        QVERIFY(matches(press(55, ctrlShift | numLock), 55, numLock));
        QVERIFY(matches(press(55, ctrlShift | XCB_MOD_MASK_LOCK | numLock), 55, numLock));
        // Sent events carry the high bit and still count.
        QVERIFY(matches(press(55, ctrlShift, XCB_KEY_PRESS | 0x80), 55, numLock));

        QVERIFY(!matches(press(55, ctrlShift, XCB_KEY_RELEASE), 55, numLock));
        QVERIFY(!matches(press(56, ctrlShift), 55, numLock));
        QVERIFY(!matches(press(55, XCB_MOD_MASK_CONTROL), 55, numLock));
        QVERIFY(!matches(press(55, ctrlShift | XCB_MOD_MASK_1), 55, numLock));  // Ctrl+Shift+Alt+V
        // Without a known NumLock modifier, Mod2 is an ordinary extra modifier.
        QVERIFY(!matches(press(55, ctrlShift | XCB_MOD_MASK_2), 55, 0));
        QVERIFY(!isHotkeyPress(nullptr, 55, numLock));
        QVERIFY(!matches(press(0, ctrlShift), 0, numLock));
    }

    void grabVariantsCoverTheLocks()
    {
        const uint16_t cs = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT;
        QCOMPARE(hotkeyModifierVariants(0), (std::vector<uint16_t>{cs, uint16_t(cs | XCB_MOD_MASK_LOCK)}));
        QCOMPARE(hotkeyModifierVariants(XCB_MOD_MASK_2),
                 (std::vector<uint16_t>{cs, uint16_t(cs | XCB_MOD_MASK_LOCK), uint16_t(cs | XCB_MOD_MASK_2),
                                        uint16_t(cs | XCB_MOD_MASK_2 | XCB_MOD_MASK_LOCK)}));
    }

    void charactersOnAndOffTheLayout()
    {
        const KeyMap map = smallMap();
        QCOMPARE(int(findCharacter(map, U'v').keycode), 8);
        QVERIFY(!findCharacter(map, U'v').shift);
        QCOMPARE(int(findCharacter(map, U'V').keycode), 8);
        QVERIFY(findCharacter(map, U'V').shift);
        QCOMPARE(int(findCharacter(map, U'!').keycode), 9);
        QCOMPARE(int(findCharacter(map, U'\u015f').keycode), 0);  // ş is not there
        // A legacy keysym is matched by its character too.
        KeyMap turkish = map;
        turkish.syms[4] = 0x1ba;  // scedilla
        QCOMPARE(int(findCharacter(turkish, U'\u015f').keycode), 10);
        QCOMPARE(int(findKeysym(map, kShiftL)), 11);
        QCOMPARE(spareKeycodes(map), (std::vector<uint8_t>{12, 10}));
        QCOMPARE(spareKeycodes(turkish), (std::vector<uint8_t>{12}));
    }

    void surrogatePairsBecomeOneCharacter()
    {
        const char16_t text[] = {u'a', 0xd83d, 0xde00, 0xdc00, u'b', 0xd800};
        QCOMPARE(codePoints(text, 6), std::u32string({U'a', 0x1f600, 0xfffd, U'b', 0xfffd}));
        QCOMPARE(codePoints(text, 0), std::u32string());
    }
};

QTEST_APPLESS_MAIN(TestDesktopX11Keys)
#include "tst_desktop_x11keys.moc"
