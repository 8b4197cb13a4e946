#pragma once

#include "pages/pagedialogs.h"

#include <QStringList>

// Records the texts the pages would show in message boxes and answers
// questions with a preset reply.
class RecordingDialogs : public PageDialogs
{
public:
    void warn(QWidget *, const QString &text) override { warnings.append(text); }
    void inform(QWidget *, const QString &title, const QString &text) override
    {
        infoTitles.append(title);
        infos.append(text);
    }
    bool ask(QWidget *, const QString &text) override
    {
        questions.append(text);
        return answer;
    }

    QString openFileName(QWidget *, const QString &title, const QString &) override
    {
        fileTitles.append(title);
        return files.isEmpty() ? QString() : files.takeFirst();
    }
    QString saveFileName(QWidget *, const QString &title, const QString &, const QString &) override
    {
        fileTitles.append(title);
        return files.isEmpty() ? QString() : files.takeFirst();
    }
    std::optional<QString> askText(QWidget *, const QString &label, TextKind) override
    {
        prompts.append(label);
        if (texts.isEmpty())
            return std::nullopt;
        return texts.takeFirst();
    }

    QStringList files; // answers to file choosers, in order; none left: cancelled
    QStringList texts; // answers to text prompts, in order; none left: cancelled
    QStringList fileTitles;
    QStringList prompts;
    QStringList warnings;
    QStringList infoTitles;
    QStringList infos;
    QStringList questions;
    bool answer = true;
};
