#pragma once

#include <QByteArray>
#include <QList>

// Pure helpers of the IDLE connection: a bounded line reader, the meaning of
// one server line, capability lists and the retry delays. No I/O.

// Splits what a server sends into lines (CR LF removed). A literal announced
// at a line's end ({n}) is skipped, not read as lines of its own, so text a
// sender controls never reads as protocol. One line, literals included, may
// hold at most `limit` bytes; past that the reader stops for good.
class ImapLineReader
{
public:
    explicit ImapLineReader(qint64 limit) : m_limit(limit) {}

    void feed(const QByteArray &bytes);
    // The next whole line, or false when none is complete yet.
    bool next(QByteArray &line);
    bool overflowed() const { return m_overflow; }

private:
    void scan();

    qint64 m_limit;
    QByteArray m_pending;   // bytes not yet scanned into lines
    QByteArray m_current;   // the line being built
    qint64 m_lineBytes = 0; // bytes of the current line, literals included
    qint64 m_skip = 0;      // literal bytes still to skip
    QList<QByteArray> m_ready;
    bool m_overflow = false;
};

// What one line means to the IDLE connection.
struct IdleLine
{
    enum Kind { Other, Continuation, TaggedOk, TaggedNo, TaggedBad, Exists, Recent, Bye, Greeting, PreAuth };
    Kind kind = Other;
    qint64 number = -1; // EXISTS and RECENT
};

// Reads one line; `tag` is the tag of the command waiting for its answer.
IdleLine classifyIdleLine(const QByteArray &line, const QByteArray &tag);

// Whether a capability list on this line names IDLE: 1 yes, 0 no, -1 the line
// carries no capability list (neither "* CAPABILITY" nor a [CAPABILITY] code).
int lineAnnouncesIdle(const QByteArray &line);

// Milliseconds before reconnect number `attempt` (0 for the first): the first
// delay doubled per attempt, capped, minus up to a quarter drawn by `jitter`
// in [0, 1) so that many clients do not return in step.
int idleRetryDelayMs(int attempt, double jitter, int firstMs, int capMs);
