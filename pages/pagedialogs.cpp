#include "pages/pagedialogs.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

namespace {

// The texts carry server answers and names from outside: shown as text,
// where the static QMessageBox helpers would guess at rich text.
QMessageBox::StandardButton showBox(QWidget *parent, QMessageBox::Icon icon, const QString &title,
                                    const QString &text, QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, title, text, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    // Qt names its buttons in English unless a translation is loaded.
    for (QAbstractButton *button : box.buttons()) {
        const QString turkish = messageButtonText(box.standardButton(button));
        if (!turkish.isEmpty())
            button->setText(turkish);
    }
    return QMessageBox::StandardButton(box.exec());
}

} // namespace

QString messageButtonText(QMessageBox::StandardButton button)
{
    switch (button) {
    case QMessageBox::Yes:
        return QStringLiteral("Evet");
    case QMessageBox::No:
        return QStringLiteral("Hayir");
    case QMessageBox::Ok:
        return QStringLiteral("Tamam");
    case QMessageBox::Cancel:
        return QStringLiteral("Iptal");
    case QMessageBox::Close:
        return QStringLiteral("Kapat");
    default:
        return QString();
    }
}

void PageDialogs::warn(QWidget *parent, const QString &text)
{
    showBox(parent, QMessageBox::Warning, QStringLiteral("MIRELO+"), text, QMessageBox::Ok);
}

void PageDialogs::inform(QWidget *parent, const QString &title, const QString &text)
{
    showBox(parent, QMessageBox::Information, title, text, QMessageBox::Ok);
}

bool PageDialogs::ask(QWidget *parent, const QString &text)
{
    return showBox(parent, QMessageBox::Question, QStringLiteral("MIRELO+"), text,
                   QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes;
}

QString PageDialogs::openFileName(QWidget *parent, const QString &title, const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, title, QString(), filter);
}

QString PageDialogs::saveFileName(QWidget *parent, const QString &title, const QString &suggested,
                                  const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, title, suggested, filter);
}

std::optional<QString> PageDialogs::askText(QWidget *parent, const QString &label, TextKind kind)
{
    bool ok = false;
    const QString title = QStringLiteral("MIRELO+");
    const QString text = kind == TextKind::Block
                             ? QInputDialog::getMultiLineText(parent, title, label, QString(), &ok)
                             : QInputDialog::getText(parent, title, label,
                                                     kind == TextKind::Password ? QLineEdit::Password : QLineEdit::Normal,
                                                     QString(), &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

PageDialogs *PageDialogs::standard()
{
    static PageDialogs dialogs;
    return &dialogs;
}
