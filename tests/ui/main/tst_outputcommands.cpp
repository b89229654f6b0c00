#include "catalogue/CatalogueTree.h"
#include "platform/Texts.h"
#include "support/PdfText.h"
#include "support/FileSizeLimit.h"
#include "support/ScriptedPrompter.h"
#include "support/TestCatalogue.h"
#include "support/UnwritableFolder.h"
#include "ui/main/SearchPanel.h"
#include "ui/main/TextBox.h"
#include "ui/main/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPrinterInfo>
#include <QPushButton>
#include "ui/controls/Resizer.h"
#include "ui/main/TwipPanel.h"
#include <QTemporaryDir>
#include <QTreeView>
#include <QTest>

#include <memory>
#include <optional>

namespace {

const QString tickDeclaration = QStringLiteral("Private Declare Function GetTickCount Lib \"kernel32\" () As Long");
const QString profileDeclaration = QStringLiteral(
    "Private Declare Function GetPrivateProfileString Lib \"kernel32\" Alias \"GetPrivateProfileStringA\" "
    "(ByVal lpApplicationName As String, ByVal lpKeyName As Any) As Long");
// Two lines of Persian: the description of the first function.
const QString tickDescription = Texts::alreadyRunning + QStringLiteral("\r\n") + Texts::mnuCopy2;

const QByteArray tickModule = "Attribute VB_Name = \"Api_GetTickCount\"\r\n' Created by Vorn\r\n"
                              "Public Declare Function GetTickCount Lib \"kernel32\" () As Long\r\n";
// Texts::alreadyRunning and Texts::mnuCopy2 in Windows-1256.
const QByteArray alreadyRunning1256 = QByteArray::fromHex("c7 ed e4 20 c8 d1 e4 c7 e3 e5 20 cf d1 20 cd c7 e1 20 c7 cc d1 c7 d3 ca");
const QByteArray copyDescription1256 = QByteArray::fromHex("98 81 ed 20 ca e6 d6 ed cd c7 ca");

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return file.readAll();
}

} // namespace

class tst_OutputCommands : public QObject
{
    Q_OBJECT

private:
    ScriptedPrompter *m_prompter = nullptr;
    std::unique_ptr<ScriptedPrompter> m_prompterOwner;
    std::unique_ptr<frmMain> m_window;
    std::unique_ptr<QTemporaryDir> m_dir;

    frmMain &window() { return *m_window; }

    void pickInTree(int position)
    {
        const QModelIndex node = window().catalogueTree()->indexForKey(QStringLiteral("Alf_F_%1").arg(position));
        QVERIFY(node.isValid());
        window().nodeClick(node);
    }

    void showAndActivate()
    {
        window().resize(620, 420);
        window().move(20, 20);
        window().show();
        QApplication::setActiveWindow(&window());
        QVERIFY(QTest::qWaitForWindowActive(&window()));
    }

    void press(Qt::Key key)
    {
        QTest::keyClick(&window(), key, Qt::ControlModifier);
    }

    QString path(const QString &name) const { return m_dir->filePath(name); }

private slots:
    void init()
    {
        m_prompterOwner = std::make_unique<ScriptedPrompter>();
        m_prompter = m_prompterOwner.get();
        m_window = std::make_unique<frmMain>(*m_prompter);
        m_window->setRecordset(recordsetOf({
            record(QStringLiteral("GetTickCount"), tickDeclaration, QStringLiteral("kernel32"), QString(),
                   tickDescription),
            record(QStringLiteral("GetPrivateProfileString"), profileDeclaration, QStringLiteral("kernel32"),
                   QString(), QString()),
        }));
        m_window->BuildCatalogueTree();
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        QGuiApplication::clipboard()->clear();
    }

    void cleanup()
    {
        if (QWidget *popup = QApplication::activePopupWidget())
            popup->close();
        m_window.reset();
        m_prompterOwner.reset();
        m_dir.reset();
    }

    // --- menus and key row -------------------------------------------------------------

    void copyMenu_standsBetweenFunctionAndHelp_withItsEntries()
    {
        QVERIFY(window().mnuCopyRoot);
        QCOMPARE(window().mnuCopyRoot->title(), Texts::mnuCopyRoot);
        QCOMPARE(window().mnuCopyRoot->objectName(), QStringLiteral("mnuCopyRoot"));
        const QList<QAction *> bar = window().menuBar()->actions();
        const qsizetype copyAt = bar.indexOf(window().mnuCopyRoot->menuAction());
        QVERIFY(copyAt > 0);
        QCOMPARE(bar.at(copyAt - 1)->text(), Texts::mnuFunction);

        const QStringList captions = {Texts::mnuCopy0, Texts::mnuCopy1, Texts::mnuCopy2};
        const QList<QKeySequence> keys = {QKeySequence(Qt::CTRL | Qt::Key_N), QKeySequence(Qt::CTRL | Qt::Key_D),
                                          QKeySequence(Qt::CTRL | Qt::Key_C)};
        QCOMPARE(window().mnuCopyRoot->actions().size(), 3);
        for (int index = 0; index < 3; ++index) {
            QAction *entry = window().mnuCopy[index];
            QVERIFY(entry);
            QCOMPARE(window().mnuCopyRoot->actions().at(index), entry);
            QCOMPARE(entry->text(), captions.at(index));
            QCOMPARE(entry->shortcut(), keys.at(index));
            QVERIFY(entry->isEnabled());
        }
    }

    void keyRow_holdsTheCopyButtonInItsGroup()
    {
        QVERIFY(window().picColtrols && window().picKeys && window().cmdCopy);
        QCOMPARE(window().picKeys->parentWidget(), window().picColtrols);
        QCOMPARE(window().cmdCopy->parentWidget(), window().picKeys);
        QCOMPARE(window().cmdSearchBar->parentWidget(), window().picKeys);
        QCOMPARE(window().cmdExit->parentWidget(), window().picKeys);
        QCOMPARE(window().cmdAbout->parentWidget(), window().picColtrols);
        QCOMPARE(window().cmdCopy->text(), Texts::cmdCopy);
        QCOMPARE(window().cmdExit->text(), Texts::cmdExit);
        QCOMPARE(window().cmdAbout->text(), Texts::cmdAbout);
        QCOMPARE(window().cmdSearchBar->text(), Texts::cmdSearchBarSearch);
        // In the group: search, copy, exit from left to right.
        QVERIFY(window().cmdSearchBar->x() < window().cmdCopy->x());
        QVERIFY(window().cmdCopy->x() < window().cmdExit->x());
    }

    void keyRow_liesBelowTheFunctionView_withTheGroupOnTheRight()
    {
        showAndActivate();
        QWidget *row = window().picColtrols;
        const QPoint rowTop = row->mapTo(&window(), QPoint(0, 0));
        QVERIFY(rowTop.y() >= window().resControls->mapTo(&window(), QPoint(0, window().resControls->height())).y());
        QVERIFY(window().cmdAbout->x() < window().picKeys->x());
        QVERIFY(window().picKeys->geometry().right() < row->width());
        QVERIFY(window().picKeys->geometry().right() > row->width() - 20);
    }

    void cmdCopy_popsTheCopyMenuUpUnderItself()
    {
        showAndActivate();
        pickInTree(1);
        QTest::mouseClick(window().cmdCopy, Qt::LeftButton);
        QMenu *menu = window().mnuCopyRoot;
        QTRY_VERIFY(menu->isVisible());
        const QPoint expected = window().mapToGlobal(
            QPoint(window().picKeys->mapTo(&window(), QPoint(0, 0)).x() + window().cmdCopy->x(),
                   window().picColtrols->mapTo(&window(), QPoint(0, 0)).y() + window().cmdCopy->height()));
        QCOMPARE(menu->geometry().topLeft(), expected);
        QCOMPARE(expected, window().cmdCopy->mapToGlobal(QPoint(0, window().cmdCopy->height())));

        // Choosing an entry there runs the same copy command.
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(window().mnuCopy[0]).center());
        QTRY_VERIFY(!menu->isVisible());
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("GetTickCount"));
    }

    void cmdExit_closesTheWindow()
    {
        showAndActivate();
        QTest::mouseClick(window().cmdExit, Qt::LeftButton);
        QTRY_VERIFY(!window().isVisible());
    }

    // --- enabling ------------------------------------------------------------------------

    void ctrlS_doesNothingRightAfterStart()
    {
        showAndActivate();
        QVERIFY(!window().mnuSave->isEnabled());
        QVERIFY(!window().mnuFullSave->isEnabled());
        QVERIFY(!window().mnuPrint->isEnabled());
        m_prompter->fileAnswers = {path(QStringLiteral("x.bas"))};
        press(Qt::Key_S);
        QVERIFY(m_prompter->fileDialogs.isEmpty());
        QVERIFY(QDir(m_dir->path()).isEmpty());
    }

    void ctrlS_savesOnceAFunctionIsPickedInTheTree()
    {
        showAndActivate();
        pickInTree(1);
        QVERIFY(window().mnuSave->isEnabled());
        QVERIFY(window().mnuFullSave->isEnabled());
        QVERIFY(window().mnuPrint->isEnabled());
        m_prompter->fileAnswers = {path(QStringLiteral("GetTickCount.bas"))};
        press(Qt::Key_S);
        QCOMPARE(m_prompter->fileDialogs.size(), 1);
        const ScriptedPrompter::FileDialog dialog = m_prompter->fileDialogs.constFirst();
        QCOMPARE(dialog.filter, QStringLiteral("Module File(*.bas)|*.bas|All Files(*.*)|*.*"));
        QCOMPARE(dialog.defaultSuffix, QStringLiteral("bas"));
        QCOMPARE(dialog.initialName, QStringLiteral("GetTickCount"));
        QCOMPARE(contentOf(path(QStringLiteral("GetTickCount.bas"))), tickModule);
        QVERIFY(m_prompter->messages.isEmpty());
    }

    void treeTakingTheFocusAtStart_isNoClick()
    {
        showAndActivate();
        window().trvApi->setFocus();
        QTRY_VERIFY(window().trvApi->hasFocus());
        QTRY_VERIFY(window().trvApi->currentIndex().isValid());
        QVERIFY(!window().mnuSave->isEnabled());
        QCOMPARE(window().lblFunctionName->text(), Texts::functionNameInitial);
    }

    void walkingTheTreeByKeyboard_showsAndEnables()
    {
        showAndActivate();
        window().trvApi->setFocus();
        QTRY_VERIFY(window().trvApi->hasFocus());
        // Open the letter group of the first root and walk onto its first function.
        const QModelIndex letter = window().catalogueTree()->index(0, 0, window().catalogueTree()->index(0, 0));
        window().trvApi->expand(window().catalogueTree()->index(0, 0));
        window().trvApi->expand(letter);
        window().trvApi->setCurrentIndex(letter);
        QTest::keyClick(window().trvApi, Qt::Key_Down);
        QCOMPARE(window().lblFunctionName->text(), QStringLiteral("GetPrivateProfileString"));
        QVERIFY(window().mnuSave->isEnabled());
        QVERIFY(window().mnuPrint->isEnabled());
    }

    void showingFromTheSearchRoadAlone_leavesSaveAndPrintDisabled()
    {
        // The search results list shows a function through ShowFunction and nothing else.
        window().ShowFunction(QStringLiteral("GetTickCount"));
        QCOMPARE(window().txtFunction->text(), tickDeclaration);
        QVERIFY(!window().mnuSave->isEnabled());
        QVERIFY(!window().mnuFullSave->isEnabled());
        QVERIFY(!window().mnuPrint->isEnabled());
    }

    // --- save ----------------------------------------------------------------------------

    void fullSave_writesTheDescriptionAsComments()
    {
        pickInTree(1);
        m_prompter->fileAnswers = {path(QStringLiteral("full.bas"))};
        window().mnuFullSave->trigger();
        QCOMPARE(contentOf(path(QStringLiteral("full.bas"))),
                 tickModule + "\r\n\r\n\r\n' " + alreadyRunning1256 + "\r\n' " + copyDescription1256 + "\r\n");
    }

    void fullSave_emptyDescription_endsWithALoneApostrophe()
    {
        pickInTree(2);
        m_prompter->fileAnswers = {path(QStringLiteral("p.bas"))};
        window().mnuFullSave->trigger();
        QVERIFY(contentOf(path(QStringLiteral("p.bas"))).endsWith(" As Long\r\n\r\n\r\n\r\n' \r\n"));
    }

    void save_keepsGetPrivateProfileStringCallable()
    {
        pickInTree(2);
        m_prompter->fileAnswers = {path(QStringLiteral("p.bas"))};
        window().mnuSave->trigger();
        QCOMPARE(m_prompter->fileDialogs.constFirst().initialName, QStringLiteral("GetPrivateProfileString"));
        QCOMPARE(contentOf(path(QStringLiteral("p.bas"))),
                 QByteArray("Attribute VB_Name = \"Api_GetPrivateProfileString\"\r\n' Created by Vorn\r\n"
                            "Public Declare Function GetPrivateProfileString Lib \"kernel32\" Alias "
                            "\"GetPrivateProfileStringA\" (ByVal lpApplicationName As String, ByVal lpKeyName As "
                            "Any) As Long\r\n"));
    }

    void save_writesTheDeclarationAsShown_whenFormatted()
    {
        pickInTree(1);
        window().mnuFormat->trigger();
        QVERIFY(window().mnuFormat->isChecked());
        m_prompter->fileAnswers = {path(QStringLiteral("f.bas"))};
        window().mnuSave->trigger();
        QCOMPARE(contentOf(path(QStringLiteral("f.bas"))),
                 QByteArray("Attribute VB_Name = \"Api_GetTickCount\"\r\n' Created by Vorn\r\n"
                            "Public Declare Function GetTickCount Lib \"kernel32\" ( _\r\n\t\t\t) As Long\r\n"));
    }

    void save_nameWithSpaces_offersUnderscores()
    {
        pickInTree(1);
        window().lblFunctionName->setText(QStringLiteral("Get Tick Count"));
        window().mnuSave->trigger();
        QCOMPARE(m_prompter->fileDialogs.constFirst().initialName, QStringLiteral("Get_Tick_Count"));
    }

    void save_cancelled_writesNothingAndSaysNothing()
    {
        pickInTree(1);
        m_prompter->fileAnswers = {std::nullopt};
        window().mnuSave->trigger();
        QCOMPARE(m_prompter->fileDialogs.size(), 1);
        QVERIFY(m_prompter->messages.isEmpty());
        QVERIFY(QDir(m_dir->path()).isEmpty());
    }

    void save_overAnExistingFile_replacesItWhole()
    {
        pickInTree(1);
        const QString target = path(QStringLiteral("GetTickCount.bas"));
        {
            QFile old(target);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write(QByteArray(4000, 'z'));
        }
        m_prompter->fileAnswers = {target};
        window().mnuSave->trigger();
        QCOMPARE(contentOf(target), tickModule);
    }

    void save_intoAFolderThatCannotBeWritten_saysSoAndLeavesTheOldFile()
    {
        pickInTree(1);
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("locked")));
        const QString folder = path(QStringLiteral("locked"));
        const QString target = folder + QStringLiteral("/GetTickCount.bas");
        const QByteArray old("' the user's own module\r\n");
        {
            QFile file(target);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(old);
        }
        m_prompter->fileAnswers = {target};
        {
            UnwritableFolder locked(m_dir->path(), folder);
            if (!locked.isUnwritable())
                QSKIP("the folder stays writable for this user");
            window().mnuSave->trigger();
        }
        QCOMPARE(m_prompter->messages.size(), 1);
        const ScriptedPrompter::Message message = m_prompter->messages.constFirst();
        QCOMPARE(message.text, QStringLiteral("Runtime Error '75'\r\nPath/File access error"));
        QCOMPARE(message.caption, QStringLiteral("Vorn"));
        QCOMPARE(message.icon, Prompter::Icon::Critical);
        QCOMPARE(contentOf(target), old);
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList({"GetTickCount.bas"}));
    }

    void save_ontoAFolder_saysSoAndLeavesIt()
    {
        pickInTree(1);
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("GetTickCount.bas")));
        m_prompter->fileAnswers = {path(QStringLiteral("GetTickCount.bas"))};
        window().mnuSave->trigger();
        QCOMPARE(m_prompter->messages.size(), 1);
        QCOMPARE(m_prompter->messages.constFirst().text, QStringLiteral("Runtime Error '75'\r\nPath/File access error"));
        QCOMPARE(m_prompter->messages.constFirst().icon, Prompter::Icon::Critical);
        QVERIFY(QFileInfo(path(QStringLiteral("GetTickCount.bas"))).isDir());
    }

    void save_pastTheFileSizeLimit_saysSoAndLeavesTheOldFile()
    {
        pickInTree(1);
        const QString target = path(QStringLiteral("GetTickCount.bas"));
        const QByteArray old("' the user's own module\r\n");
        {
            QFile file(target);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(old);
        }
        m_prompter->fileAnswers = {target};
        {
            // The module with its description is larger than any file may grow.
            const FileSizeLimit limit(100);
            QVERIFY(limit.isSet());
            window().mnuFullSave->trigger();
        }
        QCOMPARE(m_prompter->messages.size(), 1);
        QCOMPARE(m_prompter->messages.constFirst().text, QStringLiteral("Runtime Error '57'\r\nDevice I/O error"));
        QCOMPARE(m_prompter->messages.constFirst().icon, Prompter::Icon::Critical);
        QCOMPARE(contentOf(target), old);
        QCOMPARE(QDir(m_dir->path()).entryList({QStringLiteral("GetTickCount*")}, QDir::AllEntries | QDir::Hidden),
                 QStringList({"GetTickCount.bas"}));
    }

    void save_intoAMissingFolder_saysPathNotFound()
    {
        pickInTree(1);
        m_prompter->fileAnswers = {path(QStringLiteral("gone/GetTickCount.bas"))};
        window().mnuSave->trigger();
        QCOMPARE(m_prompter->messages.size(), 1);
        QCOMPARE(m_prompter->messages.constFirst().text, QStringLiteral("Runtime Error '76'\r\nPath not found"));
        QCOMPARE(m_prompter->messages.constFirst().icon, Prompter::Icon::Critical);
    }

    // --- copy ----------------------------------------------------------------------------

    void copyShortcuts_putTheirFieldOnTheClipboard_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Ctrl+N name") << int(Qt::Key_N) << QStringLiteral("GetTickCount");
        QTest::newRow("Ctrl+D declaration") << int(Qt::Key_D) << tickDeclaration;
        QTest::newRow("Ctrl+C description") << int(Qt::Key_C) << tickDescription;
    }

    void copyShortcuts_putTheirFieldOnTheClipboard()
    {
        QFETCH(int, key);
        QFETCH(QString, expected);
        showAndActivate();
        pickInTree(1);
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        press(Qt::Key(key));
        QCOMPARE(QGuiApplication::clipboard()->text(), expected);
        const QMimeData *data = QGuiApplication::clipboard()->mimeData();
        QVERIFY(data);
        QCOMPARE(data->formats(), QStringList({"text/plain"}));
    }

    // Ctrl+C used to copy the whole description even with text selected in a box.
    void ctrlC_copiesTheSelection_elseTheDescription_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("selectAll");
        QTest::addColumn<QString>("expected");
        QString shownDescription = tickDescription;
        shownDescription.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        QTest::newRow("declaration selected") << "txtFunction" << QString() << true << tickDeclaration;
        QTest::newRow("description selected") << "txtComment" << QString() << true << shownDescription;
        QTest::newRow("description, nothing selected") << "txtComment" << QString() << false << tickDescription;
        QTest::newRow("search text selected") << "cboSearch" << "beep" << true << "beep";
        QTest::newRow("search text, nothing selected") << "cboSearch" << "beep" << false << tickDescription;
    }

    void ctrlC_copiesTheSelection_elseTheDescription()
    {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(bool, selectAll);
        QFETCH(QString, expected);
        showAndActivate();
        pickInTree(1);
        QWidget *target = window().findChild<QWidget *>(box);
        QVERIFY(target);
        if (auto *textBox = qobject_cast<TextBox *>(target)) {
            QTest::mouseClick(textBox->viewport(), Qt::LeftButton);
        } else {
            window().mnuSearch->trigger();
            QTest::mouseClick(window().picSearch->cboSearch->lineEdit(), Qt::LeftButton);
        }
        QTRY_COMPARE(QApplication::focusWidget(), target);
        QTest::keyClicks(QApplication::focusWidget(), typed);
        if (selectAll)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), expected);
    }

    void copyDeclaration_whenFormatted_copiesItAsShown()
    {
        showAndActivate();
        pickInTree(2);
        window().mnuFormat->trigger();
        const QString shown = window().txtFunction->text();
        QVERIFY(shown.contains(QStringLiteral("( _\r\n\t\t\tByVal lpApplicationName As String, _\r\n\t\t\tByVal")));
        press(Qt::Key_D);
        QCOMPARE(QGuiApplication::clipboard()->text(), shown);
    }

    void copyEmptyDescription_leavesTheClipboardEmpty()
    {
        showAndActivate();
        pickInTree(2);
        QGuiApplication::clipboard()->setText(QStringLiteral("what was there before"));
        press(Qt::Key_C);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString());
    }

    void copyEntries_fromTheMenu()
    {
        pickInTree(1);
        window().mnuCopy[0]->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("GetTickCount"));
        window().mnuCopy[1]->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), tickDeclaration);
        window().mnuCopy[2]->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), tickDescription);
    }

    // --- print ---------------------------------------------------------------------------

    void print_withoutAPrinter_goesIntoTheChosenPdf()
    {
        if (!QPrinterInfo::defaultPrinter().isNull())
            QSKIP("this machine has a printer: printing would put paper out");
        pickInTree(1);
        const QString pdf = path(QStringLiteral("GetTickCount.pdf"));
        m_prompter->fileAnswers = {pdf};
        window().mnuPrint->trigger();
        QVERIFY(m_prompter->messages.isEmpty());
        QCOMPARE(m_prompter->fileDialogs.size(), 1);
        QCOMPARE(m_prompter->fileDialogs.constFirst().initialName, QStringLiteral("GetTickCount.pdf"));
        const QByteArray bytes = contentOf(pdf);
        QVERIFY(bytes.startsWith("%PDF"));
        QVERIFY(bytes.size() > 500);

        if (!PdfText::available())
            QSKIP("pdftotext (poppler-utils) is not installed to read the PDF back");
        const std::optional<QString> text = PdfText::text(pdf);
        QVERIFY(text);
        // The declaration as shown (not made public), then the two description lines.
        const qsizetype declarationAt = text->indexOf(tickDeclaration);
        const qsizetype firstAt = text->indexOf(Texts::alreadyRunning);
        const qsizetype secondAt = text->indexOf(Texts::mnuCopy2);
        QVERIFY2(declarationAt >= 0 && firstAt > declarationAt && secondAt > firstAt, qPrintable(*text));
        // Two empty lines between the declaration and the description.
        const QStringList lines = text->mid(declarationAt).split(QLatin1Char('\n'));
        QVERIFY(lines.size() > 3);
        QVERIFY(lines.at(1).trimmed().isEmpty());
        QVERIFY(lines.at(2).trimmed().isEmpty());
        QVERIFY(lines.at(3).contains(Texts::alreadyRunning));
        // Right to left: the description's line ends at the right edge of the page.
        const qsizetype lineStart = text->lastIndexOf(QLatin1Char('\n'), firstAt) + 1;
        QVERIFY2(firstAt - lineStart > 20, "the description is not laid out from the right");
    }

    void print_cancelled_printsNothingAndSaysNothing()
    {
        if (!QPrinterInfo::defaultPrinter().isNull())
            QSKIP("this machine has a printer: printing would put paper out");
        pickInTree(1);
        m_prompter->fileAnswers = {std::nullopt};
        window().mnuPrint->trigger();
        QCOMPARE(m_prompter->fileDialogs.size(), 1);
        QVERIFY(m_prompter->messages.isEmpty());
        QVERIFY(QDir(m_dir->path()).isEmpty());
    }

    // The PDF went straight to the printer's file: an existing PDF was cut to pieces by a
    // failed write (a full disk) and success was reported. It is now made beside and put
    // in place when whole; a failure is reported in the style of a failed save.
    void print_failingWrite_destroyedTheExistingPdf_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<qint64>("sizeLimit"); // 0: none
        QTest::addColumn<QString>("message");
        QTest::newRow("a full disk") << "old.pdf" << qint64(4096) << "Runtime Error '57'\r\nDevice I/O error";
        QTest::newRow("a missing folder") << "gone/out.pdf" << qint64(0) << "Runtime Error '76'\r\nPath not found";
    }

    void print_failingWrite_destroyedTheExistingPdf()
    {
        QFETCH(QString, name);
        QFETCH(qint64, sizeLimit);
        QFETCH(QString, message);
        if (!QPrinterInfo::defaultPrinter().isNull())
            QSKIP("this machine has a printer: printing would put paper out");
        const QByteArray old = "%PDF-1.4 the user's own document\n%%EOF\n";
        {
            QFile file(path(QStringLiteral("old.pdf")));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(old);
        }
        pickInTree(1);
        m_prompter->fileAnswers = {path(name)};
        {
            const std::optional<FileSizeLimit> limit = sizeLimit ? std::make_optional<FileSizeLimit>(sizeLimit) : std::nullopt;
            window().mnuPrint->trigger();
        }
        QCOMPARE(m_prompter->messages.size(), 1);
        QCOMPARE(m_prompter->messages.constFirst().text, message);
        QCOMPARE(m_prompter->messages.constFirst().caption, QStringLiteral("Vorn"));
        QCOMPARE(m_prompter->messages.constFirst().icon, Prompter::Icon::Critical);
        QCOMPARE(contentOf(path(QStringLiteral("old.pdf"))), old);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList{QStringLiteral("old.pdf")});
    }
};

QTEST_MAIN(tst_OutputCommands)
#include "tst_outputcommands.moc"
