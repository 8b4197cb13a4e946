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

    QStringList warnings;
    QStringList infoTitles;
    QStringList infos;
    QStringList questions;
    bool answer = true;
};
