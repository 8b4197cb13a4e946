// mirelo-inspect: shows what the program would make of raw mails, one JSON
// object per mail and line, for users and support.

#include "core/settingsfile.h"
#include "tools/corpuseval.h"
#include "tools/inspectmail.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

// A mail of this size is already far past anything the poll would read.
const qint64 kMaxFileBytes = 16 * 1024 * 1024;

void writeOut(const QByteArray &line)
{
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void complain(const QString &text)
{
    const QByteArray line = ("mirelo-inspect: " + text).toUtf8();
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    std::fputc('\n', stderr);
}

bool inspectFile(const QString &path)
{
    QFile file(path);
    if (QFileInfo(path).isDir()) {
        complain(QStringLiteral("Dosya okunamadi: %1: bir klasor").arg(path));
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        complain(QStringLiteral("Dosya okunamadi: %1: %2").arg(path, file.errorString()));
        return false;
    }
    const QByteArray raw = file.read(kMaxFileBytes);
    if (file.error() != QFileDevice::NoError) {
        complain(QStringLiteral("Dosya okunamadi: %1: %2").arg(path, file.errorString()));
        return false;
    }
    const RawMailParts parts = parseRawMail(raw);
    if (!parts.error.isEmpty()) {
        complain(QStringLiteral("%1: %2").arg(parts.error, path));
        return false;
    }
    writeOut(inspectionLine(path, parts.from, parts.subject, parts.text, parts.part, parts.sent,
                            minConfidenceSetting(), parts.emphasis));
    return true;
}

// Scores the recogniser and the gate on a corpus; exit 1 when a target is missed.
int evaluateManifest(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        complain(QStringLiteral("Dosya okunamadi: %1: %2").arg(path, file.errorString()));
        return 2;
    }
    QList<ManifestEntry> entries;
    QString error;
    if (!parseManifest(file.readAll(), &entries, &error)) {
        complain(error);
        return 2;
    }
    const int threshold = minConfidenceSetting();
    const CorpusScore score = scoreCorpus(entries, QFileInfo(path).absolutePath(), threshold);
    for (const QString &note : score.notes)
        writeOut(note.toUtf8());
    writeOut(score.summary(threshold).toUtf8());
    return score.targetsMet() ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (!followSettingsStoreOverride()) {
        std::fprintf(stderr, "mirelo-inspect: Ayarlar yeri kurulamadi: MIRELO_SETTINGS_HKCU kullanilamiyor.\n");
        return 2;
    }
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("mirelo-inspect"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Ham mailleri (.eml) inceler ve her mail icin bir satir JSON yazar: gonderen, konu, kod, kategori, marka."));
    parser.addHelpOption();
    const QCommandLineOption subjectOption(QStringLiteral("subject"), QStringLiteral("Konu metni."),
                                           QStringLiteral("S"));
    const QCommandLineOption textOption(QStringLiteral("text"), QStringLiteral("Mail metni."), QStringLiteral("T"));
    const QCommandLineOption manifestOption(
        QStringLiteral("manifest"),
        QStringLiteral("Bir derlemi degerlendirir: her satir \"dosya.eml<TAB>beklenen kod\" (bos: kodsuz mail)."),
        QStringLiteral("M"));
    parser.addOption(subjectOption);
    parser.addOption(textOption);
    parser.addOption(manifestOption);
    parser.addPositionalArgument(QStringLiteral("dosya"), QStringLiteral("Bir veya daha fazla .eml dosyasi."),
                                 QStringLiteral("[dosya...]"));
    if (!parser.parse(app.arguments())) {
        complain(QStringLiteral("Gecersiz arguman: ") + parser.errorText());
        return 2;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        writeOut(parser.helpText().toUtf8());
        return 0;
    }

    const QStringList files = parser.positionalArguments();
    if (parser.isSet(manifestOption)) {
        if (!files.isEmpty() || parser.isSet(subjectOption) || parser.isSet(textOption)) {
            complain(QStringLiteral("Gecersiz arguman: --manifest tek basina verilir"));
            return 2;
        }
        return evaluateManifest(parser.value(manifestOption));
    }
    const bool pair = parser.isSet(subjectOption) || parser.isSet(textOption);
    if (pair && !files.isEmpty()) {
        complain(QStringLiteral("Gecersiz arguman: --subject/--text ile dosya birlikte verilemez"));
        return 2;
    }
    if (pair) {
        writeOut(inspectionLine(QString(), QString(), parser.value(subjectOption), parser.value(textOption),
                                QString(), QDateTime(), minConfidenceSetting()));
        return 0;
    }
    if (files.isEmpty()) {
        complain(QStringLiteral("Gecersiz arguman: dosya ya da --subject/--text gerekli"));
        return 2;
    }

    bool allOk = true;
    for (const QString &path : files)
        allOk = inspectFile(path) && allOk;
    return allOk ? 0 : 1;
}
