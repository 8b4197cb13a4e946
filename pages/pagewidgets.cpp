#include "pages/pagewidgets.h"

#include <QLabel>
#include <QPushButton>

QLabel *classedLabel(const QString &text, const char *cls, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    // Names, addresses and server answers land in these labels: never markup.
    l->setTextFormat(Qt::PlainText);
    l->setProperty("class", QString::fromLatin1(cls));
    return l;
}

QPushButton *classedButton(const QString &text, const char *cls, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setProperty("class", QString::fromLatin1(cls));
    b->setCursor(Qt::PointingHandCursor);
    return b;
}
