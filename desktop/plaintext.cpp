#include "desktop/plaintext.h"

#include <QTextDocument>

QString plainToolTip(const QString &text)
{
    // Tips that cannot be mistaken for HTML stay as they are (and read back
    // the same).
    if (!Qt::mightBeRichText(text))
        return text;
    return Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal);
}

QString plainMenuText(const QString &text)
{
    QString out = text;
    return out.replace(QLatin1Char('&'), QLatin1String("&&"));
}
