#pragma once

#include <QMessageBox>
#include <QString>

#include <optional>

class QWidget;

// The message boxes the pages raise. Pages call through this interface so
// tests can record the texts instead of blocking on a modal box.
// The Turkish text of a message-box button; empty for buttons the program
// never shows.
QString messageButtonText(QMessageBox::StandardButton button);

class PageDialogs
{
public:
    virtual ~PageDialogs() = default;
    // Warning box titled "MIRELO+".
    virtual void warn(QWidget *parent, const QString &text);
    // Information box with its own title.
    virtual void inform(QWidget *parent, const QString &title, const QString &text);
    // Yes/No question titled "MIRELO+"; true for Yes.
    virtual bool ask(QWidget *parent, const QString &text);

    // A file to read or to write; empty when cancelled.
    virtual QString openFileName(QWidget *parent, const QString &title, const QString &filter);
    virtual QString saveFileName(QWidget *parent, const QString &title, const QString &suggested,
                                 const QString &filter);
    enum class TextKind { Line, Password, Block };
    // Text typed or pasted by the user; nothing when cancelled.
    virtual std::optional<QString> askText(QWidget *parent, const QString &label, TextKind kind);

    // The shared instance that shows real message boxes.
    static PageDialogs *standard();
};
