#pragma once

#include "platform/Prompter.h"

#include <QList>
#include <QStringList>

// Answers prompts by script and records every one, so a test can check what the user
// would have been told without a dialog ever opening.
class ScriptedPrompter : public Prompter
{
public:
    struct Message
    {
        QString text;
        QString caption;
        Icon icon;
    };

    void message(const QString &text, const QString &caption, Icon icon) override { messages.append({text, caption, icon}); }
    bool question(const QString &text, const QString &caption) override
    {
        questions.append({text, caption, Icon::Exclamation});
        return !questionAnswers.isEmpty() && questionAnswers.takeFirst();
    }
    std::optional<QString> text(const QString &label, const QString &caption, const QString &initial) override
    {
        textPrompts.append({label, caption, initial});
        return textAnswers.isEmpty() ? std::nullopt : textAnswers.takeFirst();
    }
    std::optional<QString> openFile(const QString &filter) override { return answer({filter, {}, {}}); }
    std::optional<QString> saveFile(const QString &filter, const QString &defaultSuffix, const QString &initialName) override
    {
        return answer({filter, defaultSuffix, initialName});
    }
    std::optional<QString> pdfFileForPrinting(const QString &initialName) override
    {
        return answer({QStringLiteral("pdf"), QStringLiteral("pdf"), initialName});
    }

    // Answers for the next file dialogs, in order; an empty optional is a cancel.
    QList<std::optional<QString>> fileAnswers;

    QList<Message> messages;
    // Answers for the next questions, in order (none left: no); the questions asked.
    QList<bool> questionAnswers;
    QList<Message> questions;
    // Answers for the next text prompts (none left: cancel); each prompt as label,
    // caption, initial text.
    QList<std::optional<QString>> textAnswers;
    QList<QStringList> textPrompts;
    struct FileDialog
    {
        QString filter;
        QString defaultSuffix;
        QString initialName;
    };
    QList<FileDialog> fileDialogs;

private:
    std::optional<QString> answer(const FileDialog &dialog)
    {
        fileDialogs.append(dialog);
        return fileAnswers.isEmpty() ? std::nullopt : fileAnswers.takeFirst();
    }
};
