#include "desktop/hotkeyfilter.h"

#include "desktop/autotyper.h"
#include "desktop/platform.h"

bool HotkeyFilter::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (!m_platform || !m_platform->isHotkeyEvent(eventType.constData(), message))
        return false;
    if (AutoTyper *typer = m_typer) {
        QMetaObject::invokeMethod(typer, "hotkeyPressed", Qt::QueuedConnection);
        QMetaObject::invokeMethod(
            typer,
            [typer] {
                if (typer->hotkeyAction()) {
                    typer->hotkeyAction()();
                    return;
                }
                const QString text = typer->lastText();
                if (!text.isEmpty())
                    typer->autoType(text);
            },
            Qt::QueuedConnection);
    }
    return true;
}
