#pragma once

#include <QByteArray>
#include <QJsonDocument>
#include <QString>

#include <functional>

class QNetworkAccessManager;
class QObject;

// Calls of the cloud realtime database's REST interface: every request goes
// to base URL + path + ".json" with no query, token or extra header. The
// completion runs on the caller's thread when the reply finishes, and only
// while `context` is alive.

struct RestResult
{
    bool networkOk = false;   // no network or HTTP error
    int httpStatus = 0;       // 0 when no HTTP answer arrived
    QString errorText;        // when !networkOk: the Turkish reason, Qt's text in parentheses
    QByteArray body;          // the whole body, also on HTTP errors
};

// A reply that neither finishes nor fails is aborted after this long, so a
// caller is never left waiting for ever.
inline constexpr int kRestTimeoutMs = 20000;

QString restUrl(const QString &baseUrl, const QString &path);

// The raw request that the three calls below are made of. `method` is
// "GET", "PUT" or "DELETE"; a non-null `json` is sent compact with
// Content-Type "application/json".
void restRequest(QNetworkAccessManager *nam, QObject *context, const QString &baseUrl,
                 const QString &path, const QByteArray &method, const QByteArray &json,
                 std::function<void(const RestResult &)> done);

// ok = no network error and the trimmed body is not exactly "null".
void restGet(QNetworkAccessManager *nam, QObject *context, const QString &baseUrl,
             const QString &path, std::function<void(bool ok, const QByteArray &body)> done);
// ok = no network error.
void restPut(QNetworkAccessManager *nam, QObject *context, const QString &baseUrl,
             const QString &path, const QJsonDocument &json,
             std::function<void(bool ok, const QByteArray &body)> done);
// ok = no network error.
void restDelete(QNetworkAccessManager *nam, QObject *context, const QString &baseUrl,
                const QString &path, std::function<void(bool ok)> done);
