#include "pages/pagedialogs.h"

#include <QMessageBox>

void PageDialogs::warn(QWidget *parent, const QString &text)
{
    QMessageBox::warning(parent, QStringLiteral("MIRELO+"), text);
}

void PageDialogs::inform(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox::information(parent, title, text);
}

bool PageDialogs::ask(QWidget *parent, const QString &text)
{
    return QMessageBox::question(parent, QStringLiteral("MIRELO+"), text,
                                 QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes;
}

PageDialogs *PageDialogs::standard()
{
    static PageDialogs dialogs;
    return &dialogs;
}
