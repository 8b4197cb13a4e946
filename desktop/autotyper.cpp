#include "desktop/autotyper.h"

#include "desktop/hotkeyfilter.h"
#include "desktop/platform.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTimer>

namespace {

constexpr int kModifierPollMs = 25;

QClipboard *systemClipboard()
{
    // The clipboard needs a GUI application; a console-only host has none.
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return nullptr;
    return QGuiApplication::clipboard();
}

} // namespace

QMimeData *secretClipboardData(const QString &text, DesktopPlatform &platform)
{
    auto *data = new QMimeData;
    data->setText(text);
    for (const desktopplatform::ClipboardMark &mark : platform.secretClipboardMarks()) {
        data->setData(QString::fromStdString(mark.format),
                      QByteArray(mark.data.data(), qsizetype(mark.data.size())));
    }
    return data;
}

AutoTyper::AutoTyper(DesktopPlatform *platform, QObject *parent) : QObject(parent), m_platform(platform)
{
    Q_ASSERT(platform);
}

AutoTyper::~AutoTyper()
{
    if (m_hotkeyRegistered)
        unregisterHotkey();
    if (m_filter) {
        if (QCoreApplication *app = QCoreApplication::instance())
            app->removeNativeEventFilter(m_filter.get());
    }
}

bool AutoTyper::registerHotkey()
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app)
        return false;
    if (!m_filter) {
        m_filter = std::make_unique<HotkeyFilter>(m_platform, this);
        app->installNativeEventFilter(m_filter.get());
    }
    m_hotkeyRegistered = m_platform->registerHotkey();
    return m_hotkeyRegistered;
}

void AutoTyper::unregisterHotkey()
{
    if (!m_hotkeyRegistered)
        return;
    m_platform->unregisterHotkey();
    m_hotkeyRegistered = false;
}

bool AutoTyper::typingAvailable() const
{
    return m_platform->keystrokesAvailable();
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
    clipboard->setMimeData(secretClipboardData(text, *m_platform));
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
    if (waitedMs < m_modifierWaitMs && m_platform->modifiersHeld()) {
        QTimer::singleShot(kModifierPollMs, Qt::PreciseTimer, this,
                           [this, code, waitedMs] { typeWhenReleased(code, waitedMs + kModifierPollMs); });
        return;
    }
    const bool ok = !code.isEmpty()
        && m_platform->sendText(std::u16string(reinterpret_cast<const char16_t *>(code.utf16()),
                                               static_cast<std::size_t>(code.size())));
    // Typed: the copy it went through has done its work. Anything the user
    // copied meanwhile stays; a failed typing leaves the code to paste.
    if (ok) {
        QClipboard *clipboard = systemClipboard();
        if (clipboard && clipboard->text() == code)
            clipboard->clear();
    }
    emit typingFinished(ok);
}
