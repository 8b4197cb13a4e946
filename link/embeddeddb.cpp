#include "link/embeddeddb.h"

#include "link/clouddbserver.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>

#include <cstdio>

QString cloudDatabaseUrl(QObject *owner)
{
    QString url = QSettings(QStringLiteral("MIRELOPLUS"), QStringLiteral("MireloPlus"))
                      .value(QStringLiteral("cloud/url"))
                      .toString()
                      .trimmed();
    while (url.endsWith(QLatin1Char('/')))
        url.chop(1);
    if (!url.isEmpty())
        return url;

    const QString dir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(dir);
    const QString dataFile = dir + QStringLiteral("/clouddb.json");
    auto *server = new CloudDbServer(dataFile, owner);
    QString error;
    if (!server->start(QHostAddress::LocalHost, 0, &error)) {
        // A data file that no longer parses is kept aside, not overwritten,
        // and the user can still sign up again on a fresh database.
        const QString aside = dataFile + QStringLiteral(".broken-")
                              + QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddHHmmss"));
        if (QFile::exists(dataFile) && QFile::rename(dataFile, aside)) {
            std::fprintf(stderr, "[MIRELO+] veritabani dosyasi bozuk, kenara alindi: %s\n", qPrintable(aside));
            delete server;
            server = new CloudDbServer(dataFile, owner);
            if (server->start(QHostAddress::LocalHost, 0, &error))
                return server->baseUrl();
        }
        std::fprintf(stderr, "[MIRELO+] yerel veritabani baslamadi: %s\n", qPrintable(error));
        delete server;
        return QString();
    }
    return server->baseUrl();
}
