#include "support/httpcall.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

HttpAnswer httpCall(QNetworkAccessManager &nam, const QString &url, const QByteArray &method, const QByteArray &body)
{
    QNetworkRequest request{QUrl::fromEncoded(url.toUtf8())};
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    request.setTransferTimeout(10000);
    QNetworkReply *reply = nam.sendCustomRequest(request, method, body);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec();
    HttpAnswer answer;
    answer.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    answer.body = reply->readAll();
    answer.ok = reply->error() == QNetworkReply::NoError;
    delete reply;
    return answer;
}

HttpAnswer httpCall(const QString &url, const QByteArray &method, const QByteArray &body)
{
    QNetworkAccessManager nam;
    return httpCall(nam, url, method, body);
}
