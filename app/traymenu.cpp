#include "app/traymenu.h"

#include "desktop/autostart.h"

#include <QAction>
#include <QSignalBlocker>

TrayMenu::TrayMenu(bool captureAvailable, bool captureOn, QWidget *parent) : QMenu(parent)
{
    setToolTipsVisible(true);
    addAction("Goster", this, &TrayMenu::showRequested);
    addAction("Son kodu otomatik yaz (Ctrl+Shift+V)", this, &TrayMenu::typeLastCodeRequested);
    m_capture = addAction("Ekran yakalama korumasi");
    m_capture->setCheckable(true);
    if (captureAvailable) {
        m_capture->setChecked(captureOn);
        m_capture->setToolTip("Acikken RAT/ekran goruntusu pencereyi siyah gorur. Sen de goruntu alamazsin.");
    } else {
        // A ticked entry that protects nothing would promise what is not there.
        m_capture->setText("Ekran yakalama korumasi (bu sistemde yok)");
        m_capture->setChecked(false);
        m_capture->setEnabled(false);
        m_capture->setToolTip("Bu sistem pencereyi ekran goruntusunden gizleyemez; koruma sadece Windows'ta "
                              "calisir.");
    }
    connect(m_capture, &QAction::toggled, this, &TrayMenu::captureProtectionToggled);
    m_autostart = addAction("Oturum acilinca baslat");
    m_autostart->setCheckable(true);
    m_autostart->setChecked(Autostart::forCurrentUser().isEnabled());
    m_autostart->setToolTip("Oturum acildiginda MIRELO+ pencere gostermeden tepside baslar.");
    connect(m_autostart, &QAction::toggled, this, &TrayMenu::setAutostartOn);
    addSeparator();
    addAction("Cikis", this, &TrayMenu::quitRequested);
}

void TrayMenu::setAutostartOn(bool on)
{
    QString error;
    if (!Autostart::forCurrentUser().setEnabled(on, &error)) {
        const QSignalBlocker block(m_autostart);
        m_autostart->setChecked(!on);
        emit status(QStringLiteral("Baslangic ayari kaydedilemedi: ") + error);
        return;
    }
    emit status(on ? QStringLiteral("MIRELO+ oturum acilinca tepside baslayacak.")
                   : QStringLiteral("MIRELO+ oturum acilinca baslamayacak."));
}
