#pragma once

#include <QString>

#include <optional>

// Every question or notice the program puts to the user goes through this interface.
// The running program answers it with Qt dialogs; a test answers it by script, so no
// test ever waits on a modal dialog.
class Prompter
{
public:
    enum class Icon { Information, Critical, Exclamation };

    virtual ~Prompter() = default;

    // A message box with one OK button.
    virtual void message(const QString &text, const QString &caption, Icon icon) = 0;

    // A question answered yes or no; no is the default answer.
    virtual bool question(const QString &text, const QString &caption) = 0;

    // One line of text asked for, the initial text given; nothing when the user cancelled.
    virtual std::optional<QString> text(const QString &label, const QString &caption, const QString &initial) = 0;

    // The open-file dialog. filter is in "description|pattern|description|pattern" form.
    // Returns the chosen full path, or nothing when the user cancelled.
    virtual std::optional<QString> openFile(const QString &filter) = 0;

    // The save-file dialog; defaultSuffix is added to a name typed without extension.
    // Returns the chosen full path, or nothing when the user cancelled.
    virtual std::optional<QString> saveFile(const QString &filter, const QString &defaultSuffix,
                                            const QString &initialName) = 0;

    // Asked when printing finds no printer: the PDF file to print into instead,
    // or nothing when the user cancelled.
    virtual std::optional<QString> pdfFileForPrinting(const QString &initialName) = 0;
};
