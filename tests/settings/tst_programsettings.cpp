#include "platform/Autostart.h"
#include "platform/Texts.h"
#include "settings/FormSettings.h"
#include "settings/ProgramSettings.h"
#include "settings/RegKeys.h"
#include "support/FakeMainView.h"
#include "support/TempSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

namespace {

QString stored(const QString &name)
{
    return FormSettings::GetAppSetting(name, QStringLiteral("Vorn"), QStringLiteral("<missing>"));
}

void store(const QString &name, const QString &value)
{
    FormSettings::SaveAppSetting(name, value, QStringLiteral("Vorn"));
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QString program = QStringLiteral("/opt/Vorn Reference/vorn");

} // namespace

class tst_ProgramSettings : public QObject
{
    Q_OBJECT

private slots:
    void emptyStore_startsWithTheDefaults_inOrder()
    {
        TempSettings temp;
        FakeMainView view;
        ProgramSettings::LoadSettings(view);
        QCOMPARE(view.calls, QStringList({QStringLiteral("functionFont 8"), QStringLiteral("commentFont 8"),
                                          QStringLiteral("caption false"), QStringLiteral("statusBar true"),
                                          QStringLiteral("keys true"), QStringLiteral("tree 4000"),
                                          QStringLiteral("functionText 2000")}));
        QVERIFY(!QFile::exists(temp.storeFile()));
    }

    void storedValues_areApplied()
    {
        TempSettings temp;
        store(QStringLiteral("Fn Font Size"), QStringLiteral("12"));
        store(QStringLiteral("Cm Font Size"), QStringLiteral("10.5"));
        store(QStringLiteral("Fn Caption"), QStringLiteral("True"));
        store(QStringLiteral("StatusBar Vis"), QStringLiteral("False"));
        store(QStringLiteral("Keys Vis"), QStringLiteral("False"));
        store(QStringLiteral("TreeSize"), QStringLiteral("3500"));
        store(QStringLiteral("FunctionTextHeight"), QStringLiteral("1500"));
        const QByteArray before = fileBytes(temp.storeFile());
        FakeMainView view;
        ProgramSettings::LoadSettings(view);
        QCOMPARE(view.functionFontSize, 12.0);
        QCOMPARE(view.commentFontSize, 10.5);
        QVERIFY(view.caption);
        QVERIFY(!view.statusBar);
        QVERIFY(!view.keys);
        QCOMPARE(view.tree, 3500);
        QCOMPARE(view.functionText, 1500);
        // Loading reads only.
        QCOMPARE(fileBytes(temp.storeFile()), before);
    }

    void unconvertibleText_usesTheDefault_data()
    {
        QTest::addColumn<QString>("valueName");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("call");
        QTest::newRow("font abc") << "Fn Font Size" << "abc" << "functionFont 8";
        QTest::newRow("font zero") << "Cm Font Size" << "0" << "commentFont 8";
        QTest::newRow("font blank") << "Fn Font Size" << "" << "functionFont 8";
        QTest::newRow("font huge") << "Cm Font Size" << "99999999999" << "commentFont 8";
        QTest::newRow("caption yes") << "Fn Caption" << "Yes" << "caption false";
        QTest::newRow("statusbar blank") << "StatusBar Vis" << "" << "statusBar true";
        QTest::newRow("keys maybe") << "Keys Vis" << "maybe" << "keys true";
        QTest::newRow("tree minus") << "TreeSize" << "-" << "tree 4000";
        QTest::newRow("tree huge") << "TreeSize" << "99999999999" << "tree 4000";
        QTest::newRow("tree letters") << "TreeSize" << "wide" << "tree 4000";
        QTest::newRow("declaration fraction") << "FunctionTextHeight" << "12.5" << "functionText 2000";
        QTest::newRow("declaration blank") << "FunctionTextHeight" << "" << "functionText 2000";
        // Numbers that convert are given on; the splitter keeps its own limits.
        QTest::newRow("tree negative") << "TreeSize" << "-500" << "tree -500";
        QTest::newRow("caption as number") << "Fn Caption" << "1" << "caption true";
    }

    void unconvertibleText_usesTheDefault()
    {
        QFETCH(QString, valueName);
        QFETCH(QString, text);
        QFETCH(QString, call);
        TempSettings temp;
        store(valueName, text);
        FakeMainView view;
        ProgramSettings::LoadSettings(view);
        QCOMPARE(view.calls.size(), 7);
        QVERIFY2(view.calls.contains(call), qPrintable(view.calls.join(QStringLiteral(", "))));
    }

    void saveSettings_storesTheFiveViewValues()
    {
        TempSettings temp;
        FakeMainView view;
        view.caption = true;
        view.statusBar = false;
        view.keys = true;
        view.tree = 3120;
        view.functionText = 1815;
        ProgramSettings::SaveSettings(view);
        QCOMPARE(stored(QStringLiteral("TreeSize")), QStringLiteral("3120"));
        QCOMPARE(stored(QStringLiteral("FunctionTextHeight")), QStringLiteral("1815"));
        QCOMPARE(stored(QStringLiteral("Fn Caption")), QStringLiteral("True"));
        QCOMPARE(stored(QStringLiteral("StatusBar Vis")), QStringLiteral("False"));
        QCOMPARE(stored(QStringLiteral("Keys Vis")), QStringLiteral("True"));
        // The dialog's three are not the window's to store.
        QCOMPARE(stored(QStringLiteral("Fn Font Size")), QStringLiteral("<missing>"));
        QCOMPARE(stored(QStringLiteral("Cm Font Size")), QStringLiteral("<missing>"));
        QCOMPARE(stored(QStringLiteral("Day Function")), QStringLiteral("<missing>"));
    }

    void hiddenStatusBarAndKeys_surviveARestart()
    {
        TempSettings temp;
        FakeMainView first;
        ProgramSettings::LoadSettings(first);
        first.statusBar = false;
        first.keys = false;
        ProgramSettings::SaveSettings(first);

        FakeMainView second;
        ProgramSettings::LoadSettings(second);
        QVERIFY(!second.statusBar);
        QVERIFY(!second.keys);
        QVERIFY(!second.caption);
        QCOMPARE(second.tree, 4000);
        QCOMPARE(second.functionText, 2000);
    }

    void dialogValues_defaults()
    {
        TempSettings temp;
        const ProgramSettings::DialogValues values = ProgramSettings::readDialogValues();
        QCOMPARE(values.fnFontSize, QStringLiteral("8"));
        QCOMPARE(values.cmFontSize, QStringLiteral("8"));
        QVERIFY(values.dayFunction);
        QVERIFY(!QFile::exists(temp.storeFile()));
    }

    void dialogValues_showTheStoredText_data()
    {
        QTest::addColumn<QString>("dayFunction");
        QTest::addColumn<bool>("checked");
        QTest::newRow("0") << "0" << false;
        QTest::newRow("1") << "1" << true;
        QTest::newRow("letters") << "x" << true;
        QTest::newRow("blank") << "" << true;
        QTest::newRow("grey") << "2" << true;
    }

    void dialogValues_showTheStoredText()
    {
        QFETCH(QString, dayFunction);
        QFETCH(bool, checked);
        TempSettings temp;
        store(QStringLiteral("Fn Font Size"), QStringLiteral("12"));
        store(QStringLiteral("Cm Font Size"), QStringLiteral("abc"));
        store(QStringLiteral("Day Function"), dayFunction);
        const ProgramSettings::DialogValues values = ProgramSettings::readDialogValues();
        QCOMPARE(values.fnFontSize, QStringLiteral("12"));
        QCOMPARE(values.cmFontSize, QStringLiteral("abc"));
        QCOMPARE(values.dayFunction, checked);
    }

    void apply_storesThenShowsThenWritesTheLoginEntry()
    {
        TempSettings temp;
        FakeMainView view;
        QStringList storedWhenShown;
        view.onCall = [&](const QString &) {
            storedWhenShown << stored(QStringLiteral("Fn Font Size")) + QLatin1Char('/')
                    + stored(QStringLiteral("Cm Font Size")) + QLatin1Char('/') + stored(QStringLiteral("Day Function"));
        };
        ProgramSettings::ApplySettings({QStringLiteral("12"), QStringLiteral("14"), true}, view, program);
        QCOMPARE(view.calls, QStringList({QStringLiteral("functionFont 12"), QStringLiteral("commentFont 14")}));
        QCOMPARE(storedWhenShown, QStringList({QStringLiteral("12/14/1"), QStringLiteral("12/14/1")}));
        QCOMPARE(stored(QStringLiteral("Fn Font Size")), QStringLiteral("12"));
        QCOMPARE(stored(QStringLiteral("Cm Font Size")), QStringLiteral("14"));
        QCOMPARE(stored(QStringLiteral("Day Function")), QStringLiteral("1"));
        QVERIFY(fileBytes(temp.autostartFile()).contains("\nExec=\"/opt/Vorn Reference/vorn\" -d\n"));
    }

    void apply_unchecked_storesZeroAndRemovesTheLoginEntry()
    {
        TempSettings temp;
        FakeMainView view;
        ProgramSettings::ApplySettings({QStringLiteral("8"), QStringLiteral("8"), true}, view, program);
        QVERIFY(QFile::exists(temp.autostartFile()));
        ProgramSettings::ApplySettings({QStringLiteral("8"), QStringLiteral("8"), false}, view, program);
        QCOMPARE(stored(QStringLiteral("Day Function")), QStringLiteral("0"));
        QVERIFY(!QFile::exists(temp.autostartFile()));
        // Removing what is not there is no failure.
        ProgramSettings::ApplySettings({QStringLiteral("8"), QStringLiteral("8"), false}, view, program);
        QVERIFY(!QFile::exists(temp.autostartFile()));
    }

    void apply_textThatIsNoSize_isStoredButLeavesTheBox()
    {
        TempSettings temp;
        FakeMainView view;
        ProgramSettings::ApplySettings({QStringLiteral("abc"), QStringLiteral("16"), false}, view, program);
        QCOMPARE(stored(QStringLiteral("Fn Font Size")), QStringLiteral("abc"));
        QCOMPARE(view.calls, QStringList{QStringLiteral("commentFont 16")});
        // And the next start falls back to the default for it.
        FakeMainView next;
        ProgramSettings::LoadSettings(next);
        QCOMPARE(next.functionFontSize, 8.0);
        QCOMPARE(next.commentFontSize, 16.0);
    }

    void apply_emptyTextIsStoredAsBlank()
    {
        TempSettings temp;
        FakeMainView view;
        ProgramSettings::ApplySettings({QString(), QStringLiteral("9"), false}, view, program);
        QCOMPARE(stored(QStringLiteral("Fn Font Size")), QStringLiteral(" "));
        QCOMPARE(ProgramSettings::readDialogValues().fnFontSize, QStringLiteral(" "));
    }

    void updateAutostart_followsAMovedProgram()
    {
        TempSettings temp;
        ProgramSettings::UpdateAutostart(true, QStringLiteral("/old/place/vorn"));
        ProgramSettings::UpdateAutostart(true, QStringLiteral("/new/place/vorn"));
        const QByteArray entry = fileBytes(temp.autostartFile());
        QVERIFY(entry.contains("Exec=\"/new/place/vorn\" -d"));
        QVERIFY(!entry.contains("/old/place"));
        ProgramSettings::UpdateAutostart(false, QStringLiteral("/new/place/vorn"));
        QVERIFY(!QFile::exists(temp.autostartFile()));
    }

    // A login entry that could not be written was not told, and the dialog showed the box
    // checked the next time while no entry existed.
    void failedLoginEntry_boxShownChecked()
    {
        TempSettings temp;
        FakeMainView view;
        QVERIFY(QFile(QFileInfo(temp.autostartFile()).absolutePath()).open(QIODevice::WriteOnly)); // no folder there
        QStringList told;
        RegKeys::setWarningHandler([&](const QString &text) { told << text; });
        QVERIFY(!ProgramSettings::ApplySettings({QStringLiteral("8"), QStringLiteral("8"), true}, view, program));
        RegKeys::setWarningHandler({});
        QCOMPARE(told, QStringList{Texts::autostartNotWritten + QStringLiteral("\r\n") + temp.autostartFile()});
        QVERIFY(!ProgramSettings::readDialogValues().dayFunction);
    }

    // OK with nothing changed overwrote an entry the user had made their own; one this
    // program wrote still follows a moved program.
    void okWithNothingChanged_overwroteUsersOwnEntry_data()
    {
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<QByteArray>("after");
        const QByteArray users = "[Desktop Entry]\nType=Application\nExec=vorn -d\nX-GNOME-Autostart-Delay=30\n";
        QTest::newRow("the user's own") << users << users;
        QTest::newRow("written for another path") << Autostart::entryText(QStringLiteral("/old/vorn"))
                                                  << Autostart::entryText(program);
    }

    void okWithNothingChanged_overwroteUsersOwnEntry()
    {
        QFETCH(QByteArray, entry);
        QFETCH(QByteArray, after);
        TempSettings temp;
        FakeMainView view;
        QDir().mkpath(QFileInfo(temp.autostartFile()).absolutePath());
        {
            QFile file(temp.autostartFile());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(entry);
        }
        store(QStringLiteral("Day Function"), QStringLiteral("1"));
        QVERIFY(ProgramSettings::ApplySettings({QStringLiteral("8"), QStringLiteral("8"), true}, view, program));
        QCOMPARE(fileBytes(temp.autostartFile()), after);
    }
};

QTEST_GUILESS_MAIN(tst_ProgramSettings)
#include "tst_programsettings.moc"
