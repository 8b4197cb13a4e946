// mirelo-clouddb: the local realtime database as a stand-alone server, for
// self-hosting, for a phone on the local network and for the tests.
#include "clouddb/clouddbserver.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QHostAddress>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("mirelo-clouddb"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "MIRELO+ realtime database server (REST: GET, PUT, DELETE on PATH.json)."));
    parser.addHelpOption();
    const QCommandLineOption portOpt(QStringLiteral("port"),
                                     QStringLiteral("TCP port to listen on, 0 picks a free one (default 8765)."),
                                     QStringLiteral("N"), QStringLiteral("8765"));
    const QCommandLineOption bindOpt(QStringLiteral("bind"), QStringLiteral("Address to listen on (default 127.0.0.1; 0.0.0.0 for the local network)."),
                                     QStringLiteral("ADDRESS"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption dataOpt(QStringLiteral("data"),
                                     QStringLiteral("JSON data file, created when missing, with its write log FILE.log beside it "
                                                    "(default mirelo-clouddb.json)."),
                                     QStringLiteral("FILE"), QStringLiteral("mirelo-clouddb.json"));
    parser.addOptions({portOpt, bindOpt, dataOpt});
    parser.process(app);

    bool portOk = false;
    const uint port = parser.value(portOpt).toUInt(&portOk);
    if (!portOk || port > 65535) {
        std::fprintf(stderr, "mirelo-clouddb: invalid port: %s\n", qPrintable(parser.value(portOpt)));
        return 2;
    }
    QHostAddress address;
    if (!address.setAddress(parser.value(bindOpt))) {
        std::fprintf(stderr, "mirelo-clouddb: invalid address: %s\n", qPrintable(parser.value(bindOpt)));
        return 2;
    }

    CloudDbServer server(parser.value(dataOpt));
    QString error;
    if (!server.start(address, quint16(port), &error)) {
        std::fprintf(stderr, "mirelo-clouddb: %s\n", qPrintable(error));
        return 1;
    }
    // Scripts and the test fixture read the chosen port from this line.
    std::printf("listening on %s\n", qPrintable(server.baseUrl()));
    std::fflush(stdout);

    // Every accepted write is on disk before its answer, so the default
    // action of SIGTERM or Ctrl+C loses nothing.
    return app.exec();
}
