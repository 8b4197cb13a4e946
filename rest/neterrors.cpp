#include "rest/neterrors.h"

QString socketErrorText(QAbstractSocket::SocketError error, bool timedOut)
{
    switch (error) {
    case QAbstractSocket::HostNotFoundError:
        return QStringLiteral("sunucu bulunamadi (adi dogru mu?)");
    case QAbstractSocket::ConnectionRefusedError:
        return QStringLiteral("baglanti reddedildi (port dogru mu?)");
    case QAbstractSocket::RemoteHostClosedError:
        return QStringLiteral("sunucu baglantiyi kapatti");
    case QAbstractSocket::SocketTimeoutError:
        return QStringLiteral("zaman asimi: sunucu yanit vermedi");
    case QAbstractSocket::SslHandshakeFailedError:
        return QStringLiteral("guvenli baglanti kurulamadi: sunucu sertifikasi dogrulanamadi");
    case QAbstractSocket::SslInternalError:
    case QAbstractSocket::SslInvalidUserDataError:
        return QStringLiteral("guvenli baglanti kurulamadi");
    case QAbstractSocket::NetworkError:
    case QAbstractSocket::TemporaryError:
        return QStringLiteral("ag hatasi: internet baglantini kontrol et");
    case QAbstractSocket::SocketAccessError:
        return QStringLiteral("baglantiya izin verilmedi (guvenlik duvari?)");
    case QAbstractSocket::SocketResourceError:
        return QStringLiteral("sistem kaynagi yetmedi");
    case QAbstractSocket::AddressInUseError:
        return QStringLiteral("adres kullanimda");
    case QAbstractSocket::ProxyConnectionRefusedError:
    case QAbstractSocket::ProxyConnectionClosedError:
    case QAbstractSocket::ProxyConnectionTimeoutError:
    case QAbstractSocket::ProxyNotFoundError:
    case QAbstractSocket::ProxyProtocolError:
    case QAbstractSocket::ProxyAuthenticationRequiredError:
        return QStringLiteral("vekil sunucu (proxy) hatasi");
    default:
        break;
    }
    return timedOut ? QStringLiteral("zaman asimi: sunucu yanit vermedi") : QStringLiteral("baglanti hatasi");
}

QString sslErrorText(QSslError::SslError error)
{
    switch (error) {
    case QSslError::NoError:
        return QString();
    case QSslError::HostNameMismatch:
        return QStringLiteral("sertifika bu sunucunun adina degil");
    case QSslError::CertificateExpired:
        return QStringLiteral("sunucu sertifikasinin suresi dolmus");
    case QSslError::CertificateNotYetValid:
        return QStringLiteral("sunucu sertifikasi henuz gecerli degil");
    case QSslError::CertificateRevoked:
        return QStringLiteral("sunucu sertifikasi iptal edilmis");
    case QSslError::SelfSignedCertificate:
    case QSslError::SelfSignedCertificateInChain:
    case QSslError::UnableToGetLocalIssuerCertificate:
    case QSslError::UnableToGetIssuerCertificate:
    case QSslError::UnableToVerifyFirstCertificate:
    case QSslError::CertificateUntrusted:
        return QStringLiteral("sunucu sertifikasi guvenilir bir yayinciya dayanmiyor");
    default:
        return QStringLiteral("sunucu sertifikasi dogrulanamadi");
    }
}

QString tlsSocketErrorText(QAbstractSocket::SocketError error, const QList<QSslError> &handshakeErrors,
                           bool timedOut)
{
    if (error == QAbstractSocket::SslHandshakeFailedError) {
        for (const QSslError &e : handshakeErrors) {
            if (e.error() != QSslError::NoError)
                return QStringLiteral("guvenli baglanti kurulamadi: ") + sslErrorText(e.error());
        }
    }
    return socketErrorText(error, timedOut);
}

QString networkErrorText(QNetworkReply::NetworkError error)
{
    switch (error) {
    case QNetworkReply::NoError:
        return QString();
    case QNetworkReply::ConnectionRefusedError:
        return socketErrorText(QAbstractSocket::ConnectionRefusedError);
    case QNetworkReply::RemoteHostClosedError:
        return socketErrorText(QAbstractSocket::RemoteHostClosedError);
    case QNetworkReply::HostNotFoundError:
        return socketErrorText(QAbstractSocket::HostNotFoundError);
    case QNetworkReply::TimeoutError:
        return socketErrorText(QAbstractSocket::SocketTimeoutError);
    case QNetworkReply::OperationCanceledError:
        return QStringLiteral("istek yarida kesildi");
    case QNetworkReply::SslHandshakeFailedError:
        return socketErrorText(QAbstractSocket::SslHandshakeFailedError);
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::BackgroundRequestNotAllowedError:
        return socketErrorText(QAbstractSocket::NetworkError);
    case QNetworkReply::ProxyConnectionRefusedError:
    case QNetworkReply::ProxyConnectionClosedError:
    case QNetworkReply::ProxyNotFoundError:
    case QNetworkReply::ProxyTimeoutError:
    case QNetworkReply::ProxyAuthenticationRequiredError:
    case QNetworkReply::UnknownProxyError:
        return socketErrorText(QAbstractSocket::ProxyProtocolError);
    case QNetworkReply::ContentAccessDenied:
    case QNetworkReply::AuthenticationRequiredError:
        return QStringLiteral("sunucu erisimi reddetti");
    case QNetworkReply::ContentNotFoundError:
        return QStringLiteral("sunucuda adres bulunamadi");
    case QNetworkReply::InternalServerError:
    case QNetworkReply::ServiceUnavailableError:
    case QNetworkReply::UnknownServerError:
        return QStringLiteral("sunucu hatasi");
    default:
        return QStringLiteral("baglanti hatasi");
    }
}

QString withQtDetail(const QString &text, const QString &qtDetail)
{
    const QString detail = qtDetail.trimmed();
    if (detail.isEmpty() || detail == text)
        return text;
    return text + QStringLiteral(" (") + detail + QLatin1Char(')');
}
