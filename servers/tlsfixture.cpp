#include "servers/tlsfixture.h"

#ifdef Q_OS_WIN
#include <windows.h>
#include <wincrypt.h>
#endif

#include <QFile>
#include <QProcess>
#include <QSslConfiguration>

namespace {
QString runOpenssl(const QStringList &args, const QString &workDir)
{
    QProcess p;
    p.setWorkingDirectory(workDir);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral("openssl"), args);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return QStringLiteral("openssl %1 failed: %2").arg(args.value(0), QString::fromLocal8Bit(p.readAll()));
    return QString();
}
} // namespace

TlsFixture::TlsFixture()
{
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("no temporary folder");
        return;
    }
    const QString dir = m_dir.path();
    // A Windows test under Wine cannot run the host's openssl (a Unix child
    // of a Wine process has no handle to wait on): the run hands it a set
    // made beforehand.
    const QString made = qEnvironmentVariable("MIRELO_TLS_FIXTURE_DIR");
    if (!made.isEmpty()) {
        for (const QString &name : {QStringLiteral("ca.crt"), QStringLiteral("server.crt"), QStringLiteral("server.key")}) {
            if (!QFile::copy(made + QLatin1Char('/') + name, m_dir.filePath(name))) {
                m_error = QStringLiteral("cannot copy %1 from %2").arg(name, made);
                return;
            }
        }
        if (caCertificate().isNull() || serverCertificate().isNull() || serverKey().isNull())
            m_error = QStringLiteral("certificate or key from %1 does not load").arg(made);
        return;
    }
    QFile ext(m_dir.filePath(QStringLiteral("server.ext")));
    if (!ext.open(QIODevice::WriteOnly)) {
        m_error = QStringLiteral("cannot write server.ext");
        return;
    }
    ext.write("basicConstraints=CA:FALSE\n"
              "subjectAltName=DNS:localhost,IP:127.0.0.1\n"
              "extendedKeyUsage=serverAuth\n"
              "keyUsage=digitalSignature,keyEncipherment\n");
    ext.close();
    const QStringList ecKey = {QStringLiteral("-newkey"), QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
                               QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes")};
    const QList<QStringList> steps = {
        QStringList{QStringLiteral("req"), QStringLiteral("-x509")} + ecKey
            + QStringList{QStringLiteral("-keyout"), QStringLiteral("ca.key"), QStringLiteral("-out"),
                          QStringLiteral("ca.crt"), QStringLiteral("-days"), QStringLiteral("3"),
                          QStringLiteral("-subj"), QStringLiteral("/CN=MIRELO test CA"), QStringLiteral("-addext"),
                          QStringLiteral("basicConstraints=critical,CA:TRUE"), QStringLiteral("-addext"),
                          QStringLiteral("keyUsage=critical,keyCertSign,cRLSign")},
        QStringList{QStringLiteral("req")} + ecKey
            + QStringList{QStringLiteral("-keyout"), QStringLiteral("server.key"), QStringLiteral("-out"),
                          QStringLiteral("server.csr"), QStringLiteral("-subj"), QStringLiteral("/CN=localhost")},
        QStringList{QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"), QStringLiteral("server.csr"),
                    QStringLiteral("-CA"), QStringLiteral("ca.crt"), QStringLiteral("-CAkey"), QStringLiteral("ca.key"),
                    QStringLiteral("-CAcreateserial"), QStringLiteral("-out"), QStringLiteral("server.crt"),
                    QStringLiteral("-days"), QStringLiteral("3"), QStringLiteral("-extfile"),
                    QStringLiteral("server.ext")},
    };
    for (const QStringList &step : steps) {
        m_error = runOpenssl(step, dir);
        if (!m_error.isEmpty())
            return;
    }
    // Servers that drop privileges (Dovecot reads keys as root, but keep it
    // simple for any server) need to read the files.
    for (const QString &name : {QStringLiteral("ca.crt"), QStringLiteral("server.crt"), QStringLiteral("server.key")})
        QFile::setPermissions(m_dir.filePath(name), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                      | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    if (caCertificate().isNull() || serverCertificate().isNull() || serverKey().isNull())
        m_error = QStringLiteral("generated certificate or key does not load");
}

QSslCertificate TlsFixture::caCertificate() const
{
    return QSslCertificate::fromPath(caFile()).value(0);
}

QSslCertificate TlsFixture::serverCertificate() const
{
    return QSslCertificate::fromPath(certFile()).value(0);
}

QSslKey TlsFixture::serverKey() const
{
    QFile f(keyFile());
    if (!f.open(QIODevice::ReadOnly))
        return QSslKey();
    return QSslKey(f.readAll(), QSsl::Ec, QSsl::Pem);
}

void TlsFixture::trustInProcess() const
{
    QSslConfiguration cfg = QSslConfiguration::defaultConfiguration();
    cfg.addCaCertificate(caCertificate());
    QSslConfiguration::setDefaultConfiguration(cfg);
#ifdef Q_OS_WIN
    // Wine's Schannel builds no chain to a CA that is only in Qt's
    // configuration ("issuer certificate could not be found"); the user's
    // root store it does use. The Wine prefix is the test run's own. (On
    // Windows itself this store asks the user first.)
    const QByteArray der = caCertificate().toDer();
    if (HCERTSTORE store = CertOpenSystemStoreW(0, L"ROOT")) {
        CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, reinterpret_cast<const BYTE *>(der.constData()),
                                         DWORD(der.size()), CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
        CertCloseStore(store, 0);
    }
#endif
}
