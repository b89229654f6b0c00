#pragma once

#include "platform/Prompter.h"

#include <QList>
#include <QStringList>

#include <functional>

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

    void message(const QString &text, const QString &caption, Icon icon) override;
    std::optional<QString> openFile(const QString &filter) override;
    std::optional<QString> saveFile(const QString &filter, const QString &defaultSuffix,
                                    const QString &initialName) override;
    std::optional<QString> pdfFileForPrinting(const QString &initialName) override;

    // Answers for the next file dialogs, in order; an empty optional is a cancel.
    QList<std::optional<QString>> fileAnswers;
    // Called when a message is shown, as a modal box would run while it is open.
    std::function<void(const Message &)> onMessage;

    QList<Message> messages;
    struct FileDialog
    {
        QString filter;
        QString defaultSuffix;
        QString initialName;
    };
    QList<FileDialog> fileDialogs;
};
