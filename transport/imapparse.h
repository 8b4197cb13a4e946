#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "mail/mailrecords.h"

// Pure helpers of the IMAP dialogues: command texts, reply parsing and the
// rules that turn fetched text into a mail. No I/O; safe on any thread.

// Login name of an account: its user, or its address when the user is empty.
QString accountLoginName(const EmailAccount &acc);

// Backslashes doubled, then double quotes escaped; nothing else changes.
QString imapQuoted(const QString &text);

// LOGIN "<login>" "<password>" with both values quoted as above.
QString imapLoginCommand(const QString &login, const QString &password);

// True when the text holds a CR or LF, which would end the command line early
// and let the rest of the value run as commands or headers of its own.
bool hasLineBreak(const QString &text);

// Message numbers of the "* SEARCH" lines, first occurrence kept, in order.
QStringList parseSearch(const QString &reply);

// The last non-empty line of a reply, trimmed and cut to maxLength.
QString imapFailureDetail(const QString &reply, int maxLength);

// Message of a refused poll login.
QString pollLoginFailureText(const QString &reply);

// The last n entries of a list.
QStringList keepLast(const QStringList &list, int n);

// Body of a text fetch: after the first literal marker, else the whole reply;
// at most 2500 characters.
QString imapBodyFromTextReply(const QString &reply);

// Octets of a message's text fetched per mail: as much as the reader reads.
inline constexpr qsizetype kFetchTextOctets = 256 * 1024;

// Whether a reply holds its tagged status line (OK, NO or BAD), looked for
// outside literals only: mail text cannot end the reply early.
bool imapTaggedDone(const QByteArray &reply, const QByteArray &tag);

// Content of the first literal of a reply, cut to what arrived; false when
// the reply has none.
bool imapFirstLiteral(const QByteArray &reply, QByteArray *content);

// Body of a mail from its header-field and text fetch replies: the text read
// from the fetched header fields (which carry the MIME type) and the text.
// A text reply without a literal gives the raw reply, as imapBodyFromTextReply.
// What an HTML text set off is added to `emphasis` when given.
QString imapMailBody(const QByteArray &headerReply, const QByteArray &textReply, EmphasisSpans *emphasis = nullptr);

// The body with white space simplified, 140 characters; the subject cut to
// 140 characters when that is empty.
QString imapPreview(const QString &body, const QString &subject);

// The UIDVALIDITY of a SELECT reply; empty when the server gave none.
QString parseUidValidity(const QString &selectReply);

// The reply's lines (LF split, CR kept) with each literal's content replaced
// by a space: what the server said, never what a mail says.
QList<QByteArray> imapLinesOutsideLiterals(const QByteArray &reply);

// The UID in the server's FETCH response for message number seq, looked for
// outside literals only (header text cannot fake it); empty when absent.
QString parseFetchUid(const QByteArray &reply, const QString &seq);

// Identity of a fetched message that stays the same on every poll and when
// the server renumbers: account, UIDVALIDITY and UID, hashed. Without a UID
// the header fields are used instead.
QString imapMessageId(const QString &account, const QString &uidValidity, const QString &uid,
                      const QString &headerReply);

// --- Signing in with a bearer token (SASL XOAUTH2 / OAUTHBEARER) ---

// The capabilities a greeting or CAPABILITY reply names (upper-cased), from
// "* CAPABILITY ..." lines and [CAPABILITY ...] codes, printable ASCII atoms
// only; empty when none.
QStringList imapCapabilities(const QByteArray &reply);

// "XOAUTH2" or "OAUTHBEARER" for an account signed in through the browser;
// empty for a password account.
QString saslMechanismName(const EmailAccount &acc);

// The base64 initial response of the account's mechanism, carrying its
// access token; empty for a password account.
QByteArray saslInitialResponse(const EmailAccount &acc, const QString &host, quint16 port);

// Where an AUTHENTICATE exchange stands after the reply collected so far.
// A refused token first brings a continuation ("+ <base64 error>") that the
// client must answer with an empty line before the tagged NO follows.
enum class ImapAuthState { Incomplete, Continuation, Ok, No, Bad };
ImapAuthState imapAuthState(const QByteArray &reply, const QByteArray &tag);

// What a refused token is told as, apart from a refused password.
QString tokenRefusedText();

// "Baglanti kurulamadi: host:port — reason. Sunucu ve portu kontrol et."
QString connectFailureText(const EmailAccount &acc, const QString &reason);
