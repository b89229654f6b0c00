#include "catalogue/CatalogueStore.h"
#include "catalogue/ConstantTable.h"
#include "support/ScriptedPrompter.h"
#include "support/TestCatalogue.h"
#include "ui/main/TextBox.h"
#include "ui/main/frmMain.h"
#include "ui/windows/frmConst.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

namespace {

Constant constant(const QString &name, qint32 value, const QString &literal)
{
    return Constant{name, QStringLiteral("Private Const %1 As Long = %2").arg(name, literal), value,
                    name.section(QLatin1Char('_'), 0, 0), QStringLiteral("winuser.h"), QString()};
}

const QString description = QStringLiteral("با WM_SETTEXT متن پنجره را بگذاريد؛ SW_SHOWNORMAL هم هست.");

QWidget *focus()
{
    QWidget *widget = QApplication::focusWidget();
    if (!widget)
        QTest::qFail("no widget has the focus", __FILE__, __LINE__);
    return widget;
}

QStringList listed(frmConst *window)
{
    QStringList names;
    const QAbstractItemModel *model = window->lstConst->model();
    for (int row = 0; row < model->rowCount(); ++row)
        names << model->index(row, 0).data().toString();
    return names;
}

} // namespace

class tst_frmConst : public QObject
{
    Q_OBJECT

private:
    ScriptedPrompter m_prompter;
    QTemporaryDir m_dir;
    std::unique_ptr<frmMain> m_main;

    // The main window over a real API.mdb, with table Const or without.
    void openMain(bool withConstants)
    {
        const QString file = CatalogueStore::databasePath(m_dir.path());
        if (withConstants) {
            writeCatalogue(m_dir.path(), {record(QStringLiteral("SetWindowText"), QStringLiteral("decl"),
                                                 QStringLiteral("user32"), QString(), description)});
            ConstantTable table;
            table.constants = {constant(QStringLiteral("WM_GETTEXT"), 13, QStringLiteral("&HD&")),
                               constant(QStringLiteral("WM_SETTEXT"), 12, QStringLiteral("&HC&")),
                               constant(QStringLiteral("ERROR_INVALID_PARAMETER"), 87, QStringLiteral("87")),
                               constant(QStringLiteral("SW_SHOWNORMAL"), 1, QStringLiteral("1")),
                               constant(QStringLiteral("SW_HIDE"), 0, QStringLiteral("0"))};
            table.familyNames.insert(QStringLiteral("WM"), QStringLiteral("پيام‌هاي پنجره"));
            QCOMPARE(ConstantStore::write(file, table), QString());
        }
        m_main = std::make_unique<frmMain>(m_prompter);
        m_main->setRecordset(std::move(*CatalogueStore::open(file).recordset));
        m_main->setConstants(ConstantStore::open(file));
        m_main->BuildCatalogueTree();
        m_main->ShowFunction(m_main->ADO().at(1)[CatalogueRecord::FunctionName]);
        m_main->show();
        m_main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_main.get()));
    }

    frmConst *openWindow()
    {
        QTest::keyClick(focus(), Qt::Key_T, Qt::ControlModifier);
        frmConst *window = m_main->constantsWindow();
        if (window && !QTest::qWaitFor([window] { return window->isActiveWindow(); }))
            return nullptr;
        return window;
    }

private slots:
    void cleanup() { m_main.reset(); }

    // An older catalogue has no table Const; a damaged one may have it with other columns
    // or empty.
    void entry_disabledWithoutTheConstTable_data()
    {
        QTest::addColumn<QByteArray>("sql");
        QTest::newRow("no table Const") << QByteArray();
        QTest::newRow("other columns") << QByteArray("CREATE TABLE Const (Name TEXT); INSERT INTO Const VALUES ('A');");
        QTest::newRow("empty") << QByteArray("CREATE TABLE Const (ConstName TEXT, Line TEXT, Value INTEGER,"
                                             " Family TEXT, Header TEXT, Meaning TEXT);");
    }
    void entry_disabledWithoutTheConstTable()
    {
        QFETCH(QByteArray, sql);
        writeCatalogue(m_dir.path(), {record(QStringLiteral("Beep"))});
        if (!sql.isEmpty()) {
            sqlite3 *db = nullptr;
            QCOMPARE(sqlite3_open(QFile::encodeName(CatalogueStore::databasePath(m_dir.path())).constData(), &db), SQLITE_OK);
            QCOMPARE(sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
            sqlite3_close(db);
        }
        openMain(false);
        QVERIFY(!m_main->mnuConst->isEnabled());
        QTest::keyClick(focus(), Qt::Key_T, Qt::ControlModifier);
        QVERIFY(!m_main->constantsWindow());
    }

    void search_andFamilyFilter_asTyped_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("family"); // typed into the family box after a Tab
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("all") << "" << "" << QStringList{"WM_GETTEXT", "WM_SETTEXT", "ERROR_INVALID_PARAMETER", "SW_SHOWNORMAL", "SW_HIDE"};
        QTest::newRow("piece of a name") << "settext" << "" << QStringList{"WM_SETTEXT"};
        QTest::newRow("error number") << "87" << "" << QStringList{"ERROR_INVALID_PARAMETER"};
        QTest::newRow("hex value") << "&HD" << "" << QStringList{"WM_GETTEXT"};
        QTest::newRow("family") << "" << "SW" << QStringList{"SW_SHOWNORMAL", "SW_HIDE"};
        QTest::newRow("family and name") << "text" << "WM" << QStringList{"WM_GETTEXT", "WM_SETTEXT"};
        QTest::newRow("family without the value") << "87" << "WM" << QStringList{};
    }
    void search_andFamilyFilter_asTyped()
    {
        QFETCH(QString, typed);
        QFETCH(QString, family);
        QFETCH(QStringList, listed);
        openMain(true);
        frmConst *window = openWindow();
        QVERIFY(window);
        QCOMPARE(focus(), window->txtSearch);
        QTest::keyClicks(focus(), typed);
        if (!family.isEmpty()) {
            QTest::keyClick(focus(), Qt::Key_Tab);
            QCOMPARE(focus(), window->cboFamily);
            QTest::keyClicks(focus(), family);
        }
        QCOMPARE(::listed(window), listed);
    }

    void copy_linesOfSeveralSelected_byKeyAndButton()
    {
        openMain(true);
        frmConst *window = openWindow();
        QVERIFY(window);
        QTest::keyClicks(focus(), QStringLiteral("_"));
        QTest::keyClick(focus(), Qt::Key_Down);
        QCOMPARE(focus(), window->lstConst);
        QTest::keyClick(focus(), Qt::Key_Down, Qt::ShiftModifier);
        const QString lines = QStringLiteral("Private Const WM_GETTEXT As Long = &HD&\r\n"
                                             "Private Const WM_SETTEXT As Long = &HC&\r\n");
        QCOMPARE(window->txtLines->toPlainText() + QLatin1Char('\n'), QString(lines).remove(QLatin1Char('\r')));
        QGuiApplication::clipboard()->clear();
        QTest::keyClick(focus(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), lines);
        QGuiApplication::clipboard()->clear();
        QTest::mouseClick(window->cmdCopy, Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), lines);
        // The family of the current constant (SW_... is not among them).
        QTableView *list = window->lstConst;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(4, 0)).center());
        QTest::mouseClick(window->cmdCopyFamily, Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QStringLiteral("Private Const SW_SHOWNORMAL As Long = 1\r\nPrivate Const SW_HIDE As Long = 0\r\n"));
    }

    void descriptionMenu_opensTheNamedConstants()
    {
        openMain(true);
        QTest::mouseClick(m_main->txtComment->viewport(), Qt::LeftButton);
        QCOMPARE(focus(), m_main->txtComment);
        // A right press through the window, as the mouse gives it.
        QWidget *viewport = m_main->txtComment->viewport();
        QTest::mousePress(m_main->windowHandle(), Qt::RightButton, {},
                          viewport->mapTo(m_main.get(), viewport->rect().center()));
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QCOMPARE(menu->actions().last()->text(), ConstTexts::openNamed);
        QVERIFY(menu->actions().last()->isEnabled());
        QTest::keyClick(menu, Qt::Key_Up);
        QTest::keyClick(menu, Qt::Key_Return);
        frmConst *window = m_main->constantsWindow();
        QVERIFY(window);
        QCOMPARE(::listed(window), (QStringList{"WM_SETTEXT", "SW_SHOWNORMAL"}));
        QCOMPARE(window->txtLines->toPlainText(), QStringLiteral("Private Const WM_SETTEXT As Long = &HC&"));
    }
};

QTEST_MAIN(tst_frmConst)
#include "tst_frmconst.moc"
