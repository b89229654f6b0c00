#include "QtPrompter.h"

#include "platform/DialogFilter.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileIconProvider>
#include <QInputDialog>
#include <QMessageBox>

void QtPrompter::message(const QString &text, const QString &caption, Icon icon)
{
    QMessageBox box(m_parent);
    box.setLayoutDirection(Qt::RightToLeft);
    box.setWindowTitle(caption);
    box.setText(QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    box.setTextFormat(Qt::PlainText);
    switch (icon) {
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::Critical: box.setIcon(QMessageBox::Critical); break;
    case Icon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

namespace {

// A file's icon and kind from its name and mode, never from its content.
class NameOnlyIconProvider : public QFileIconProvider
{
public:
    using QFileIconProvider::icon;
    QIcon icon(const QFileInfo &info) const override { return icon(info.isDir() ? Folder : File); }
    QString type(const QFileInfo &info) const override
    {
        if (info.isDir())
            return QCoreApplication::translate("QAbstractFileIconProvider", "Folder", "Match Windows Explorer");
        if (info.suffix().isEmpty())
            return QCoreApplication::translate("QAbstractFileIconProvider", "File", "Match Windows Explorer");
        return QCoreApplication::translate("QAbstractFileIconProvider", "%1 File",
                                           "%1 is a file name suffix, for example txt")
            .arg(info.suffix());
    }
};

} // namespace

void QtPrompter::neverReadFiles(QFileDialog &dialog)
{
    static NameOnlyIconProvider provider;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setIconProvider(&provider);
}

bool QtPrompter::question(const QString &text, const QString &caption)
{
    QMessageBox box(m_parent);
    box.setLayoutDirection(Qt::RightToLeft);
    box.setWindowTitle(caption);
    box.setText(text);
    box.setTextFormat(Qt::PlainText);
    box.setIcon(QMessageBox::Question);
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

std::optional<QString> QtPrompter::text(const QString &label, const QString &caption, const QString &initial)
{
    QInputDialog dialog(m_parent);
    dialog.setLayoutDirection(Qt::RightToLeft);
    dialog.setWindowTitle(caption);
    dialog.setLabelText(label);
    dialog.setTextValue(initial);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

std::optional<QString> QtPrompter::openFile(const QString &filter)
{
    // Opened again, the dialog starts in the folder of the file picked last, where the
    // next one usually is.
    QFileDialog dialog(m_parent, QString(), m_openFolder);
    neverReadFiles(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(qtFileDialogFilter(filter));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString path = dialog.selectedFiles().constFirst();
    m_openFolder = QFileInfo(path).absolutePath();
    return path;
}

std::optional<QString> QtPrompter::saveFile(const QString &filter, const QString &defaultSuffix,
                                            const QString &initialName)
{
    QFileDialog dialog(m_parent);
    neverReadFiles(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(qtFileDialogFilter(filter));
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.selectFile(initialName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> QtPrompter::pdfFileForPrinting(const QString &initialName)
{
    return saveFile(QStringLiteral("PDF (*.pdf)|*.pdf"), QStringLiteral("pdf"), initialName);
}
