#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One line of a corpus manifest: a mail file and the code it holds (empty:
// the mail has none).
struct ManifestEntry
{
    QString file;
    QString expected;
    int line = 0;
};

// Reads "file.eml<TAB>code[<TAB>notes]" lines; '#' lines and blank lines are
// skipped. False with `error` set on a line that names no file.
bool parseManifest(const QByteArray &data, QList<ManifestEntry> *entries, QString *error);

struct CorpusScore
{
    int positives = 0;
    int positivesRight = 0;
    int positivesTrusted = 0; // right and through the gate
    int positivesBelowSure = 0; // right, but rated under the confidence every code mail should reach
    int negatives = 0;
    int falseCodes = 0;        // a code on a mail without one
    int falseThroughGate = 0;  // a wrong code, on any mail, that the gate let through
    QStringList notes;         // one line for every mail not read right

    bool targetsMet() const;
    QString summary(int minConfidence) const;
};

// Reads every mail of the manifest (paths relative to `baseDir`) through the
// poll's reader, recognises its code and asks the gate as if the mail had
// just arrived.
CorpusScore scoreCorpus(const QList<ManifestEntry> &entries, const QString &baseDir, int minConfidence);
