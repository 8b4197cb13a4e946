// mirelo-peer: plays the paired phone from a command line. It joins a
// pairing session shown by the desktop program and then prints every code
// pushed to it, one JSON object per line. The joining and the reading are
// LinkManager's own, so this is also the reference for phone developers.
#include "link/linkmanager.h"
#include "link/pairing.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

#include <cstdio>

namespace {

const char kUsage[] =
    "Kullanim:\n"
    "  mirelo-peer join BAGLANTI --name AD --state DOSYA --db URL\n"
    "  mirelo-peer join OTURUM KOD --name AD --state DOSYA --db URL\n"
    "  mirelo-peer watch --state DOSYA --db URL [--interval SANIYE]\n"
    "\n"
    "join   MIRELO+'in gosterdigi eslestirme oturumuna katilir (baglantisi\n"
    "       MIRELOPLUS://pair?s=OTURUM&c=KOD ya da oturum kimligi ve alti\n"
    "       haneli kod) ve cihaz kaydini DOSYA'da tutar.\n"
    "watch  DOSYA'daki her cihazin gelen kutusunu okur ve her kodu bir satirda\n"
    "       bir JSON nesnesi olarak yazar ({\"from\",\"subject\",\"code\",\"ts\"});\n"
    "       durdurulana kadar calisir. Veritabanina ulasilamazsa hemen ve\n"
    "       surdukce dakikada bir soyler.\n"
    "\n"
    "Secenekler:\n"
    "  --name AD            MIRELO+'ta gorunecek cihaz adi (en cok 64 karakter)\n"
    "  --state DOSYA        eslesmis cihazlari ve anahtarlarini tutan dosya\n"
    "  --db URL             gercek zamanli veritabaninin temel adresi\n"
    "  --interval SANIYE    iki okuma arasindaki sure (varsayilan 3)\n"
    "  -h, --help           bu metin\n";

void printErr(const QString &text)
{
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
    std::fflush(stderr);
}

int usageError(const QString &text)
{
    printErr(QStringLiteral("mirelo-peer: ") + text);
    std::fputs(kUsage, stderr);
    return 2;
}

LinkOptions optionsFor(const QString &db, const QString &state)
{
    LinkOptions options;
    options.databaseBaseUrl = db;
    options.devicesFile = state;
    return options;
}

int runJoin(QCoreApplication &app, const QStringList &args, const QString &name, const QString &db,
            const QString &state)
{
    QString sid, code;
    if (args.size() == 1) {
        if (!parsePairingUri(args.at(0), &sid, &code)) {
            printErr(QStringLiteral("Oturum gecersiz."));
            return 1;
        }
    } else if (args.size() == 2) {
        sid = args.at(0);
        code = args.at(1);
    } else {
        return usageError(QStringLiteral("join bir eslestirme baglantisi ya da oturum kimligi ve kod ister"));
    }
    if (name.trimmed().isEmpty())
        return usageError(QStringLiteral("--name gerekli"));

    LinkManager link(nullptr, optionsFor(db, state));
    QObject::connect(&link, &LinkManager::joinOk, &app, [&app, &link](const QString &joined) {
        const QList<PairedDevice> devices = link.devices();
        for (const PairedDevice &d : devices) {
            if (d.sid == joined)
                std::printf("Eslesme tamam: %s (%s)\n", qPrintable(joined), d.name.toUtf8().constData());
        }
        std::fflush(stdout);
        app.exit(0);
    });
    QObject::connect(&link, &LinkManager::joinFail, &app, [&app](const QString &message) {
        printErr(message);
        app.exit(1);
    });
    QObject::connect(&link, &LinkManager::linkLog, &app, [](const QString &message) { printErr(message); });
    // Started from the event loop: a refusal may be answered at once, and
    // exit() before exec() would be lost.
    QTimer::singleShot(0, &link, [&link, sid, code, name] { link.joinSession(sid, code, name.trimmed()); });
    return app.exec();
}

int runWatch(QCoreApplication &app, const QString &db, const QString &state, double intervalSecs)
{
    LinkManager link(nullptr, optionsFor(db, state));
    if (link.devices().isEmpty()) {
        printErr(QStringLiteral("Eslesmis cihaz yok: ") + state);
        return 1;
    }
    QObject::connect(&link, &LinkManager::codeReceived, &app, [](const LinkCode &code) {
        QJsonObject line;
        line.insert(QLatin1String("from"), code.from);
        line.insert(QLatin1String("subject"), code.subject);
        line.insert(QLatin1String("code"), code.code);
        line.insert(QLatin1String("ts"), code.ts);
        const QByteArray text = QJsonDocument(line).toJson(QJsonDocument::Compact);
        std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
    });
    QObject::connect(&link, &LinkManager::linkLog, &app, [](const QString &message) { printErr(message); });

    QTimer timer;
    timer.setInterval(int(intervalSecs * 1000));
    QObject::connect(&timer, &QTimer::timeout, &link, &LinkManager::pollInbox);
    timer.start();
    link.pollInbox();
    return app.exec();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("mirelo-peer"));

    QCommandLineParser parser;
    const QCommandLineOption helpOpt({QStringLiteral("h"), QStringLiteral("help")}, QString());
    const QCommandLineOption nameOpt(QStringLiteral("name"), QString(), QStringLiteral("NAME"));
    const QCommandLineOption stateOpt(QStringLiteral("state"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption dbOpt(QStringLiteral("db"), QString(), QStringLiteral("URL"));
    const QCommandLineOption intervalOpt(QStringLiteral("interval"), QString(), QStringLiteral("SECONDS"),
                                         QStringLiteral("3"));
    parser.addOptions({helpOpt, nameOpt, stateOpt, dbOpt, intervalOpt});
    if (!parser.parse(app.arguments()))
        return usageError(parser.unknownOptionNames().isEmpty()
                              ? QStringLiteral("secenek okunamadi (") + parser.errorText() + QLatin1Char(')')
                              : QStringLiteral("bilinmeyen secenek: ") + parser.unknownOptionNames().join(", "));
    if (parser.isSet(helpOpt)) {
        std::fputs(kUsage, stdout);
        return 0;
    }

    QStringList args = parser.positionalArguments();
    if (args.isEmpty())
        return usageError(QStringLiteral("bir komut gerekli (join ya da watch)"));
    const QString command = args.takeFirst();
    const QString state = parser.value(stateOpt);
    const QString db = parser.value(dbOpt);
    if (command != QLatin1String("join") && command != QLatin1String("watch"))
        return usageError(QStringLiteral("bilinmeyen komut: ") + command);
    if (state.isEmpty())
        return usageError(QStringLiteral("--state gerekli"));
    if (db.isEmpty())
        return usageError(QStringLiteral("--db gerekli"));

    if (command == QLatin1String("join"))
        return runJoin(app, args, parser.value(nameOpt), db, state);

    if (!args.isEmpty())
        return usageError(QStringLiteral("watch baska arguman almaz"));
    bool ok = false;
    const double interval = parser.value(intervalOpt).toDouble(&ok);
    if (!ok || interval < 0.05 || interval > 86400)
        return usageError(QStringLiteral("gecersiz aralik: ") + parser.value(intervalOpt));
    return runWatch(app, db, state, interval);
}
