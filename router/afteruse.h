#pragma once

#include "core/clock.h"
#include "core/notice.h"
#include "mail/mailactions.h"

#include <QObject>
#include <QSet>
#include <QString>

#include <functional>

class MailStore;
class QTimer;
struct MailItem;

struct AfterUseOptions
{
    Clock clock;
    // How long a move to the trash can be taken back.
    int undoMs = 10000;
    // How long a code copied on its own stays on the clipboard.
    int clipboardMs = 20000;
    // Whether a code copied on its own counts as used once that time ends;
    // empty: the stored setting.
    std::function<bool()> autoCopyCounts;
};

// What becomes of a code mail once its code was used: per the account's
// choice it is marked read or moved to the trash on the server, and a move
// can be taken back for a short while. Only mails whose code was trusted,
// never a demo or a silenced sender's, and each mail once.
class CodeAfterUse : public QObject
{
    Q_OBJECT
public:
    explicit CodeAfterUse(MailStore *store, const AfterUseOptions &options = AfterUseOptions(),
                      QObject *parent = nullptr);

    // The mail whose move can still be taken back; empty when none.
    QString undoableMail() const { return m_undoId; }

public slots:
    // Typed (hotkey, tray or "Otomatik yaz") or copied by hand.
    void codeUsed(const QString &mailId);
    // Copied to the clipboard on its own; counts once its clipboard time
    // ends, if the user wants that.
    void codeAutoCopied(const MailItem &mail);
    // "Geri al": moves the last moved mail back while the window is open.
    bool undo();
    // Signed out: nothing waits to act for the last user.
    void reset();

signals:
    void status(const QString &text);
    void notice(const Notice &notice);
    // Whether "Geri al" can be offered now.
    void undoAvailable(bool available);

private:
    void onFinished(const MailActionResult &result);
    bool trusted(const MailItem &mail) const;
    void closeUndo();

    MailStore *m_store;
    AfterUseOptions m_options;
    QTimer *m_undoTimer;
    QSet<QString> m_used;
    // Moves asked for by a use, until the server answers.
    QSet<QString> m_moving;
    QString m_undoId;
    QDateTime m_undoUntil;
};
