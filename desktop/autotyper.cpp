#include "desktop/autotyper.h"

#include "desktop/hotkeyfilter.h"
#include "desktop/platform.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTimer>

namespace {

// One process-wide filter, installed on the first registration and kept.
HotkeyFilter *g_filter = nullptr;

constexpr int kModifierPollMs = 25;

QClipboard *systemClipboard()
{
    // The clipboard needs a GUI application; a console-only host has none.
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return nullptr;
    return QGuiApplication::clipboard();
}

} // namespace

QMimeData *secretClipboardData(const QString &text)
{
    auto *data = new QMimeData;
    data->setText(text);
#ifdef Q_OS_WIN
    // Registered clipboard formats honoured by clipboard history, cloud
    // clipboard and clipboard monitors.
    const QByteArray zeroDword(4, '\0');
    data->setData(QStringLiteral("ExcludeClipboardContentFromMonitorProcessing"), QByteArrayLiteral("1"));
    data->setData(QStringLiteral("CanIncludeInClipboardHistory"), zeroDword);
    data->setData(QStringLiteral("CanUploadToCloudClipboard"), zeroDword);
#else
    // Read by Klipper and other clipboard managers on Linux desktops.
    data->setData(QStringLiteral("x-kde-passwordManagerHint"), QByteArrayLiteral("secret"));
#endif
    return data;
}

AutoTyper::AutoTyper(QObject *parent) : QObject(parent) {}

AutoTyper::~AutoTyper()
{
    if (m_hotkeyRegistered)
        unregisterHotkey();
}

bool AutoTyper::registerHotkey()
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app)
        return false;
    if (!g_filter) {
        g_filter = new HotkeyFilter(this);
        app->installNativeEventFilter(g_filter);
    } else if (!g_filter->typer()) {
        // The typer it served is gone; serve this one instead of nobody.
        g_filter->setTyper(this);
    }
    m_hotkeyRegistered = desktopplatform::registerHotkey();
    return m_hotkeyRegistered;
}

void AutoTyper::unregisterHotkey()
{
    if (!m_hotkeyRegistered)
        return;
    desktopplatform::unregisterHotkey();
    m_hotkeyRegistered = false;
}

bool AutoTyper::typingAvailable()
{
    return desktopplatform::keystrokesAvailable();
}

void AutoTyper::copyToClipboard(const QString &text)
{
    m_lastText = text;
    placeOnClipboard(text);
}

void AutoTyper::placeOnClipboard(const QString &text)
{
    QClipboard *clipboard = systemClipboard();
    if (!clipboard)
        return;
    clipboard->setMimeData(secretClipboardData(text));
    QTimer::singleShot(m_clearMs, Qt::CoarseTimer, this, [text] {
        QClipboard *now = systemClipboard();
        // Only our code goes; anything the user copied meanwhile stays.
        if (now && now->text() == text)
            now->clear();
    });
}

void AutoTyper::autoType(const QString &code)
{
    m_lastText = code;
    // Typing goes through the clipboard too (paste fallbacks); the code must
    // not stay there longer than a copied one.
    placeOnClipboard(code);
    QTimer::singleShot(m_typingDelayMs, Qt::PreciseTimer, this, [this, code] { typeWhenReleased(code, 0); });
}

void AutoTyper::typeWhenReleased(const QString &code, int waitedMs)
{
    // The hotkey arrives while Ctrl and Shift are still down; typing then
    // would turn digits into shortcuts. Wait a little, then type anyway.
    if (waitedMs < m_modifierWaitMs && desktopplatform::modifiersHeld()) {
        QTimer::singleShot(kModifierPollMs, Qt::PreciseTimer, this,
                           [this, code, waitedMs] { typeWhenReleased(code, waitedMs + kModifierPollMs); });
        return;
    }
    const bool ok = !code.isEmpty()
        && desktopplatform::sendText(reinterpret_cast<const char16_t *>(code.utf16()), static_cast<std::size_t>(code.size()));
    emit typingFinished(ok);
}
