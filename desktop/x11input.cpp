// Hotkey and typing on an X11 desktop: the hotkey is a passive key grab on
// the root window through Qt's own XCB connection (so the press arrives in
// the native event filter), typing goes through the XTest extension. On any
// other Qt platform (Wayland, offscreen) every call reports failure.
#include "desktop/platform_posix.h"
#include "desktop/x11keys.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTimer>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>
#include <xcb/xtest.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <set>

namespace {

// Keycodes given a character for one typing run are handed back this much
// later: clients re-read the keymap when they process the change, which may
// be well after the keystrokes were sent.
constexpr int kRestoreDelayMs = 400;

struct Session
{
    xcb_connection_t *conn = nullptr;
    xcb_window_t root = 0;
};

bool currentSession(Session &session)
{
    auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
    if (!app || QGuiApplication::platformName() != QLatin1String("xcb"))
        return false;
    auto *x11 = app->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection() || xcb_connection_has_error(x11->connection()))
        return false;
    session.conn = x11->connection();
    const xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(session.conn));
    if (!screens.rem)
        return false;
    session.root = screens.data->root;
    return true;
}

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

bool fetchKeyMap(xcb_connection_t *conn, x11keys::KeyMap &map)
{
    const xcb_setup_t *setup = xcb_get_setup(conn);
    const uint8_t count = uint8_t(setup->max_keycode - setup->min_keycode + 1);
    Reply<xcb_get_keyboard_mapping_reply_t> reply(
        xcb_get_keyboard_mapping_reply(conn, xcb_get_keyboard_mapping(conn, setup->min_keycode, count), nullptr),
        &std::free);
    if (!reply)
        return false;
    const xcb_keysym_t *syms = xcb_get_keyboard_mapping_keysyms(reply.get());
    const int length = xcb_get_keyboard_mapping_keysyms_length(reply.get());
    map.minKeycode = setup->min_keycode;
    map.perKeycode = reply->keysyms_per_keycode;
    map.syms.assign(syms, syms + length);
    return map.perKeycode > 0;
}

uint16_t numLockMask(xcb_connection_t *conn, const x11keys::KeyMap &map)
{
    Reply<xcb_get_modifier_mapping_reply_t> reply(
        xcb_get_modifier_mapping_reply(conn, xcb_get_modifier_mapping(conn), nullptr), &std::free);
    if (!reply)
        return 0;
    const xcb_keycode_t *keycodes = xcb_get_modifier_mapping_keycodes(reply.get());
    const int perModifier = reply->keycodes_per_modifier;
    uint16_t mask = 0;
    for (int i = 0; i < 8 * perModifier; ++i) {
        if (keycodes[i] && map.sym(keycodes[i], 0) == x11keys::kNumLock)
            mask |= uint16_t(1u << (i / perModifier));
    }
    return mask;
}

bool check(xcb_connection_t *conn, xcb_void_cookie_t cookie)
{
    xcb_generic_error_t *error = xcb_request_check(conn, cookie);
    std::free(error);
    return error == nullptr;
}

struct Grab
{
    bool active = false;
    xcb_connection_t *conn = nullptr;
    xcb_window_t root = 0;
    uint8_t keycode = 0;
    uint16_t numLock = 0;
};
Grab g_grab;

void ungrab(const Grab &grab)
{
    for (uint16_t modifiers : x11keys::hotkeyModifierVariants(grab.numLock))
        xcb_ungrab_key(grab.conn, grab.keycode, grab.root, modifiers);
    xcb_flush(grab.conn);
}

// Spare keycodes currently carrying a character, and when to free them.
std::set<uint8_t> g_borrowed;
QTimer *g_restoreTimer = nullptr;

void restoreBorrowed()
{
    Session session;
    if (!g_borrowed.empty() && currentSession(session)) {
        x11keys::KeyMap map;
        const int per = fetchKeyMap(session.conn, map) ? map.perKeycode : 0;
        if (per > 0) {
            const std::vector<xcb_keysym_t> none(std::size_t(per), 0);
            for (uint8_t keycode : g_borrowed)
                xcb_change_keyboard_mapping(session.conn, 1, keycode, uint8_t(per), none.data());
            xcb_flush(session.conn);
        }
    }
    g_borrowed.clear();
}

void scheduleRestore()
{
    if (!g_restoreTimer) {
        g_restoreTimer = new QTimer(QCoreApplication::instance());
        g_restoreTimer->setSingleShot(true);
        QObject::connect(g_restoreTimer, &QTimer::timeout, restoreBorrowed);
        // Do not leave the user's keymap changed when the program ends early.
        QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, restoreBorrowed);
        QObject::connect(g_restoreTimer, &QObject::destroyed, [] { g_restoreTimer = nullptr; });
    }
    g_restoreTimer->start(kRestoreDelayMs);
}

bool xtestPresent(xcb_connection_t *conn)
{
    const xcb_query_extension_reply_t *ext = xcb_get_extension_data(conn, &xcb_test_id);
    return ext && ext->present;
}

// The X11 backend: the process side of PosixPlatform plus hotkey and typing.
class X11Platform final : public PosixPlatform
{
public:
    bool registerHotkey() override;
    void unregisterHotkey() override;
    bool isHotkeyEvent(const char *eventType, const void *message) override;
    bool keystrokesAvailable() override;
    bool sendText(const std::u16string &text) override;
    bool modifiersHeld() override;
};

} // namespace

bool X11Platform::registerHotkey()
{
    Session session;
    x11keys::KeyMap map;
    if (!currentSession(session) || !fetchKeyMap(session.conn, map))
        return false;
    Grab grab;
    grab.conn = session.conn;
    grab.root = session.root;
    grab.keycode = x11keys::findCharacter(map, U'v').keycode;
    grab.numLock = numLockMask(session.conn, map);
    if (!grab.keycode)
        return false;
    if (g_grab.active)
        ungrab(g_grab);
    g_grab.active = false;

    std::vector<uint16_t> done;
    for (uint16_t modifiers : x11keys::hotkeyModifierVariants(grab.numLock)) {
        // Another client holding the combination answers BadAccess.
        if (!check(session.conn, xcb_grab_key_checked(session.conn, 1, session.root, modifiers, grab.keycode,
                                                      XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC))) {
            for (uint16_t undo : done)
                xcb_ungrab_key(session.conn, grab.keycode, session.root, undo);
            xcb_flush(session.conn);
            return false;
        }
        done.push_back(modifiers);
    }
    grab.active = true;
    g_grab = grab;
    return true;
}

void X11Platform::unregisterHotkey()
{
    if (!g_grab.active)
        return;
    Session session;
    // The connection dies with the application; nothing to release then.
    if (currentSession(session) && session.conn == g_grab.conn)
        ungrab(g_grab);
    g_grab.active = false;
}

bool X11Platform::isHotkeyEvent(const char *eventType, const void *message)
{
    if (!g_grab.active || !eventType || std::strcmp(eventType, "xcb_generic_event_t") != 0)
        return false;
    return x11keys::isHotkeyPress(static_cast<const xcb_generic_event_t *>(message), g_grab.keycode, g_grab.numLock);
}

bool X11Platform::keystrokesAvailable()
{
    Session session;
    return currentSession(session) && xtestPresent(session.conn);
}

bool X11Platform::modifiersHeld()
{
    Session session;
    x11keys::KeyMap map;
    if (!currentSession(session) || !fetchKeyMap(session.conn, map))
        return false;
    Reply<xcb_query_keymap_reply_t> keys(
        xcb_query_keymap_reply(session.conn, xcb_query_keymap(session.conn), nullptr), &std::free);
    if (!keys)
        return false;
    for (uint32_t sym : {x11keys::kShiftL, x11keys::kShiftR, x11keys::kControlL, x11keys::kControlR,
                         x11keys::kAltL, x11keys::kAltR, x11keys::kMetaL, x11keys::kMetaR}) {
        const uint8_t keycode = x11keys::findKeysym(map, sym);
        if (keycode && (keys->keys[keycode / 8] & (1u << (keycode % 8))))
            return true;
    }
    return false;
}

bool X11Platform::sendText(const std::u16string &text)
{
    Session session;
    x11keys::KeyMap map;
    if (!currentSession(session) || !xtestPresent(session.conn) || !fetchKeyMap(session.conn, map))
        return false;
    xcb_connection_t *conn = session.conn;

    // Plan every stroke before sending any, so a text that cannot be typed
    // is refused whole instead of arriving half.
    std::vector<uint8_t> spare = x11keys::spareKeycodes(map);
    std::map<char32_t, uint8_t> borrowed;
    std::vector<x11keys::KeyStroke> strokes;
    for (char32_t cp : x11keys::codePoints(text.data(), text.size())) {
        x11keys::KeyStroke stroke = x11keys::findCharacter(map, cp);
        if (!stroke.keycode) {
            auto it = borrowed.find(cp);
            if (it == borrowed.end()) {
                if (spare.empty() || xkb_utf32_to_keysym(uint32_t(cp)) == 0)
                    return false;
                it = borrowed.emplace(cp, spare.front()).first;
                spare.erase(spare.begin());
            }
            stroke.keycode = it->second;
        }
        strokes.push_back(stroke);
    }
    const uint8_t shiftKey = x11keys::findKeysym(map, x11keys::kShiftL);

    bool ok = true;
    // Characters missing from the layout borrow a free keycode, the way X11
    // typing tools do; both levels carry the character so Shift is moot.
    for (const auto &[cp, keycode] : borrowed) {
        std::vector<xcb_keysym_t> syms(std::size_t(map.perKeycode), 0);
        syms[0] = xkb_utf32_to_keysym(uint32_t(cp));
        if (syms.size() > 1)
            syms[1] = syms[0];
        ok = check(conn, xcb_change_keyboard_mapping_checked(conn, 1, keycode, uint8_t(map.perKeycode), syms.data()))
            && ok;
        g_borrowed.insert(keycode);
    }
    // Also keep earlier borrowed keys while this run still relies on them.
    bool usesBorrowed = !borrowed.empty();
    for (const x11keys::KeyStroke &stroke : strokes)
        usesBorrowed = usesBorrowed || g_borrowed.count(stroke.keycode) > 0;
    if (usesBorrowed)
        scheduleRestore();
    if (!ok)
        return false;

    std::vector<xcb_void_cookie_t> cookies;
    auto fake = [&](uint8_t type, uint8_t keycode) {
        cookies.push_back(xcb_test_fake_input_checked(conn, type, keycode, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0));
    };
    for (const x11keys::KeyStroke &stroke : strokes) {
        const bool shift = stroke.shift && shiftKey;
        if (stroke.shift && !shiftKey)
            ok = false;
        if (shift)
            fake(XCB_KEY_PRESS, shiftKey);
        fake(XCB_KEY_PRESS, stroke.keycode);
        fake(XCB_KEY_RELEASE, stroke.keycode);
        if (shift)
            fake(XCB_KEY_RELEASE, shiftKey);
    }
    for (xcb_void_cookie_t cookie : cookies)
        ok = check(conn, cookie) && ok;
    return ok;
}

DesktopPlatform &nativeDesktopPlatform()
{
    static X11Platform platform;
    return platform;
}
