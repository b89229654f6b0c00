#pragma once

#include "platform/Prompter.h"

#include <QString>

class QWidget;

// The running program's answer to prompts: Qt's message boxes and file dialogs, right
// to left like the rest of the interface.
class QtPrompter : public Prompter
{
public:
    void setParentWindow(QWidget *parent) { m_parent = parent; }

    void message(const QString &text, const QString &caption, Icon icon) override;
    std::optional<QString> openFile(const QString &filter) override;
    std::optional<QString> saveFile(const QString &filter, const QString &defaultSuffix,
                                    const QString &initialName) override;
    std::optional<QString> pdfFileForPrinting(const QString &initialName) override;

private:
    QWidget *m_parent = nullptr;
    QString m_openFolder; // of the file last opened; empty: none yet
};
