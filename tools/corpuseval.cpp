#include "tools/corpuseval.h"

#include "tools/inspectmail.h"

#include <QDir>
#include <QFile>

namespace {

// Targets on the development corpus.
constexpr double kPositivesRightMin = 0.98;
constexpr double kFalseCodesMax = 0.03;
// Every code mail of the corpus is rated at least this sure, so that the
// gate's default threshold keeps a margin above the mails without one.
constexpr int kSureConfidence = 85;
constexpr qint64 kMaxMailBytes = 16 * 1024 * 1024;

QString percent(int n, int of)
{
    return of == 0 ? QStringLiteral("-") : QString::number(100.0 * n / of, 'f', 1) + QStringLiteral(" %");
}

} // namespace

bool parseManifest(const QByteArray &data, QList<ManifestEntry> *entries, QString *error)
{
    int number = 0;
    for (QByteArray raw : data.split('\n')) {
        ++number;
        if (raw.endsWith('\r'))
            raw.chop(1);
        const QString line = QString::fromUtf8(raw);
        if (line.trimmed().isEmpty() || line.trimmed().startsWith(QLatin1Char('#')))
            continue;
        const QStringList cols = line.split(QLatin1Char('\t'));
        ManifestEntry e;
        e.file = cols.at(0).trimmed();
        e.expected = cols.size() > 1 ? cols.at(1).trimmed() : QString();
        e.line = number;
        if (e.file.isEmpty()) {
            *error = QStringLiteral("Manifest satiri %1: dosya adi yok").arg(number);
            return false;
        }
        entries->append(e);
    }
    return true;
}

CorpusScore scoreCorpus(const QList<ManifestEntry> &entries, const QString &baseDir, int minConfidence)
{
    CorpusScore s;
    const QDir dir(baseDir);
    for (const ManifestEntry &e : entries) {
        const bool positive = !e.expected.isEmpty();
        (positive ? s.positives : s.negatives) += 1;

        QFile file(dir.filePath(e.file));
        QByteArray raw;
        if (file.open(QIODevice::ReadOnly))
            raw = file.read(kMaxMailBytes);
        const RawMailParts parts = parseRawMail(raw);
        if (!parts.error.isEmpty()) {
            s.notes << QStringLiteral("okunamadi %1: %2").arg(e.file, file.error() != QFileDevice::NoError
                                                                           ? file.errorString()
                                                                           : parts.error);
            continue;
        }
        CodeMatch match;
        const MailItem mail = inspectedMail(parts.from, parts.subject, parts.text, parts.sent, &match, parts.emphasis);
        const CodeTrust trust = freshMailTrust(mail, minConfidence);
        const bool right = positive && mail.code == e.expected;
        if (right) {
            ++s.positivesRight;
            s.positivesTrusted += trust.trusted;
            if (mail.confidence < kSureConfidence) {
                ++s.positivesBelowSure;
                s.notes << QStringLiteral("emin degil %1: \"%2\" guven %3 < %4")
                               .arg(e.file, mail.code)
                               .arg(mail.confidence)
                               .arg(kSureConfidence);
            }
        } else if (!mail.code.isEmpty()) {
            s.falseCodes += !positive;
            s.falseThroughGate += trust.trusted;
        }
        if ((right && trust.trusted) || (!positive && mail.code.isEmpty()))
            continue;
        s.notes << QStringLiteral("%1 %2: beklenen \"%3\", bulunan \"%4\" (guven %5, %6; %7)")
                       .arg(right ? QStringLiteral("guvensiz") : QStringLiteral("yanlis"), e.file, e.expected,
                            mail.code)
                       .arg(mail.confidence)
                       .arg(match.tag.isEmpty() ? QStringLiteral("-") : match.tag, trust.reason);
    }
    return s;
}

bool CorpusScore::targetsMet() const
{
    const bool positivesOk = positives == 0 || positivesRight >= kPositivesRightMin * positives;
    const bool falseOk = negatives == 0 || falseCodes <= kFalseCodesMax * negatives;
    return positivesOk && falseOk && falseThroughGate == 0 && positivesBelowSure == 0 && positives + negatives > 0;
}

QString CorpusScore::summary(int minConfidence) const
{
    QStringList lines;
    lines << QStringLiteral("positives right: %1/%2 (%3); through the gate: %4/%2")
                 .arg(positivesRight)
                 .arg(positives)
                 .arg(percent(positivesRight, positives))
                 .arg(positivesTrusted);
    lines << QStringLiteral("false codes on negatives: %1/%2 (%3)")
                 .arg(falseCodes)
                 .arg(negatives)
                 .arg(percent(falseCodes, negatives));
    lines << QStringLiteral("false codes through the gate: %1").arg(falseThroughGate);
    lines << QStringLiteral("code mails rated under %1: %2").arg(kSureConfidence).arg(positivesBelowSure);
    lines << QStringLiteral("threshold %1; targets (>= 98 % right, <= 3 % false, none through the gate, "
                            "every code mail >= %2): %3")
                 .arg(minConfidence)
                 .arg(kSureConfidence)
                 .arg(targetsMet() ? QStringLiteral("met") : QStringLiteral("MISSED"));
    return lines.join(QLatin1Char('\n'));
}
