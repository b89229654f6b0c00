#include "ScriptedPrompter.h"

void ScriptedPrompter::message(const QString &text, const QString &caption, Icon icon)
{
    messages.append({text, caption, icon});
    if (onMessage)
        onMessage(messages.constLast());
}

std::optional<QString> ScriptedPrompter::openFile(const QString &filter)
{
    fileDialogs.append({filter, QString(), QString()});
    return fileAnswers.isEmpty() ? std::nullopt : fileAnswers.takeFirst();
}

std::optional<QString> ScriptedPrompter::saveFile(const QString &filter, const QString &defaultSuffix,
                                                  const QString &initialName)
{
    fileDialogs.append({filter, defaultSuffix, initialName});
    return fileAnswers.isEmpty() ? std::nullopt : fileAnswers.takeFirst();
}

std::optional<QString> ScriptedPrompter::pdfFileForPrinting(const QString &initialName)
{
    fileDialogs.append({QStringLiteral("pdf"), QStringLiteral("pdf"), initialName});
    return fileAnswers.isEmpty() ? std::nullopt : fileAnswers.takeFirst();
}
