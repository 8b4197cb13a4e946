#pragma once

#include <QSslCertificate>
#include <QSslKey>
#include <QString>
#include <QTemporaryDir>

// A throw-away certificate authority and a server certificate for localhost
// (names "localhost" and 127.0.0.1), made with the openssl command in a
// temporary folder that lives as long as the object.
//
//   TlsFixture tls;                 // check tls.isValid() / tls.error()
//   tls.trustInProcess();           // sockets created from now on trust the CA
//   server.start(tls.certFile(), tls.keyFile());
class TlsFixture
{
public:
    TlsFixture();
    TlsFixture(const TlsFixture &) = delete;
    TlsFixture &operator=(const TlsFixture &) = delete;

    bool isValid() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }

    // PEM files: the CA certificate, the server certificate and its key.
    QString caFile() const { return m_dir.filePath(QStringLiteral("ca.crt")); }
    QString certFile() const { return m_dir.filePath(QStringLiteral("server.crt")); }
    QString keyFile() const { return m_dir.filePath(QStringLiteral("server.key")); }

    QSslCertificate caCertificate() const;
    QSslCertificate serverCertificate() const;
    QSslKey serverKey() const;

    // Adds the CA to the process-wide default TLS configuration, so that
    // every socket created afterwards (on any thread) verifies against it;
    // on Windows also to the user's root store.
    void trustInProcess() const;

private:
    QTemporaryDir m_dir;
    QString m_error;
};
