// The commands that take the shown function away: save as a Basic module, copy to the
// clipboard, print. They read the function view only, never the catalogue.

#include "frmMain.h"
#include "TwipPanel.h"

#include "PrintOut.h"
#include "browse/CatalogueBrowser.h"
#include "StatusPanels.h"
#include "catalogue/DeclarationLayout.h"
#include "ui/controls/TextBox.h"
#include "output/ClipboardCopy.h"
#include "output/ModuleExport.h"
#include "output/ModuleFile.h"
#include "output/PrintJob.h"
#include "platform/Prompter.h"
#include "platform/Texts.h"

#include <QAction>
#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>

namespace {

// The Basic run-time number of a printer failure, and its description.
constexpr qint64 printerError = 482;

} // namespace

void frmMain::createCopyMenu()
{
    mnuCopyRoot = menuBar()->addMenu(Texts::mnuCopyRoot);
    mnuCopyRoot->setObjectName(QStringLiteral("mnuCopyRoot"));
    // Keyed on "name", "declaration" and "copy".
    const std::array<QString, 3> captions = {Texts::keyed(Texts::mnuCopy0, 4), Texts::keyed(Texts::mnuCopy1, 4), Texts::keyed(Texts::mnuCopy2, 0)};
    const std::array<QKeySequence, 3> shortcuts = {QKeySequence(Qt::CTRL | Qt::Key_N),
                                                   QKeySequence(Qt::CTRL | Qt::Key_D),
                                                   QKeySequence(Qt::CTRL | Qt::Key_C)};
    for (int index = 0; index < 3; ++index) {
        QAction *entry = mnuCopyRoot->addAction(captions[index]);
        entry->setObjectName(QStringLiteral("mnuCopy%1").arg(index));
        entry->setShortcut(shortcuts[index]);
        connect(entry, &QAction::triggered, this, [this, index] { mnuCopy_Click(index); });
        mnuCopy[index] = entry;
    }
}

FunctionView frmMain::shownFunction() const
{
    FunctionView view{lblFunctionName->text(), txtFunction->text(), txtComment->text()};
    // A module saved while the VBA7 form shows carries the classic form too; one of a
    // function with the VBA7 form alone carries that form whichever is shown.
    const CatalogueRecord *record = m_browser.shownRecord();
    if (record && record->vba7Only()) {
        view.vba7OnlyDeclaration =
            DeclarationLayout::layOut((*record)[CatalogueRecord::Vba7Declaration], m_browser.formatted());
    } else if (record && m_browser.vba7()) {
        view.classicDeclaration =
            DeclarationLayout::layOut((*record)[CatalogueRecord::Declaration], m_browser.formatted());
    }
    return view;
}

void frmMain::reportRuntimeError(qint64 number, const QString &description)
{
    m_prompter.message(QStringLiteral("Runtime Error '") + QString::number(number) + QStringLiteral("'\r\n")
                           + description,
                       Texts::programTitle, Prompter::Icon::Critical);
}

void frmMain::SaveModule(bool withDescription)
{
    const FunctionView view = shownFunction();
    const std::optional<QString> path = m_prompter.saveFile(
        ModuleExport::dialogFilter, ModuleExport::defaultExtension, ModuleExport::fileName(view.name));
    if (!path)
        return; // the user changed their mind: nothing to say

    // A module that could not be written is reported: the user would otherwise look for
    // a file that is not there, or trust an old one that was not replaced.
    const ModuleFile::WriteResult result =
        ModuleFile::write(*path, ModuleExport::moduleBytes(view, withDescription));
    if (!result.ok) {
        reportRuntimeError(result.errorNumber, result.errorDescription);
        return;
    }
    // A sign that it worked, in the panel left free outside an analysis: the file's name,
    // kept in its own direction (U+2068 ... U+2069), the whole path in the panel's tip.
    StatusBar->setText(QStringLiteral("prog"), Texts::savedPrefix + QChar(0x2068) + QFileInfo(*path).fileName() + QChar(0x2069));
    StatusBar->panel(QStringLiteral("prog"))->setToolTip(*path);
}

void frmMain::mnuCopy_Click(int index)
{
    const std::optional<QString> text = ClipboardCopy::copiedText(shownFunction(), index);
    if (!text)
        return;
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(*text);
}

void frmMain::cmdCopy_Click()
{
    // Just under the button: the left of the button group plus the button's left, the top
    // of the key row plus the button's height, in the window's coordinates.
    const int top = picColtrols->mapTo(this, QPoint(0, 0)).y();
    const QPoint inWindow(picColtrols->mapTo(this, QPoint(picKeys->x() + cmdCopy->x(), 0)).x(),
                          top + cmdCopy->height());
    mnuCopyRoot->popup(mapToGlobal(inWindow));
}

void frmMain::mnuPrint_Click()
{
    const FunctionView view = shownFunction();
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(view.name);
    if (!QPrinterInfo::defaultPrinter().isNull()) {
        if (!PrintOut::print(printer, PrintJob::lines(view)))
            reportRuntimeError(printerError, QStringLiteral("Printer error"));
        return;
    }
    // No printer on this machine: the page goes into a PDF file the user names, made
    // beside it and put in its place only when whole, as a saved module is.
    const std::optional<QString> pdf =
        m_prompter.pdfFileForPrinting(ModuleExport::fileName(view.name) + QStringLiteral(".pdf"));
    if (!pdf)
        return;
    printer.setOutputFormat(QPrinter::PdfFormat);
    const ModuleFile::WriteResult result = ModuleFile::produce(*pdf, [&](const QString &file) {
        printer.setOutputFileName(file);
        return PrintOut::print(printer, PrintJob::lines(view)) && PrintOut::isWholePdf(file);
    });
    if (!result.ok)
        reportRuntimeError(result.errorNumber, result.errorDescription);
}
