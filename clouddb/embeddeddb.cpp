#include "clouddb/embeddeddb.h"

#include "clouddb/clouddbserver.h"
#include "core/settings.h"
#include "core/settingsfile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <cstdio>

QString startCloudDatabase(QObject *owner, const Clock &clock)
{
    const QString url = Settings::cloudUrl();
    if (!url.isEmpty())
        return url;

    const QString dir = dataFolder();
    QDir().mkpath(dir);
    const QString dataFile = dir + QStringLiteral("/clouddb.json");
    const QString urlFile = dir + QStringLiteral("/clouddb.url");
    // The port is chosen once and kept, so a peer's URL survives a restart;
    // another is taken only when something else holds it now.
    const quint16 keptPort = Settings::cloudLocalPort();
    QString error;
    auto startOn = [&](CloudDbServer *&s) {
        if (keptPort == 0)
            return s->start(QHostAddress::LocalHost, 0, &error);
        if (s->start(QHostAddress::LocalHost, keptPort, &error))
            return true;
        if (s->dataFileInUse())
            return false;
        // A fresh server for the retry: the failed one may hold the file.
        delete s;
        s = new CloudDbServer(dataFile, owner);
        return s->start(QHostAddress::LocalHost, 0, &error);
    };
    auto *server = new CloudDbServer(dataFile, owner);
    bool started = startOn(server);
    if (!started && server->dataFileInUse()) {
        // Another running copy of the program serves this data: share its
        // server rather than overwrite its file.
        delete server;
        QFile file(urlFile);
        if (file.open(QIODevice::ReadOnly))
            return QString::fromUtf8(file.readAll()).trimmed();
        std::fprintf(stderr, "[MIRELO+] yerel veritabani baslamadi: %s\n", qPrintable(error));
        return QString();
    }
    const QString logFile = CloudDbStore::logFileFor(dataFile);
    if (!started && (QFile::exists(dataFile) || QFile::exists(logFile))) {
        // A data file or log that no longer parses is kept aside, not
        // overwritten, and the user can still sign up again on a fresh
        // database.
        const QString suffix = QStringLiteral(".broken-")
                               + clock.now().toString(QStringLiteral("yyyyMMddHHmmss"));
        const QString aside = dataFile + suffix;
        const bool dataAside = !QFile::exists(dataFile) || QFile::rename(dataFile, aside);
        const bool logAside = !QFile::exists(logFile) || QFile::rename(logFile, logFile + suffix);
        if (dataAside && logAside) {
            std::fprintf(stderr, "[MIRELO+] veritabani dosyasi bozuk, kenara alindi: %s\n", qPrintable(aside));
            delete server;
            server = new CloudDbServer(dataFile, owner);
            started = startOn(server);
        }
    }
    if (!started) {
        std::fprintf(stderr, "[MIRELO+] yerel veritabani baslamadi: %s\n", qPrintable(error));
        delete server;
        return QString();
    }
    if (server->port() != keptPort)
        Settings::setCloudLocalPort(server->port());
    QSaveFile file(urlFile);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(server->baseUrl().toUtf8());
        file.commit();
    }
    return server->baseUrl();
}
