#include "theme/theme.h"

#include "core/settings.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

static void initResourcesOnce()
{
    Q_INIT_RESOURCE(mirelo);
}

void initMireloResources()
{
    static bool done = false;
    if (!done) {
        initResourcesOnce();
        done = true;
    }
}

bool isLightTheme()
{
    return Settings::lightTheme();
}

void setLightTheme(bool light)
{
    Settings::setLightTheme(light);
}

QString iconPath(const QString &name)
{
    return isLightTheme() ? QStringLiteral(":/icons/") + name + QStringLiteral("_dark.svg")
                          : QStringLiteral(":/icons/") + name + QStringLiteral(".svg");
}

QIcon themeIcon(const QString &name)
{
    initMireloResources();
    return QIcon(iconPath(name));
}

QString primaryPlusIconPath()
{
    return isLightTheme() ? QStringLiteral(":/icons/plus_light.svg") : QStringLiteral(":/icons/plus.svg");
}

QString themeStyleSheet()
{
    initMireloResources();
    QFile f(isLightTheme() ? QStringLiteral(":/light.qss") : QStringLiteral(":/style.qss"));
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.readAll());
}

QStringList logoCandidates()
{
    const QString appDir = QCoreApplication::applicationDirPath();
    return {appDir + "/resources/logo.png", appDir + "/logo.png", QStringLiteral("resources/logo.png"),
            QStringLiteral(":/logo.png"), QStringLiteral(":/icons/logo.png")};
}

static QString svgLogoPath()
{
    return isLightTheme() ? QStringLiteral(":/icons/logo_dark.svg") : QStringLiteral(":/icons/logo.svg");
}

QIcon logoIcon()
{
    initMireloResources();
    for (const QString &path : logoCandidates()) {
        if (!QFileInfo::exists(path))
            continue;
        QIcon icon(path);
        if (!icon.isNull() && !icon.availableSizes().isEmpty())
            return icon;
    }
    return QIcon(svgLogoPath());
}

QPixmap titleLogoPixmap(int size)
{
    initMireloResources();
    const QStringList candidates = logoCandidates().mid(0, 4);
    for (const QString &path : candidates) {
        QImage img(path);
        if (!img.isNull())
            return QPixmap::fromImage(img.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    }
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QSvgRenderer svg(svgLogoPath());
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    svg.render(&p);
    p.end();
    return QPixmap::fromImage(img);
}
