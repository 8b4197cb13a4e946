#include "transport/idleparse.h"

#include <QtGlobal>

namespace {
// The size n of a literal announced at the end of the line ({n} or {n+}),
// or -1 when the line does not end in one.
qint64 trailingLiteral(const QByteArray &line)
{
    if (!line.endsWith('}'))
        return -1;
    const qsizetype open = line.lastIndexOf('{');
    if (open < 0)
        return -1;
    QByteArray digits = line.mid(open + 1, line.size() - open - 2);
    if (digits.endsWith('+'))
        digits.chop(1);
    if (digits.isEmpty() || digits.size() > 15)
        return -1;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return -1;
    }
    return digits.toLongLong();
}

bool startsWithWord(const QByteArray &text, const char *word)
{
    const QByteArray w(word);
    if (text.size() < w.size() || qstrnicmp(text.constData(), w.constData(), w.size()) != 0)
        return false;
    return text.size() == w.size() || text.at(w.size()) == ' ' || text.at(w.size()) == '[';
}
} // namespace

void ImapLineReader::feed(const QByteArray &bytes)
{
    if (m_overflow)
        return;
    m_pending += bytes;
    scan();
}

void ImapLineReader::scan()
{
    qsizetype i = 0;
    const qsizetype n = m_pending.size();
    while (i < n && !m_overflow) {
        if (m_skip > 0) {
            const qint64 take = qMin<qint64>(m_skip, n - i);
            m_skip -= take;
            i += take;
            continue;
        }
        const qsizetype end = m_pending.indexOf('\n', i);
        const qsizetype stop = end < 0 ? n : end;
        m_lineBytes += stop - i;
        if (m_lineBytes > m_limit) {
            m_overflow = true;
            break;
        }
        m_current += QByteArrayView(m_pending.constData() + i, stop - i);
        if (end < 0) {
            i = n;
            break;
        }
        i = end + 1;
        if (m_current.endsWith('\r'))
            m_current.chop(1);
        const qint64 literal = trailingLiteral(m_current);
        if (literal >= 0) {
            // The literal counts toward the line and is left out of it.
            m_lineBytes += literal;
            if (m_lineBytes > m_limit) {
                m_overflow = true;
                break;
            }
            m_skip = literal;
            m_current += ' ';
            continue;
        }
        m_ready.append(m_current);
        m_current.clear();
        m_lineBytes = 0;
    }
    m_pending.remove(0, qMin(i, n));
    if (m_overflow) {
        m_pending.clear();
        m_current.clear();
    }
}

bool ImapLineReader::next(QByteArray &line)
{
    if (m_ready.isEmpty())
        return false;
    line = m_ready.takeFirst();
    return true;
}

IdleLine classifyIdleLine(const QByteArray &line, const QByteArray &tag)
{
    IdleLine out;
    if (line.startsWith('+')) {
        out.kind = IdleLine::Continuation;
        return out;
    }
    if (!tag.isEmpty() && line.size() > tag.size() && line.startsWith(tag) && line.at(tag.size()) == ' ') {
        const QByteArray rest = line.mid(tag.size() + 1);
        if (startsWithWord(rest, "OK"))
            out.kind = IdleLine::TaggedOk;
        else if (startsWithWord(rest, "NO"))
            out.kind = IdleLine::TaggedNo;
        else if (startsWithWord(rest, "BAD"))
            out.kind = IdleLine::TaggedBad;
        return out;
    }
    if (!line.startsWith("* "))
        return out;
    const QByteArray rest = line.mid(2);
    if (startsWithWord(rest, "BYE")) {
        out.kind = IdleLine::Bye;
        return out;
    }
    if (startsWithWord(rest, "OK")) {
        out.kind = IdleLine::Greeting;
        return out;
    }
    if (startsWithWord(rest, "PREAUTH")) {
        out.kind = IdleLine::PreAuth;
        return out;
    }
    const qsizetype space = rest.indexOf(' ');
    if (space <= 0 || space > 10)
        return out;
    bool ok = false;
    const qint64 number = rest.left(space).toLongLong(&ok);
    if (!ok || number < 0 || rest.at(0) < '0' || rest.at(0) > '9')
        return out;
    const QByteArray word = rest.mid(space + 1).trimmed();
    if (word.compare("EXISTS", Qt::CaseInsensitive) == 0)
        out.kind = IdleLine::Exists;
    else if (word.compare("RECENT", Qt::CaseInsensitive) == 0)
        out.kind = IdleLine::Recent;
    else
        return out;
    out.number = number;
    return out;
}

int lineAnnouncesIdle(const QByteArray &line)
{
    QByteArray list;
    const QByteArray upper = line.toUpper();
    if (upper.startsWith("* CAPABILITY ")) {
        list = upper.mid(13);
    } else {
        const qsizetype at = upper.indexOf("[CAPABILITY ");
        if (at < 0)
            return -1;
        const qsizetype close = upper.indexOf(']', at);
        list = upper.mid(at + 12, close < 0 ? -1 : close - at - 12);
    }
    const QList<QByteArray> words = list.split(' ');
    for (const QByteArray &w : words) {
        if (w == "IDLE")
            return 1;
    }
    return 0;
}

int idleRetryDelayMs(int attempt, double jitter, int firstMs, int capMs)
{
    qint64 base = qMax(1, firstMs);
    for (int i = 0; i < attempt && base < capMs; ++i)
        base *= 2;
    base = qMin<qint64>(base, capMs);
    const double j = qBound(0.0, jitter, 1.0);
    return int(qMax<qint64>(1, base - qint64(double(base) * 0.25 * j)));
}
