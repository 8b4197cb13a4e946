#pragma once

#include "rest/rest.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QTimer>

// Reads a node of the realtime database straight over REST, as anyone with
// access to the database could. Empty when absent or unreachable.
inline QByteArray peekDatabase(const QString &baseUrl, const QString &path, int timeoutMs = 5000)
{
    QNetworkAccessManager nam;
    QEventLoop loop;
    QByteArray result;
    QObject context;
    restGet(&nam, &context, baseUrl, path, [&](bool ok, const QByteArray &body) {
        if (ok)
            result = body;
        loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return result;
}
