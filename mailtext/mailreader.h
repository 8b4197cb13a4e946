#pragma once

#include "recognition/emphasis.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

// A raw mail read as its sender meant it: header values decoded, the body's
// MIME structure, transfer encodings and charsets undone, HTML turned into
// the text a reader sees. Pure functions; safe on any thread.

// At most this many octets of a mail's body are read (the poll fetches no
// more), and at most this many characters of text are kept.
inline constexpr qsizetype kMailBodyBytes = 256 * 1024;
inline constexpr qsizetype kMailTextChars = 2500;

struct MailText
{
    QString from;    // decoded From header value (headerValue rules)
    QString subject; // decoded Subject
    QDateTime sent;  // parseMailDate(Date); invalid when missing/unreadable
    QString text;    // the readable text: the text/plain part, else the text/html part turned into visible text
    QString part;    // where the text came from, e.g. "text/plain; charset=utf-8; base64";
                     // empty when nothing could be decoded (then `text` is the raw body start as UTF-8 and
                     // callers take no code from it)
    EmphasisSpans emphasis; // what the HTML set off (large, bold, spaced, monospace, boxed), over `text`
};

// A whole message, headers included, possibly cut short. Line ends may be
// CRLF or bare LF. The text has LF line ends, at most kMailTextChars
// characters; a forwarded mail's text follows the text of the mail around it.
MailText readMail(const QByteArray &raw);

// Visible text of an HTML document: no head, style, script, comments or
// hidden elements; entities decoded; blocks and table cells kept apart by
// line breaks and spaces. `charset` labels the bytes; when empty, a <meta>
// charset in the document decides, else UTF-8.
// What the styles set off is added to `emphasis` when given. Text the
// reader cannot see is left out: display:none, visibility:hidden, opacity
// 0, zero size, off-screen positions, fonts under 6 px, text in (nearly)
// its background's colour, `hidden` and aria-hidden elements; inline styles
// and a <style> element's one-class rules count.
QString htmlToText(const QByteArray &html, const QString &charset = QString(), EmphasisSpans *emphasis = nullptr);

// Bytes of a text in the labelled charset. Unknown labels read as UTF-8 with
// replacement characters; bytes labelled UTF-8 or ASCII (or not at all) that
// are not UTF-8 read as Windows-1254, the usual unlabelled legacy mail here.
QString textFromCharset(const QByteArray &bytes, const QString &charset);
