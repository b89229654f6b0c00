// The parameters that take constants, through the user's input: the list under
// MessageBox's declaration opens the constants window on MB_* with a click or with Enter,
// the window names the parameter, Escape closes it, and where it first stands.
#include "MainWindowTest.h"

#include "catalogue/CatalogueBuild.h"
#include "catalogue/CatalogueStore.h"
#include "catalogue/ConstantTable.h"
#include "support/TempSettings.h"
#include "support/WideScreen.h"
#include "ui/windows/ParameterTexts.h"
#include "ui/windows/WindowLayout.h"
#include "ui/windows/frmConst.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTemporaryDir>

namespace {

QStringList rows(const QTableView *list)
{
    QStringList out;
    for (int row = 0; row < list->model()->rowCount(); ++row)
        out << list->model()->index(row, 0).data().toString();
    return out;
}

} // namespace

class tst_Parameters : public QObject
{
    Q_OBJECT

private:
    TempSettings m_settings;
    QTemporaryDir m_dir;
    MainWindowTest m_window;
    bool m_noParameters = false;

    // The catalogue built from the small fixture in the source format, or the shipped one.
    QString catalogue(const QString &which)
    {
        if (which == QLatin1String("shipped"))
            return CatalogueStore::databasePath(qEnvironmentVariable("VORN_BIN_DIR"));
        const QDir fixture(qEnvironmentVariable("VORN_TEST_DATA") + QStringLiteral("/params"));
        QStringList files;
        for (const QString &name : fixture.entryList({QStringLiteral("*.tsv")}, QDir::Files, QDir::Name))
            files << fixture.filePath(name);
        const QString database = m_dir.filePath(QStringLiteral("API.mdb"));
        QFile::remove(database);
        const CatalogueBuild::Result built = CatalogueBuild::build(database, files);
        return built.errors.isEmpty() ? database : QString();
    }

    // The main window over the catalogue, MessageBox shown.
    bool showMessageBox(const QString &database)
    {
        CatalogueStore::OpenResult opened = CatalogueStore::open(database);
        std::optional<ConstantTable> constants = ConstantStore::open(database);
        if (!opened.recordset || !constants)
            return false;
        m_noParameters = constants->parameters.isEmpty();
        if (m_noParameters)
            return false;
        qsizetype position = 0;
        for (qsizetype p = 1; p <= opened.recordset->RecordCount() && !position; ++p)
            position = opened.recordset->at(p)[CatalogueRecord::FunctionName] == QLatin1String("MessageBox") ? p : 0;
        std::vector<CatalogueRecord> records;
        for (qsizetype p = 1; p <= opened.recordset->RecordCount(); ++p)
            records.push_back(opened.recordset->at(p));
        if (!m_window.open(std::move(records)))
            return false;
        m_window.browser->setConstants(std::move(constants));
        return position && m_window.browser->show(position);
    }

    // Opens the window from the parameter's line, as the row's way says.
    frmConst *openFromParameter(const QString &way, const QString &family)
    {
        QListWidget *list = named<QListWidget>(m_window.main.get(), "lstParams");
        const QStringList lines = texts(list);
        const int row = static_cast<int>(
            std::find_if(lines.cbegin(), lines.cend(), [&](const QString &t) { return t.contains(family); }) - lines.cbegin());
        if (!list->isVisible() || row >= list->count())
            return nullptr;
        if (way == QLatin1String("click")) {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
        } else {
            // From the declaration, Tab reaches the list; Down to the row, then Enter.
            QTest::mouseClick(named<QWidget>(m_window.main.get(), "txtFunction")->findChild<QWidget *>("qt_scrollarea_viewport"), Qt::LeftButton);
            press(Qt::Key_Tab, {});
            if (QApplication::focusWidget() != list)
                return nullptr;
            press(Qt::Key_Home, {});
            for (int i = 0; i < row; ++i)
                press(Qt::Key_Down, {});
            press(Qt::Key_Return, {});
        }
        frmConst *window = m_window.main->constantsWindow();
        return window && QTest::qWaitFor([window] { return window->isActiveWindow(); }) ? window : nullptr;
    }

private slots:
    void cleanup() { m_window.close(); }

    // MessageBox's style parameter opens MB_*: named, combining with Or, its result (the
    // ID* family) a choice away; Escape closes the window. On the fixture and, once the
    // data is in, on the shipped catalogue.
    void styleParameter_opensItsFamily_data()
    {
        QTest::addColumn<QString>("data");
        QTest::addColumn<QString>("way");
        for (const char *data : {"fixture", "shipped"}) {
            for (const char *way : {"click", "key"})
                QTest::addRow("%s, %s", data, way) << QString::fromLatin1(data) << QString::fromLatin1(way);
        }
    }
    void styleParameter_opensItsFamily()
    {
        QFETCH(QString, data);
        QFETCH(QString, way);
        const bool shown = showMessageBox(catalogue(data));
        if (m_noParameters)
            QSKIP("this catalogue has no parameters with constants yet");
        QVERIFY(shown);
        const ParameterConstants &table = m_window.browser->constants()->table().parameters;
        const std::vector<ParameterFamily> links = table.parameters(QStringLiteral("MessageBox"));
        const auto style = std::find_if(links.cbegin(), links.cend(), [](const ParameterFamily &l) { return l.family == "MESSAGEBOX_STYLE"; });
        QVERIFY(style != links.cend());
        const QStringList lines = texts(named<QListWidget>(m_window.main.get(), "lstParams"));
        QVERIFY2(lines.contains(QChar(0x200F) + ParameterTexts::parameterLine.arg(style->parameter, "MESSAGEBOX_STYLE") + ParameterTexts::combines),
                 qPrintable(lines.join('\n')));

        frmConst *window = openFromParameter(way, QStringLiteral("MESSAGEBOX_STYLE"));
        QVERIFY(window);
        QTableView *list = named<QTableView>(window, "lstConst");
        QCOMPARE(QApplication::focusWidget(), list);
        QCOMPARE(rows(list), table.family(QStringLiteral("MESSAGEBOX_STYLE"))->members);
        QVERIFY(rows(list).contains("MB_YESNO") && rows(list).contains("MB_ICONQUESTION"));
        QCOMPARE(named<QLabel>(window, "lblParameter")->text(),
                 QChar(0x200F) + ParameterTexts::parameterOf.arg(style->parameter, "MessageBox", "MESSAGEBOX_STYLE")
                     + ParameterTexts::combinesSentence);

        // Typing searches within the family.
        type(QStringLiteral("YES"));
        QVERIFY(!rows(list).isEmpty() && rows(list).filter(QStringLiteral("MB_")).size() == rows(list).size());

        // The result's family: the last choice of the parameter box, by the keys.
        QComboBox *choice = named<QComboBox>(window, "cboParameter");
        choice->setFocus();
        press(Qt::Key_End, {});
        QCOMPARE(choice->currentText(), ParameterTexts::resultChoice);
        QCOMPARE(named<QLabel>(window, "lblParameter")->text(),
                 QChar(0x200F) + ParameterTexts::resultOf.arg("MessageBox", "MESSAGEBOX_RESULT"));
        QVERIFY(rows(list).contains("IDOK") && rows(list).contains("IDCANCEL") && !rows(list).contains("MB_OK"));

        press(Qt::Key_Escape, {});
        QVERIFY(QTest::qWaitFor([window] { return !window->isVisible(); }));
    }

    // C's hex form finds what Basic's does; a string constant is found by name, shows its
    // Basic line, and is no number.
    void search_hexAndStrings_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("C hex") << "0x80070005" << QStringList{"E_ACCESSDENIED"};
        QTest::newRow("C hex, capital X, suffix") << "0X80070005UL" << QStringList{"E_ACCESSDENIED"};
        QTest::newRow("Basic hex") << "&H80070005" << QStringList{"E_ACCESSDENIED"};
        QTest::newRow("widened to 64 bits") << "0xFFFFFFFF80070005" << QStringList{"E_ACCESSDENIED"};
        QTest::newRow("negative decimal") << "-2147024891" << QStringList{"E_ACCESSDENIED"};
        QTest::newRow("beyond 32 bits") << "0x180070005" << QStringList{};
        QTest::newRow("negative hex") << "-0x1" << QStringList{"ALL_ONES"};
        QTest::newRow("zero is no string") << "0" << QStringList{"MB_OK"};
        QTest::newRow("string by name") << "SHUTDOWN" << QStringList{"SE_SHUTDOWN_NAME"};
    }
    void search_hexAndStrings()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, found);
        ConstantTable table;
        table.constants = {{"ALL_ONES", "Private Const ALL_ONES As Long = -1", -1, "ALL", "x.h", ""},
                           {"E_ACCESSDENIED", "Private Const E_ACCESSDENIED As Long = &H80070005&", -2147024891, "E", "winerror.h", ""},
                           {"MB_OK", "Private Const MB_OK As Long = &H0&", 0, "MB", "winuser.h", ""},
                           {"SE_SHUTDOWN_NAME", "Private Const SE_SHUTDOWN_NAME As String = \"Se=Shutdown\"", 0, "SE", "winnt.h", ""}};
        const ConstantFinder finder(table);
        frmConst window(finder);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        type(typed);
        QTableView *list = named<QTableView>(&window, "lstConst");
        QCOMPARE(rows(list), found);
        if (found == QStringList{"SE_SHUTDOWN_NAME"}) {
            QCOMPARE(list->model()->index(0, 1).data().toString(), QStringLiteral("\"Se=Shutdown\""));
            list->selectRow(0);
            QCOMPARE(named<QPlainTextEdit>(&window, "txtLines")->toPlainText(), table.constants[3].line);
        }
    }

    // The window first stands beside the main window, over none of it where the screen
    // has room; a place the user gave it is kept.
    void firstPlace_besideTheMainWindow()
    {
        QFile::remove(m_settings.storeFile());
        QVERIFY(showMessageBox(catalogue(QStringLiteral("fixture"))));
        m_window.main->move(40, 30);
        QVERIFY(QTest::qWaitFor([this] { return m_window.main->pos() == QPoint(40, 30); }));
        frmConst *window = openFromParameter(QStringLiteral("click"), QStringLiteral("MESSAGEBOX_STYLE"));
        QVERIFY(window);
        QVERIFY(m_window.main->screen()->availableGeometry().width() >= m_window.main->frameGeometry().width() + window->frameGeometry().width() + 40);
        QVERIFY2(!window->frameGeometry().intersects(m_window.main->frameGeometry()), "the constants window lies over the main window");
        QCOMPARE(window->frameGeometry().top(), m_window.main->frameGeometry().top());

        window->move(window->pos() + QPoint(15, 25));
        const QPoint moved = window->pos();
        press(Qt::Key_Escape, {});
        delete window;
        frmConst *again = openFromParameter(QStringLiteral("click"), QStringLiteral("MESSAGEBOX_STYLE"));
        QVERIFY(again);
        QCOMPARE(again->pos(), moved);
    }

    // Where the window goes: right of the main window, else left, else the side with
    // more room, on the screen.
    void besidePlace_data()
    {
        QTest::addColumn<QRect>("main");
        QTest::addColumn<QPoint>("placed");
        QTest::newRow("room on the right") << QRect(100, 50, 600, 400) << QPoint(700, 50);
        QTest::newRow("room on the left only") << QRect(700, 80, 600, 400) << QPoint(200, 80);
        QTest::newRow("no room, more on the right") << QRect(100, 0, 1000, 900) << QPoint(920, 0);
        QTest::newRow("no room, more on the left") << QRect(300, 0, 1000, 900) << QPoint(0, 0);
        QTest::newRow("main low on the screen") << QRect(0, 700, 600, 300) << QPoint(600, 480);
    }
    void besidePlace()
    {
        QFETCH(QRect, main);
        QFETCH(QPoint, placed);
        QCOMPARE(WindowLayout::beside(main, QSize(500, 600), QRect(0, 0, 1420, 1080)), placed);
    }
};

VORN_WIDE_SCREEN_TEST_MAIN(tst_Parameters)

#include "tst_parameters.moc"
