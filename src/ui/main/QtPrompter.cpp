#include "QtPrompter.h"

#include "platform/DialogFilter.h"

#include <QFileDialog>
#include <QFileInfo>
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

std::optional<QString> QtPrompter::openFile(const QString &filter)
{
    // Opened again, the dialog starts in the folder of the file picked last, where the
    // next one usually is.
    const QString path = QFileDialog::getOpenFileName(m_parent, QString(), m_openFolder,
                                                      qtFileDialogFilter(filter));
    if (path.isEmpty())
        return std::nullopt;
    m_openFolder = QFileInfo(path).absolutePath();
    return path;
}

std::optional<QString> QtPrompter::saveFile(const QString &filter, const QString &defaultSuffix,
                                            const QString &initialName)
{
    QFileDialog dialog(m_parent);
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
