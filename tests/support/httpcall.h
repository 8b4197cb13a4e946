#pragma once

#include <QByteArray>
#include <QString>

class QNetworkAccessManager;

// What one HTTP request came back with.
struct HttpAnswer
{
    int status = 0;      // HTTP status, 0 when no answer came
    QByteArray body;
    bool ok = false;     // no network or HTTP error
};

// Sends one request with a JSON body and waits for its answer (10 s at most).
// The URL is taken as encoded, so "%2F" stays an escaped slash. Pass a
// manager to keep its connections between calls.
HttpAnswer httpCall(QNetworkAccessManager &nam, const QString &url, const QByteArray &method = "GET",
                    const QByteArray &body = QByteArray());
HttpAnswer httpCall(const QString &url, const QByteArray &method = "GET", const QByteArray &body = QByteArray());
