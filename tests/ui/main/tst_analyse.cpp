#include "platform/Texts.h"
#include "support/AsNobody.h"
#include "support/ScriptedPrompter.h"
#include "support/TestCatalogue.h"
#include "ui/main/AnalysePanel.h"
#include "ui/main/StatusPanels.h"
#include "ui/main/TextBox.h"
#include "ui/main/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>

namespace {

QString importsExe()
{
    return qEnvironmentVariable("VORN_TEST_DATA") + QStringLiteral("/../../find/data/imports.exe");
}

std::vector<CatalogueRecord> records()
{
    // imports.exe imports CreateFileA, CloseThreadpoolWait, GetProcAddress, MessageBoxA...
    return {
        record(QStringLiteral("MessageBox"), QStringLiteral("Declare Function MessageBox")),
        record(QStringLiteral("CreateFileA"), QStringLiteral("Declare Function CreateFileA")),
        record(QStringLiteral("CreateFile"), QStringLiteral("Declare Function CreateFile")),
        record(QStringLiteral("getprocaddress"), QStringLiteral("Declare Function getprocaddress")),
        record(QStringLiteral("Beep"), QStringLiteral("Declare Function Beep")),
        record(QStringLiteral("CloseThreadpool"), QStringLiteral("Declare Function CloseThreadpool")),
    };
}

QStringList listTexts(const QListWidget *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts.append(list->item(i)->text());
    return texts;
}

QString found(int n)
{
    return Texts::foundPrefix + QString::number(n) + Texts::foundSuffix;
}

} // namespace

class tst_Analyse : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void panel_controlsAndCaptions();
    void notice_shownOncePerRun();
    void browse_exactFilter_pathShown_namesInRecordOrder();
    void browse_nothingFound_status();
    void emptyFile_notExecutable_listKept();
    void textWithZThird_passesAndIsScanned();
    void cancel_afterEarlierAnalysis_showsEarlierCount();
    void directory_runtimeError_listKept();
    void pipeOrUnreadable_runtimeError_listKept_data();
    void pipeOrUnreadable_runtimeError_listKept();
    void oneByteFile_notExecutable();
    void resultClick_showsFunction_enablesSaveAndPrint();
    void largeFile_progressBarExactlyOverProgPanel_eventsRunDuringScan();
    void secondScan_leavesTheShownFunctionAndSaveAlone();
    void recordsetMovedDuringScan_resultUnchanged();
    void browseDuringScan_ignored();
    void windowClosedDuringScan_stopsTheScan();
    void emptyCatalogue_barNotBusy();

private:
    QString write(const QByteArray &content);
    QString writeLarge();

    ScriptedPrompter *m_prompter = nullptr;
    frmMain *m_main = nullptr;
    AnalysePanel *m_panel = nullptr;
    QTemporaryDir *m_dir = nullptr;
    int m_files = 0;
};

void tst_Analyse::init()
{
    m_prompter = new ScriptedPrompter;
    m_main = new frmMain(*m_prompter);
    m_main->setRecordset(recordsetOf(records()));
    m_main->BuildCatalogueTree();
    m_panel = m_main->picAnalyse;
    m_dir = new QTemporaryDir;
    QVERIFY(m_dir->isValid());
    QVERIFY2(QFile::exists(importsExe()), "run under ctest, which tells where the test data is");
}

void tst_Analyse::cleanup()
{
    delete m_main;
    delete m_prompter;
    delete m_dir;
}

QString tst_Analyse::write(const QByteArray &content)
{
    const QString path = m_dir->filePath(QStringLiteral("file%1.exe").arg(++m_files));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        return {};
    return path;
}

QString tst_Analyse::writeLarge()
{
    // Several pieces of the reader, with one name near the very end.
    QByteArray content(5 * 1024 * 1024 + 123, Qt::Uninitialized);
    QRandomGenerator random(7);
    for (char &c : content)
        c = static_cast<char>(random.bounded(256));
    content.replace(0, 2, "MZ");
    content.replace(content.size() - 6, 4, "Beep");
    return write(content);
}

void tst_Analyse::panel_controlsAndCaptions()
{
    QCOMPARE(m_panel->objectName(), QStringLiteral("picAnalyse"));
    QCOMPARE(m_panel->lblAnalyse->text(), Texts::lblAnalyse);
    QCOMPARE(m_panel->cmdBrowse->text(), Texts::cmdBrowse);
    QVERIFY(m_panel->isHidden());
    QVERIFY(m_main->ProgressBar->isHidden());
    QVERIFY(!m_panel->AnalyseNoticeShown());
}

void tst_Analyse::notice_shownOncePerRun()
{
    m_main->mnuAnalyse->trigger();
    QCOMPARE(m_prompter->messages.size(), 1);
    QCOMPARE(m_prompter->messages[0].text, Texts::analyseNoticeLine1 + QStringLiteral("\r\n") + Texts::analyseNoticeLine2);
    QCOMPARE(m_prompter->messages[0].caption, QStringLiteral("Vorn"));
    QCOMPARE(m_prompter->messages[0].icon, Prompter::Icon::Information);
    QVERIFY(m_main->mnuAnalyse->isChecked());
    QVERIFY(m_panel->isVisibleTo(m_main));
    m_main->mnuTreeApi->trigger();
    m_main->mnuAnalyse->trigger();
    m_main->mnuAnalyse->trigger();
    QCOMPARE(m_prompter->messages.size(), 1);
    QVERIFY(m_panel->AnalyseNoticeShown());
}

void tst_Analyse::browse_exactFilter_pathShown_namesInRecordOrder()
{
    m_prompter->fileAnswers = {importsExe()};
    m_panel->cmdBrowse->click();
    QCOMPARE(m_prompter->fileDialogs.size(), 1);
    QCOMPARE(m_prompter->fileDialogs[0].filter,
             QStringLiteral("All Supported Files|*.exe;*.ocx;*.dll|Executeble Files (*.exe)|*.exe|ActiveX Files (*.ocx)|*.ocx|"
                            "Dynamic Linked Librery (*.dll)|*.dll|All Files|*.*"));
    QCOMPARE(m_panel->txtFileName->text(), importsExe());
    // The file imports only CreateFileA: CreateFile is found through it. The name in
    // another letter case is not; CloseThreadpool is found inside CloseThreadpoolWait.
    QCOMPARE(listTexts(m_panel->lstAnalyseApi),
             (QStringList{QStringLiteral("MessageBox"), QStringLiteral("CreateFileA"), QStringLiteral("CreateFile"),
                          QStringLiteral("CloseThreadpool")}));
    QCOMPARE(m_main->statusPanels()->text(QStringLiteral("name")), found(4));
    QVERIFY(m_main->ProgressBar->isHidden());
    QCOMPARE(m_main->ProgressBar->maximum(), 6);
    QCOMPARE(m_main->ProgressBar->value(), 6);
    QVERIFY(m_prompter->messages.isEmpty());
    QVERIFY(m_panel->cmdBrowse->isEnabled());
}

void tst_Analyse::browse_nothingFound_status()
{
    m_prompter->fileAnswers = {write("MZ nothing of the catalogue")};
    m_panel->cmdBrowse->click();
    QCOMPARE(m_panel->lstAnalyseApi->count(), 0);
    QCOMPARE(m_main->statusPanels()->text(QStringLiteral("name")), Texts::noFunctionFound);
}

void tst_Analyse::emptyFile_notExecutable_listKept()
{
    m_prompter->fileAnswers = {importsExe(), write({})};
    m_panel->cmdBrowse->click();
    const QStringList earlier = listTexts(m_panel->lstAnalyseApi);
    m_panel->cmdBrowse->click();
    QCOMPARE(m_prompter->messages.size(), 1);
    QCOMPARE(m_prompter->messages[0].text, Texts::notExecutable);
    QCOMPARE(m_prompter->messages[0].caption, QStringLiteral("Vorn"));
    QCOMPARE(m_prompter->messages[0].icon, Prompter::Icon::Critical);
    QCOMPARE(listTexts(m_panel->lstAnalyseApi), earlier);
    QCOMPARE(m_main->statusPanels()->text(QStringLiteral("name")), found(4));
    QVERIFY(m_main->ProgressBar->isHidden());
}

void tst_Analyse::textWithZThird_passesAndIsScanned()
{
    m_prompter->fileAnswers = {write("abZ text calling Beep"), write("MZ"),
                               write(QByteArray("\0\0\0\0\x03 Beep", 10))};
    m_panel->cmdBrowse->click();
    QCOMPARE(listTexts(m_panel->lstAnalyseApi), QStringList{QStringLiteral("Beep")});
    m_panel->cmdBrowse->click();
    QCOMPARE(m_panel->lstAnalyseApi->count(), 0);
    QCOMPARE(m_main->statusPanels()->text(QStringLiteral("name")), Texts::noFunctionFound);
    m_panel->cmdBrowse->click();
    QCOMPARE(listTexts(m_panel->lstAnalyseApi), QStringList{QStringLiteral("Beep")});
    QVERIFY(m_prompter->messages.isEmpty());
}

void tst_Analyse::cancel_afterEarlierAnalysis_showsEarlierCount()
{
    m_prompter->fileAnswers = {importsExe(), std::nullopt};
    m_panel->cmdBrowse->click();
    m_main->statusPanels()->setText(QStringLiteral("name"), QStringLiteral("CreateFile"));
    m_main->ProgressBar->setValue(2);
    m_panel->cmdBrowse->click();
    QCOMPARE(m_prompter->fileDialogs.size(), 2);
    QCOMPARE(m_main->statusPanels()->text(QStringLiteral("name")), found(4));
    QCOMPARE(m_panel->txtFileName->text(), importsExe());
    QCOMPARE(m_main->ProgressBar->value(), 2);
    QVERIFY(m_prompter->messages.isEmpty());
}

void tst_Analyse::directory_runtimeError_listKept()
{
    m_prompter->fileAnswers = {importsExe(), m_dir->path()};
    m_panel->cmdBrowse->click();
    m_panel->cmdBrowse->click();
    QCOMPARE(m_prompter->messages.size(), 1);
    QCOMPARE(m_prompter->messages[0].text, QStringLiteral("Runtime Error '75'\r\nPath/File access error"));
    QCOMPARE(m_prompter->messages[0].caption, QStringLiteral("Vorn"));
    QCOMPARE(m_prompter->messages[0].icon, Prompter::Icon::Critical);
    QCOMPARE(m_panel->lstAnalyseApi->count(), 4);
    QCOMPARE(m_main->statusPanels()->text(QStringLiteral("name")), found(4));
    QVERIFY(m_main->ProgressBar->isHidden());
}

void tst_Analyse::pipeOrUnreadable_runtimeError_listKept_data()
{
    QTest::addColumn<bool>("pipe");
    QTest::addColumn<QString>("message");
    QTest::newRow("named pipe") << true << QStringLiteral("Runtime Error '75'\r\nPath/File access error");
    QTest::newRow("unreadable") << false << QStringLiteral("Runtime Error '70'\r\nPermission denied");
}

void tst_Analyse::pipeOrUnreadable_runtimeError_listKept()
{
    QFETCH(bool, pipe);
    QFETCH(QString, message);
    QString path;
    if (pipe) {
        // Nobody ever writes into it: reading would wait for ever.
        path = m_dir->filePath(QStringLiteral("pipe.exe"));
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else {
        path = write("MZ Beep");
        QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
        QVERIFY(AsNobody::searchableByEveryone(QFile::encodeName(m_dir->path()).constData()));
    }
    m_prompter->fileAnswers = {importsExe(), path};
    m_panel->cmdBrowse->click();
    if (pipe) {
        m_panel->cmdBrowse->click();
    } else {
        // The superuser reads every file: the test reads as the user nobody.
        const AsNobody nobody;
        if (!nobody.permissionsApply())
            QSKIP("permissions do not apply to this user");
        m_panel->cmdBrowse->click();
    }
    QCOMPARE(m_prompter->messages.size(), 1);
    QCOMPARE(m_prompter->messages[0].text, message);
    QCOMPARE(m_prompter->messages[0].icon, Prompter::Icon::Critical);
    QCOMPARE(m_panel->lstAnalyseApi->count(), 4);
    QCOMPARE(m_main->statusPanels()->text(QStringLiteral("name")), found(4));
    QVERIFY(m_main->ProgressBar->isHidden());
}

void tst_Analyse::oneByteFile_notExecutable()
{
    m_prompter->fileAnswers = {write("M")};
    m_panel->cmdBrowse->click();
    QCOMPARE(m_prompter->messages.size(), 1);
    QCOMPARE(m_prompter->messages[0].text, Texts::notExecutable);
    QCOMPARE(m_panel->lstAnalyseApi->count(), 0);
}

void tst_Analyse::resultClick_showsFunction_enablesSaveAndPrint()
{
    m_main->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_main));
    m_main->mnuAnalyse->trigger();
    m_prompter->fileAnswers = {importsExe()};
    m_panel->cmdBrowse->click();
    m_main->mnuSave->setEnabled(false);
    m_main->mnuFullSave->setEnabled(false);
    m_main->mnuPrint->setEnabled(false);
    QListWidget *list = m_panel->lstAnalyseApi;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(2)).center());
    QCOMPARE(m_main->lblFunctionName->text(), QStringLiteral("CreateFile"));
    QCOMPARE(m_main->txtFunction->text(), QStringLiteral("Declare Function CreateFile"));
    QVERIFY(m_main->mnuSave->isEnabled());
    QVERIFY(m_main->mnuFullSave->isEnabled());
    QVERIFY(m_main->mnuPrint->isEnabled());
}

void tst_Analyse::largeFile_progressBarExactlyOverProgPanel_eventsRunDuringScan()
{
    m_main->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_main));
    m_prompter->fileAnswers = {writeLarge()};
    QList<int> values;
    bool overProgPanel = true;
    QProgressBar *bar = m_main->ProgressBar;
    connect(bar, &QProgressBar::valueChanged, this, [&](int value) {
        values.append(value);
        // On screen: the panel's left edge and width, centred in the status bar's height.
        const QWidget *status = m_main->statusPanels();
        const QWidget *prog = m_main->statusPanels()->panel(QStringLiteral("prog"));
        const QRect barRect(bar->mapToGlobal(QPoint(0, 0)), bar->size());
        const QRect progRect(prog->mapToGlobal(QPoint(0, 0)), prog->size());
        const QRect statusRect(status->mapToGlobal(QPoint(0, 0)), status->size());
        overProgPanel = overProgPanel && bar->isVisible() && barRect.left() == progRect.left()
            && barRect.width() == progRect.width() && statusRect.contains(barRect)
            && qAbs(barRect.center().y() - statusRect.center().y()) <= 1;
    });
    // A call queued before the scan runs while the scan is still going.
    bool ranDuringScan = false;
    QTimer::singleShot(0, this, [&] { ranDuringScan = m_panel->isAnalysing(); });
    m_panel->cmdBrowse->click();
    QVERIFY(ranDuringScan);
    QVERIFY(overProgPanel);
    QVERIFY2(values.size() >= 5, qPrintable(QString::number(values.size())));
    QVERIFY(std::is_sorted(values.cbegin(), values.cend()));
    QCOMPARE(values.constLast(), 6);
    QCOMPARE(listTexts(m_panel->lstAnalyseApi), QStringList{QStringLiteral("Beep")});
    QVERIFY(bar->isHidden());
}

// The browse button is disabled during the scan, so the focus moves on to the result list,
// which makes its first row current: no user's choice.
void tst_Analyse::secondScan_leavesTheShownFunctionAndSaveAlone()
{
    m_main->show();
    m_main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_main));
    m_main->mnuAnalyse->trigger();
    m_prompter->fileAnswers = {importsExe(), importsExe()};
    for (int scan = 0; scan < 2; ++scan) {
        QTest::mouseClick(m_panel->cmdBrowse, Qt::LeftButton);
        QCOMPARE(m_panel->lstAnalyseApi->count(), 4);
        QCOMPARE(m_main->lblFunctionName->text(), Texts::functionNameInitial);
        QVERIFY(!m_main->mnuSave->isEnabled());
    }
    // A key move in the list is the user's and shows the function.
    QTRY_COMPARE(QApplication::focusWidget(), m_panel->lstAnalyseApi);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QCOMPARE(m_main->lblFunctionName->text(), m_panel->lstAnalyseApi->currentItem()->text());
    QVERIFY(m_main->mnuSave->isEnabled());
}

void tst_Analyse::recordsetMovedDuringScan_resultUnchanged()
{
    m_prompter->fileAnswers = {writeLarge()};
    bool moved = false;
    connect(m_main->ProgressBar, &QProgressBar::valueChanged, this, [&](int value) {
        if (value > 0 && !moved) {
            moved = true;
            m_main->ShowFunction(QStringLiteral("CreateFile"));
            m_main->ADO().setAbsolutePosition(3);
        }
    });
    m_panel->cmdBrowse->click();
    QVERIFY(moved);
    QCOMPARE(listTexts(m_panel->lstAnalyseApi), QStringList{QStringLiteral("Beep")});
    QCOMPARE(m_main->lblFunctionName->text(), QStringLiteral("CreateFile"));
}

void tst_Analyse::browseDuringScan_ignored()
{
    m_prompter->fileAnswers = {writeLarge(), importsExe()};
    bool tried = false;
    connect(m_main->ProgressBar, &QProgressBar::valueChanged, this, [&](int value) {
        if (value > 0 && !tried) {
            tried = true;
            QVERIFY(!m_panel->cmdBrowse->isEnabled());
            m_panel->cmdBrowse_Click();
        }
    });
    m_panel->cmdBrowse->click();
    QVERIFY(tried);
    QCOMPARE(m_prompter->fileDialogs.size(), 1);
    QCOMPARE(listTexts(m_panel->lstAnalyseApi), QStringList{QStringLiteral("Beep")});
    QVERIFY(m_panel->cmdBrowse->isEnabled());
}

void tst_Analyse::windowClosedDuringScan_stopsTheScan()
{
    m_main->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_main));
    m_prompter->fileAnswers = {importsExe(), writeLarge()};
    m_panel->cmdBrowse->click();
    const QStringList earlier = listTexts(m_panel->lstAnalyseApi);
    QList<int> values;
    connect(m_main->ProgressBar, &QProgressBar::valueChanged, this, [&](int value) {
        values.append(value);
        if (value > 0 && values.size() == 2)
            m_main->close();
    });
    m_panel->cmdBrowse->click();
    // The scan stopped at the next piece instead of reading to the end.
    QVERIFY(values.size() < 6);
    QCOMPARE(listTexts(m_panel->lstAnalyseApi), earlier);
    QVERIFY(m_prompter->messages.isEmpty());
}

void tst_Analyse::emptyCatalogue_barNotBusy()
{
    m_main->setRecordset(recordsetOf({}));
    m_main->BuildCatalogueTree();
    m_prompter->fileAnswers = {importsExe()};
    m_panel->cmdBrowse->click();
    QCOMPARE(m_panel->lstAnalyseApi->count(), 0);
    QVERIFY(m_main->ProgressBar->maximum() > 0);
    QCOMPARE(m_main->statusPanels()->text(QStringLiteral("name")), Texts::noFunctionFound);
}

QTEST_MAIN(tst_Analyse)
#include "tst_analyse.moc"
