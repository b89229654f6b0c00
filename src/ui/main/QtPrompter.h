#pragma once

#include "platform/Prompter.h"

#include <QString>

class QFileDialog;
class QWidget;

// The running program's answer to prompts: Qt's message boxes and file dialogs, right
// to left like the rest of the interface.
class QtPrompter : public Prompter
{
public:
    void setParentWindow(QWidget *parent) { m_parent = parent; }

    void message(const QString &text, const QString &caption, Icon icon) override;
    bool question(const QString &text, const QString &caption) override;
    std::optional<QString> text(const QString &label, const QString &caption, const QString &initial) override;
    std::optional<QString> openFile(const QString &filter) override;
    std::optional<QString> saveFile(const QString &filter, const QString &defaultSuffix,
                                    const QString &initialName) override;
    std::optional<QString> pdfFileForPrinting(const QString &initialName) override;

    // What every file dialog of the program is told: Qt's own dialog, whose list tells a
    // file's kind by its name and mode alone. The platform's and Qt's usual way reads a
    // file's first bytes for it, and reading /proc/kmsg or a device waits for ever.
    static void neverReadFiles(QFileDialog &dialog);

private:
    QWidget *m_parent = nullptr;
    QString m_openFolder; // of the file last opened; empty: none yet
};
