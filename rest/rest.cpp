#include "rest/rest.h"

#include "rest/neterrors.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QUrl>

QString restUrl(const QString &baseUrl, const QString &path)
{
    QString base = baseUrl;
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    return base + path + QStringLiteral(".json");
}

void restRequest(QNetworkAccessManager *nam, QObject *context, const QString &baseUrl,
                 const QString &path, const QByteArray &method, const QByteArray &json,
                 std::function<void(const RestResult &)> done)
{
    QNetworkRequest request{QUrl(restUrl(baseUrl, path))};
    request.setTransferTimeout(kRestTimeoutMs);
    QNetworkReply *reply = nullptr;
    if (method == "PUT") {
        request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
        reply = nam->put(request, json);
    } else if (method == "GET") {
        reply = nam->get(request);
    } else {
        reply = nam->sendCustomRequest(request, method);
    }
    QObject::connect(reply, &QNetworkReply::finished, context ? context : nam,
                     [reply, done = std::move(done)]() {
                         reply->deleteLater();
                         RestResult result;
                         result.body = reply->readAll();
                         result.networkOk = reply->error() == QNetworkReply::NoError;
                         result.httpStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
                         if (!result.networkOk)
                             result.errorText = withQtDetail(networkErrorText(reply->error()),
                                                             reply->errorString());
                         if (done)
                             done(result);
                     });
    // A reply whose context dies never calls back: the context is already
    // half destroyed when `destroyed` fires, so the completion is cut off
    // before the abort (which would emit `finished`) and the reply released.
    if (context)
        QObject::connect(context, &QObject::destroyed, reply, [reply]() {
            QObject::disconnect(reply, &QNetworkReply::finished, nullptr, nullptr);
            reply->abort();
            reply->deleteLater();
        });
}

void restGet(QNetworkAccessManager *nam, QObject *context, const QString &baseUrl,
             const QString &path, std::function<void(bool, const QByteArray &)> done)
{
    restRequest(nam, context, baseUrl, path, "GET", {}, [done = std::move(done)](const RestResult &r) {
        const bool ok = r.networkOk && r.body.trimmed() != "null";
        if (done)
            done(ok, r.body);
    });
}

void restPut(QNetworkAccessManager *nam, QObject *context, const QString &baseUrl,
             const QString &path, const QJsonDocument &json,
             std::function<void(bool, const QByteArray &)> done)
{
    restRequest(nam, context, baseUrl, path, "PUT", json.toJson(QJsonDocument::Compact),
                [done = std::move(done)](const RestResult &r) {
                    if (done)
                        done(r.networkOk, r.body);
                });
}

void restDelete(QNetworkAccessManager *nam, QObject *context, const QString &baseUrl,
                const QString &path, std::function<void(bool)> done)
{
    restRequest(nam, context, baseUrl, path, "DELETE", {}, [done = std::move(done)](const RestResult &r) {
        if (done)
            done(r.networkOk);
    });
}
