// Taking the shown function away: saving it as a module (Ctrl+S, the File entries), the
// copy shortcuts and the copy button, and printing, on paper or into a PDF. The module's
// bytes and the printed lines are tested in tests/output; here what the window hands them
// and what comes out on the page.
#include "MainWindowTest.h"
#include "platform/Windows1256.h"
#include "support/FileSizeLimit.h"
#include "support/PdfText.h"
#include "ui/main/PrintOut.h"
#include "ui/main/SearchPanel.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTemporaryDir>

namespace {

const QString tickDeclaration = QStringLiteral("Private Declare Function GetTickCount Lib \"kernel32\" () As Long");
const QString profileDeclaration = QStringLiteral(
    "Private Declare Function GetPrivateProfileString Lib \"kernel32\" (ByVal lpApplicationName As String) As Long");
// Two lines of Persian: the description of the first function.
const QString tickDescription = Texts::alreadyRunning + QStringLiteral("\r\n") + Texts::mnuCopy2;
const QByteArray tickModule = "Attribute VB_Name = \"Api_GetTickCount\"\r\n' Created by Vorn\r\n"
                              "Public Declare Function GetTickCount Lib \"kernel32\" () As Long\r\n";
// Texts::alreadyRunning and Texts::mnuCopy2 in Windows-1256.
const QByteArray alreadyRunning1256 = QByteArray::fromHex("c7 ed e4 20 c8 d1 e4 c7 e3 e5 20 cf d1 20 cd c7 e1 20 c7 cc d1 c7 d3 ca");
const QByteArray copyDescription1256 = QByteArray::fromHex("98 81 ed 20 ca e6 d6 ed cd c7 ca");
const QString courier = QStringLiteral("Courier New");

QByteArray contentOf(const QString &path) { QFile file(path); return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("?"); }

bool printToPdf(const QString &path, const QList<PrintJob::Line> &lines)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    return PrintOut::print(printer, lines);
}

} // namespace

class tst_Takeaway : public QObject
{
    Q_OBJECT

    MainWindowTest t;
    std::unique_ptr<QTemporaryDir> m_dir;

    QString path(const QString &name) const { return m_dir->filePath(name); }

    // Picks the function at the position in the catalogue with the mouse, in the letter tree.
    void pick(int position)
    {
        t.click(QStringLiteral("Alf_F_%1").arg(position));
        QCOMPARE(QApplication::focusWidget(), named<QTreeView>(t.main.get(), "trvApi"));
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QGuiApplication::clipboard()->clear();
        QVERIFY(t.open({record("GetTickCount", tickDeclaration, "kernel32", {}, tickDescription),
                        record("GetPrivateProfileString", profileDeclaration, "kernel32")}));
        t.main->setGeometry(20, 20, 620, 420); // room below for the copy menu
    }

    void cleanup()
    {
        if (QWidget *popup = QApplication::activePopupWidget())
            popup->close();
        t.close();
    }

    // Nothing before a pick; cancelled, the save says nothing; failed, it says why. The
    // module holds the declaration as shown; full save adds the description in Windows-1256.
    void ctrlS_savesOnlyOnceAFunctionIsPicked()
    {
        named<QTreeView>(t.main.get(), "trvApi")->setFocus();
        t.prompter->fileAnswers = {std::nullopt, path("gone/x.bas"), path("f.bas"), path("full.bas")};
        press(Qt::Key_S);
        QVERIFY(t.prompter->fileDialogs.isEmpty());
        pick(1);
        press(Qt::Key_S);
        t.saidOnly({});
        press(Qt::Key_S);
        t.saidOnly(QStringLiteral("Runtime Error '76'\r\nPath not found"));
        QVERIFY(QDir(m_dir->path()).isEmpty());
        const auto savedSign = [this] { return named<StatusPanels>(t.main.get(), "StatusBar")->text(QStringLiteral("prog")); };
        QCOMPARE(savedSign(), QString()); // nothing saved, nothing said
        named<QAction>(t.main.get(), "mnuFormat")->trigger();
        press(Qt::Key_S);
        const ScriptedPrompter::FileDialog dialog = t.prompter->fileDialogs.constLast();
        QCOMPARE(dialog.filter, QStringLiteral("Module File(*.bas)|*.bas|All Files(*.*)|*.*"));
        QCOMPARE(dialog.defaultSuffix, QStringLiteral("bas"));
        QCOMPARE(dialog.initialName, QStringLiteral("GetTickCount"));
        QCOMPARE(contentOf(path("f.bas")), QByteArray("Attribute VB_Name = \"Api_GetTickCount\"\r\n' Created by Vorn\r\n"
                                                      "Public Declare Function GetTickCount Lib \"kernel32\" ( _\r\n    ) As Long\r\n"));
        // The fault: saving gave no sign that it worked.
        QCOMPARE(savedSign(), Texts::savedPrefix + QChar(0x2068) + "f.bas" + QChar(0x2069));
        named<QAction>(t.main.get(), "mnuFormat")->trigger();
        named<QAction>(t.main.get(), "mnuFullSave")->trigger();
        QCOMPARE(contentOf(path("full.bas")),
                 tickModule + "\r\n\r\n\r\n' " + alreadyRunning1256 + "\r\n' " + copyDescription1256 + "\r\n");
        t.saidOnly({});
    }

    // A function that only 64-bit Basic calls (cdecl in 32 bits) has the VBA7 form alone. The
    // classic view shows the line that says so, and Ctrl+S saves that line with the form
    // under "#If Win64 Then"; switched to VBA7, the form with its 64-bit note, saved the same.
    void vba7OnlyFunction_savedUnderWin64FromEitherView()
    {
        const QString form = QStringLiteral("Private Declare PtrSafe Function ldap_unbind Lib \"wldap32\" (ByVal ld As LongPtr) As Long");
        QVERIFY(t.open({record("ldap_unbind", QString(), "wldap32", {}, tickDescription, form)}));
        pick(1);
        TextBox *shown = named<TextBox>(t.main.get(), "txtFunction");
        QLabel *facts = named<QLabel>(t.main.get(), "lblFacts");
        QCOMPARE(shown->text(), Texts::noClassicDeclaration);
        QVERIFY(!facts->text().contains(QStringLiteral("64")));
        t.prompter->fileAnswers = {path("classic.bas"), path("vba7.bas")};
        press(Qt::Key_S);
        const QByteArray head = "Attribute VB_Name = \"Api_ldap_unbind\"\r\n' Created by Vorn\r\n";
        const QByteArray block = "#If Win64 Then\r\n    Public Declare PtrSafe Function ldap_unbind Lib \"wldap32\" (ByVal ld As LongPtr) As Long\r\n#End If\r\n";
        QCOMPARE(contentOf(path("classic.bas")), head + Windows1256::encode(Texts::noClassicDeclaration) + "\r\n" + block);
        QAction *vba7 = named<QAction>(t.main.get(), "mnuVba7");
        QVERIFY(vba7->isEnabled());
        vba7->trigger();
        QCOMPARE(shown->text(), form);
        QVERIFY2(facts->text().contains(QStringLiteral("فقط براي Office 64 بيتي")), qPrintable(facts->text()));
        press(Qt::Key_S);
        QCOMPARE(contentOf(path("vba7.bas")), head + block);
        t.saidOnly({});
    }

    // The copy shortcuts from the tree, and Ctrl+C in the boxes. The fault: Ctrl+C copied
    // the whole description even with text selected in a box.
    void ctrlCCopiedTheDescriptionOverASelection_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("box"); // empty: the tree
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("selectAll");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("expected");
        QString shownDescription = tickDescription;
        shownDescription.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        QTest::newRow("Ctrl+N name") << 1 << "" << "" << false << int(Qt::Key_N) << "GetTickCount";
        QTest::newRow("Ctrl+D declaration") << 1 << "" << "" << false << int(Qt::Key_D) << tickDeclaration;
        QTest::newRow("Ctrl+C description") << 1 << "" << "" << false << int(Qt::Key_C) << tickDescription;
        QTest::newRow("Ctrl+C no description") << 2 << "" << "" << false << int(Qt::Key_C) << QString();
        QTest::newRow("declaration selected") << 1 << "txtFunction" << "" << true << int(Qt::Key_C) << tickDeclaration;
        QTest::newRow("description selected") << 1 << "txtComment" << "" << true << int(Qt::Key_C) << shownDescription;
        QTest::newRow("description, nothing selected") << 1 << "txtComment" << "" << false << int(Qt::Key_C) << tickDescription;
        QTest::newRow("search text selected") << 1 << "cboSearch" << "beep" << true << int(Qt::Key_C) << "beep";
        QTest::newRow("search text, nothing selected") << 1 << "cboSearch" << "beep" << false << int(Qt::Key_C) << tickDescription;
    }

    void ctrlCCopiedTheDescriptionOverASelection()
    {
        QFETCH(int, position);
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(bool, selectAll);
        QFETCH(int, key);
        QFETCH(QString, expected);
        pick(position);
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        if (!box.isEmpty()) {
            QWidget *target = t.main->findChild<QWidget *>(box);
            QVERIFY(target);
            if (box == "cboSearch")
                named<QAction>(t.main.get(), "mnuSearch")->trigger();
            QTest::mouseClick(box == "cboSearch" ? named<QComboBox>(t.main.get(), "cboSearch")->lineEdit()
                                                 : static_cast<TextBox *>(target)->viewport(), Qt::LeftButton);
            QTRY_COMPARE(QApplication::focusWidget(), target);
        }
        type(typed);
        if (selectAll)
            press(Qt::Key_A);
        press(Qt::Key(key));
        QCOMPARE(QGuiApplication::clipboard()->text(), expected);
        if (!expected.isEmpty())
            QCOMPARE(QGuiApplication::clipboard()->mimeData()->formats(), QStringList({"text/plain"}));
    }

    // The fault: the copy menu popped up away from the button; it hangs from its lower left.
    void copyButtonsMenuPoppedUpAwayFromIt()
    {
        pick(1);
        QTest::mouseClick(named<QPushButton>(t.main.get(), "cmdCopy"), Qt::LeftButton);
        QMenu *menu = named<QMenu>(t.main.get(), "mnuCopyRoot");
        QTRY_VERIFY(menu->isVisible());
        QCOMPARE(menu->geometry().topLeft(), named<QPushButton>(t.main.get(), "cmdCopy")->mapToGlobal(QPoint(0, named<QPushButton>(t.main.get(), "cmdCopy")->height())));
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(named<QAction>(t.main.get(), "mnuCopy0")).center());
        QTRY_VERIFY(!menu->isVisible());
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("GetTickCount"));
    }

    // Without a printer the page goes into the PDF the user names. The fault: it went
    // straight into that file, and a failed write (a full disk) cut an existing PDF to
    // pieces while success was reported; it is made beside and put in place when whole.
    void printFailingWriteDestroyedTheExistingPdf_data()
    {
        QTest::addColumn<QString>("name"); // empty: cancelled
        QTest::addColumn<qint64>("sizeLimit"); // 0: none
        QTest::addColumn<QString>("message"); // empty: none
        QTest::newRow("written") << "new.pdf" << qint64(0) << QString();
        QTest::newRow("a full disk") << "old.pdf" << qint64(4096) << "Runtime Error '57'\r\nDevice I/O error";
        QTest::newRow("a missing folder") << "gone/out.pdf" << qint64(0) << "Runtime Error '76'\r\nPath not found";
        QTest::newRow("cancelled") << QString() << qint64(0) << QString();
    }

    void printFailingWriteDestroyedTheExistingPdf()
    {
        QFETCH(QString, name);
        QFETCH(qint64, sizeLimit);
        QFETCH(QString, message);
        if (!QPrinterInfo::defaultPrinter().isNull())
            QSKIP("this machine has a printer: printing would put paper out");
        const QByteArray old = "%PDF-1.4 the user's own document\n%%EOF\n";
        QFile file(path("old.pdf"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(old) == old.size());
        file.close();
        pick(1);
        t.prompter->fileAnswers = {name.isEmpty() ? std::nullopt : std::make_optional(path(name))};
        {
            const std::optional<FileSizeLimit> limit = sizeLimit ? std::make_optional<FileSizeLimit>(sizeLimit) : std::nullopt;
            named<QAction>(t.main.get(), "mnuPrint")->trigger();
        }
        QCOMPARE(t.prompter->fileDialogs.constFirst().initialName, QStringLiteral("GetTickCount.pdf"));
        t.saidOnly(message);
        QCOMPARE(contentOf(path("old.pdf")), old);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 (name == "new.pdf" ? QStringList{"new.pdf", "old.pdf"} : QStringList{"old.pdf"}));
        if (name == "new.pdf" && PdfText::available()) // the declaration as shown, not made public
            QVERIFY(PdfText::text(path(name)).value_or(QString()).contains(tickDeclaration));
    }

    // The fault: long lines ran past the page edge and were lost on paper. Every word is
    // printed, in order, inside margins of at least 10 mm, on as many pages as it takes;
    // a description right to left.
    void longLineWasCutAtThePageEdge_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("font");
        QTest::addColumn<bool>("rightToLeft");
        QTest::newRow("declaration") << "ByVal" << 60 << courier << false;
        QTest::newRow("description") << QStringLiteral("پيام") << 60 << QStringLiteral("Tahoma") << true;
        QTest::newRow("one long word") << QString(300, QLatin1Char('x')) << 1 << courier << false;
        QTest::newRow("pages of it") << "ByVal" << 1500 << courier << false;
    }

    void longLineWasCutAtThePageEdge()
    {
        QFETCH(QString, word);
        QFETCH(int, count);
        QFETCH(QString, font);
        QFETCH(bool, rightToLeft);
        if (!PdfText::available())
            QSKIP("pdftotext (poppler-utils) is not installed");
        QStringList words;
        for (int i = 0; i < count; ++i)
            words << (i == 0 && rightToLeft ? QStringLiteral("تابع") : word + QString::number(i));
        const QList<PrintJob::Line> lines = {{words.join(QLatin1Char(' ')), font, rightToLeft}};
        QVERIFY(!printToPdf(path("no such folder/out.pdf"), lines));
        QVERIFY(printToPdf(path("out.pdf"), lines));
        const std::optional<PdfText::Document> document = PdfText::words(path("out.pdf"));
        QVERIFY(document);
        QCOMPARE(document->pageSizes.size() > 1, count > 1000);
        const double margin = 10 / 25.4 * 72 - 0.5;
        QString printed;
        const PdfText::Word *first = nullptr; // the top line's rightmost word, or its first
        for (const PdfText::Word &w : document->words) {
            const QSizeF page = document->pageSizes.at(w.page);
            QVERIFY2(w.box.left() >= margin && w.box.right() <= page.width() - margin
                         && w.box.top() >= margin && w.box.bottom() <= page.height() - margin, qPrintable(w.text));
            printed += w.text;
            if (!first || w.box.top() < first->box.top() - 1
                || (qAbs(w.box.top() - first->box.top()) <= 1 && rightToLeft && w.box.right() > first->box.right()))
                first = &w;
        }
        QVERIFY(document->words.size() >= 2); // wrapped onto more than one line
        // Every letter is on paper (right-to-left lines come back in the order they are seen).
        const auto letters = [rightToLeft](QString text) {
            text.remove(QLatin1Char(' '));
            if (rightToLeft)
                std::sort(text.begin(), text.end());
            return text;
        };
        QCOMPARE(letters(printed), letters(PdfText::folded(words.join(QString()))));
        if (rightToLeft) // the first word stands at the right of the first line
            QVERIFY2(first && PdfText::folded(words.constFirst()).startsWith(first->text), qPrintable(first->text));
    }

    // The fault: on paper the code inside a Persian description was reordered, "-1" as
    // "1-", "ByVal 0&" as "&ByVal 0", "&H40" as "H40&"; the screen showed it right.
    void printReorderedCodeInPersian_data()
    {
        QTest::addColumn<QString>("code");
        QTest::newRow("-1") << "-1";
        QTest::newRow("ByVal 0&") << "ByVal 0&";
        QTest::newRow("&H40") << "&H40";
        QTest::newRow("a call") << "CreateFile(lpFileName, 0)";
    }
    void printReorderedCodeInPersian()
    {
        QFETCH(QString, code);
        if (!PdfText::available())
            QSKIP("pdftotext (poppler-utils) is not installed");
        const QString line = QStringLiteral("در صورت خطا ") + code + QStringLiteral(" را برمي گرداند");
        QVERIFY(printToPdf(path("code.pdf"), {{line, QStringLiteral("Tahoma"), true}}));
        const std::optional<PdfText::Document> document = PdfText::words(path("code.pdf"));
        QVERIFY(document);
        QList<PdfText::Word> latin; // the code's words, left to right on the page
        for (const PdfText::Word &w : document->words) {
            if (std::any_of(w.text.begin(), w.text.end(), [](QChar c) { return c.unicode() < 0x80; }))
                latin << w;
        }
        std::sort(latin.begin(), latin.end(), [](const auto &a, const auto &b) { return a.box.left() < b.box.left(); });
        QString printed;
        for (const PdfText::Word &w : latin)
            printed += w.text;
        QCOMPARE(printed, QString(code).remove(QLatin1Char(' ')));
    }
};

QTEST_MAIN(tst_Takeaway)
#include "tst_takeaway.moc"
