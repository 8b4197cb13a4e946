#pragma once

#include <QAbstractSocket>
#include <QNetworkReply>
#include <QSslError>
#include <QString>

// Turkish texts for Qt's socket, TLS and HTTP failures, so that no English
// "Connection refused" ends up inside a Turkish message. Pure functions.

// By socket error kind; a wait that ran out counts as a timeout when Qt knows
// no better reason.
QString socketErrorText(QAbstractSocket::SocketError error, bool timedOut = false);

// By certificate fault, for a refused TLS handshake.
QString sslErrorText(QSslError::SslError error);

// A socket's failure: a refused handshake names its first certificate fault,
// anything else goes by socketErrorText.
QString tlsSocketErrorText(QAbstractSocket::SocketError error, const QList<QSslError> &handshakeErrors,
                           bool timedOut = false);

// By the kind of a failed HTTP request.
QString networkErrorText(QNetworkReply::NetworkError error);

// "text (detail)": Qt's own words after the Turkish reason, for the step
// logs; the text alone when there is no detail.
QString withQtDetail(const QString &text, const QString &qtDetail);
