// The settings store (Kel/Vorn.ini), the reading of its texts, the window places and the
// program's view settings: one table per rule, and the faults that happened.
#include "platform/Autostart.h"
#include "platform/Texts.h"
#include "settings/FormGeometry.h"
#include "settings/FormSettings.h"
#include "settings/ProgramSettings.h"
#include "settings/RegKeys.h"
#include "support/FakeMainView.h"
#include "support/FileSizeLimit.h"
#include "support/TempSettings.h"
#include "support/UnwritableFolder.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <limits>

using RegKeys::Hive;

namespace {

const QString appKey = QStringLiteral("Software\\Kel\\Vorn");
const QString positionKey = QStringLiteral("Software\\Kel\\Vorn\\Position");
const QString program = QStringLiteral("/opt/Vorn Reference/vorn");
const QString none = QStringLiteral("<none>");

QString read(const QString &name, const QString &key = appKey)
{
    return RegKeys::ReadKeyValue(Hive::CurrentUser, key, name, none);
}

void write(const QString &name, const QString &value, const QString &key = appKey)
{
    RegKeys::WriteKeyValue(Hive::CurrentUser, key, name, value);
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QStringList filesBeside(const QString &path)
{
    return QDir(QFileInfo(path).absolutePath()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

FormGeometry at(int left, int top, int width = 6000, int height = 4500) { return {left, top, width, height}; }

// Two screens side by side, 1920 x 1080 pixels each at 96 dpi (15 twips a pixel).
const QRect leftScreen(0, 0, 28800, 16200);

struct Warnings
{
    QStringList told;
    Warnings() { RegKeys::setWarningHandler([this](const QString &text) { told << text; }); }
    ~Warnings() { RegKeys::setWarningHandler({}); }
};

// An environment variable set (or, with a null value, unset) while it lives.
struct Env
{
    const char *name; QByteArray previous; bool had;
    Env(const char *n, const QByteArray &value) : name(n), previous(qgetenv(n)), had(qEnvironmentVariableIsSet(n))
    { value.isNull() ? qunsetenv(name) : qputenv(name, value); }
    ~Env() { had ? qputenv(name, previous) : qunsetenv(name); }
};

} // namespace

Q_DECLARE_METATYPE(FormGeometry)

class tst_Settings : public QObject
{
    Q_OBJECT

private slots:
    void keepOnScreens_data()
    {
        QTest::addColumn<FormGeometry>("stored"); QTest::addColumn<QList<QRect>>("screens");
        QTest::addColumn<FormGeometry>("placed");
        const QList<QRect> both = {leftScreen, QRect(28800, 0, 28800, 16200)};
        const QList<QRect> one = {leftScreen};
        const QList<QRect> lower = {leftScreen, QRect(28800, 40000, 28800, 16200)};
        const int most = std::numeric_limits<int>::max();
        QTest::newRow("partly off the right edge stays") << at(25000, 900) << one << at(25000, 900);
        QTest::newRow("across both screens") << at(26000, 900) << both << at(26000, 900);
        QTest::newRow("on an unplugged screen") << at(40000, 900) << one << at(22800, 900);
        QTest::newRow("off a corner") << at(-30000, -30000) << one << at(0, 0);
        QTest::newRow("touching the edge is off") << at(28800, 900) << one << at(22800, 900);
        QTest::newRow("one twip on screen stays") << at(28799, 900) << one << at(28799, 900);
        QTest::newRow("larger than the screen") << at(40000, 900, 40000, 20000) << one << at(0, 0, 40000, 20000);
        QTest::newRow("nearest of two") << at(1200, 30000) << lower << at(1200, 11700);
        QTest::newRow("nearest of two, other way") << at(30000, 34000) << lower << at(30000, 40000);
        QTest::newRow("no screens known") << at(-90000, 900) << QList<QRect>{} << at(-90000, 900);
        QTest::newRow("width zero still a point") << at(50000, 900, 0, 0) << one << at(28799, 900, 0, 0);
        // The window's rectangle was a QRect, whose right edge overflowed an int.
        QTest::newRow("overflow: largest everything") << at(most, most, most, most) << one << at(0, 0, most, most);
        QTest::newRow("overflow: on screen, widest") << at(28000, 900, most) << one << at(28000, 900, most);
        QTest::newRow("overflow: extremes") << at(most, -most - 1, 1, 1) << one << at(28799, 0, 1, 1);
    }
    void keepOnScreens()
    {
        QFETCH(FormGeometry, stored); QFETCH(QList<QRect>, screens); QFETCH(FormGeometry, placed);
        QCOMPARE(::keepOnScreens(stored, screens), placed); // not as QRect: its right edge overflows an int
    }

    // On a screen smaller than the designed window the first start put the menu and the
    // status bar off it.
    void firstStartOnASmallScreen_fellOffIt_data()
    {
        QTest::addColumn<QRect>("window"); QTest::addColumn<QRect>("area"); QTest::addColumn<QRect>("fitted");
        const QRect designed(0, 0, 9930, 7920);
        QTest::newRow("640x480") << designed << QRect(0, 0, 9600, 6750) << QRect(0, 0, 9600, 6750);
        QTest::newRow("500 high, offset") << QRect(300, 300, 9930, 7920) << QRect(0, 450, 14400, 7050)
                                          << QRect(300, 450, 9930, 7050);
        QTest::newRow("fits") << designed << QRect(0, 0, 19200, 12000) << designed;
        QTest::newRow("no screen known") << designed << QRect() << designed;
    }
    void firstStartOnASmallScreen_fellOffIt()
    {
        QFETCH(QRect, window); QFETCH(QRect, area); QFETCH(QRect, fitted);
        QCOMPARE(fitInto(FormGeometry{window.x(), window.y(), window.width(), window.height()}, area).rect(), fitted);
    }

    // A stored place over a saved {100, 200, 3000, 4000}: each value counts on its own,
    // and without the exact marker none does.
    void restoreFormPosition_data()
    {
        QTest::addColumn<QString>("valueName"); QTest::addColumn<QString>("text"); QTest::addColumn<bool>("positionOnly");
        QTest::addColumn<FormGeometry>("expected");
        const FormGeometry untouched{1200, 900, 9930, 7545};
        QTest::newRow("as saved") << "" << "" << false << FormGeometry{100, 200, 3000, 4000};
        QTest::newRow("position only") << "" << "" << true << FormGeometry{100, 200, 9930, 7545};
        QTest::newRow("letters in Top") << "frmMain.Top" << "abc" << false << FormGeometry{100, 900, 3000, 4000};
        QTest::newRow("huge Width") << "frmMain.Width" << "99999999999" << false << FormGeometry{100, 200, 9930, 4000};
        QTest::newRow("zero Width") << "frmMain.Width" << "0" << false << FormGeometry{100, 200, 9930, 4000};
        QTest::newRow("negative Height") << "frmMain.Height" << "-5" << false << FormGeometry{100, 200, 3000, 7545};
        QTest::newRow("negative Left is a place") << "frmMain.Left" << "-300" << false << FormGeometry{-300, 200, 3000, 4000};
        QTest::newRow("Width missing") << "frmMain.Width" << QString() << false << FormGeometry{100, 200, 9930, 4000};
        QTest::newRow("no marker") << "frmMain" << QString() << false << untouched;
        QTest::newRow("marker of other case") << "frmMain" << "frmmain" << false << untouched;
        QTest::newRow("marker with a blank") << "frmMain" << "frmMain " << false << untouched;
    }
    void restoreFormPosition()
    {
        QFETCH(QString, valueName); QFETCH(QString, text); QFETCH(bool, positionOnly); QFETCH(FormGeometry, expected);
        TempSettings temp;
        FormSettings::SaveFormPosition(QStringLiteral("frmMain"), {100, 200, 3000, 4000}, QStringLiteral("Vorn"), false);
        if (!valueName.isEmpty() && text.isNull())
            RegKeys::DeleteKeyValue(Hive::CurrentUser, positionKey, valueName);
        else if (!valueName.isEmpty())
            write(valueName, text, positionKey);
        const QByteArray before = fileBytes(temp.storeFile());
        FormGeometry geometry{1200, 900, 9930, 7545};
        FormSettings::RestoreFormPosition(QStringLiteral("frmMain"), geometry, QStringLiteral("Vorn"), positionOnly);
        QCOMPARE(geometry, expected);
        QCOMPARE(fileBytes(temp.storeFile()), before);
    }

    // What the next start makes of each stored view value: numbers, Basic's booleans (-1 is
    // True) and font sizes; what does not convert gives the default (tree 4000, fonts 8,
    // keys shown), what does is given on (the splitter keeps its own limits).
    void loadSettings_data()
    {
        QTest::addColumn<QString>("valueName"); QTest::addColumn<QString>("text"); QTest::addColumn<QString>("call");
        QTest::newRow("number") << "TreeSize" << " 2000 " << "tree 2000";
        QTest::newRow("number, plus") << "TreeSize" << "+15" << "tree 15";
        QTest::newRow("number, int min") << "TreeSize" << "-2147483648" << "tree -2147483648";
        QTest::newRow("number, past int max") << "TreeSize" << "2147483648" << "tree 4000";
        QTest::newRow("number, fraction") << "FunctionTextHeight" << "12.5" << "functionText 2000";
        QTest::newRow("number, minus alone") << "TreeSize" << "-" << "tree 4000";
        QTest::newRow("number, Persian digits") << "TreeSize" << "۱۲" << "tree 4000";
        QTest::newRow("boolean True") << "Fn Caption" << " true " << "caption true";
        QTest::newRow("boolean Basic's True") << "Fn Caption" << "-1" << "caption true";
        QTest::newRow("boolean 0.5") << "Fn Caption" << "0.5" << "caption true";
        QTest::newRow("boolean 0") << "Keys Vis" << "0" << "keys false";
        QTest::newRow("boolean False") << "StatusBar Vis" << "False" << "statusBar false";
        QTest::newRow("boolean Truth") << "Keys Vis" << "Truth" << "keys true";
        QTest::newRow("boolean blank") << "Keys Vis" << " " << "keys true";
        QTest::newRow("font 10.5") << "Fn Font Size" << "10.5" << "functionFont 10.5";
        QTest::newRow("font largest") << "Cm Font Size" << "2160" << "commentFont 2160";
        QTest::newRow("font too large") << "Fn Font Size" << "2161" << "functionFont 8";
        QTest::newRow("font zero") << "Cm Font Size" << "0" << "commentFont 8";
        QTest::newRow("font comma") << "Fn Font Size" << "10,5" << "functionFont 8";
    }
    void loadSettings()
    {
        QFETCH(QString, valueName); QFETCH(QString, text); QFETCH(QString, call);
        TempSettings temp;
        write(valueName, text);
        const QByteArray before = fileBytes(temp.storeFile());
        FakeMainView view;
        ProgramSettings::LoadSettings(view);
        QCOMPARE(view.calls.size(), 7);
        QVERIFY2(view.calls.contains(call), qPrintable(view.calls.join(QStringLiteral(", "))));
        QCOMPARE(fileBytes(temp.storeFile()), before);
    }

    // The dialog's OK: stores the three values, then shows the sizes (each stored when it
    // is shown), then writes or removes the login entry. OK with nothing changed overwrote
    // an entry the user had made their own; a login entry that could not be written was not
    // told, and the dialog showed the box checked the next time while no entry existed.
    void applySettings_data()
    {
        QTest::addColumn<QString>("fnSize"); QTest::addColumn<bool>("day");
        QTest::addColumn<QByteArray>("entry"); // the login entry before; "-": a file where its folder goes
        QTest::addColumn<QStringList>("calls"); QTest::addColumn<QString>("storedFn");
        QTest::addColumn<QByteArray>("after"); // the login entry after; "-": OK failed
        const QByteArray old = Autostart::entryText(QStringLiteral("/old/place/vorn"));
        const QByteArray users = "[Desktop Entry]\nType=Application\nExec=vorn -d\nX-GNOME-Autostart-Delay=30\n";
        const QStringList both{"functionFont 12", "commentFont 14"};
        QTest::newRow("sizes, program moved") << "12" << true << old << both << "12" << Autostart::entryText(program);
        QTest::newRow("empty, day off") << "" << false << old << QStringList{"commentFont 14"} << " " << QByteArray();
        QTest::newRow("the user's own entry") << "12" << true << users << both << "12" << users;
        QTest::newRow("entry not writable") << "12" << true << QByteArray("-") << both << "12" << QByteArray("-");
    }
    void applySettings()
    {
        QFETCH(QString, fnSize); QFETCH(bool, day); QFETCH(QByteArray, entry); QFETCH(QStringList, calls);
        QFETCH(QString, storedFn); QFETCH(QByteArray, after);
        TempSettings temp;
        const bool fails = after == "-";
        writeFile(entry == "-" ? QFileInfo(temp.autostartFile()).absolutePath() : temp.autostartFile(), entry == "-" ? "" : entry);
        write(QStringLiteral("Day Function"), QStringLiteral("1"));
        FakeMainView view;
        QStringList storedWhenShown;
        view.onCall = [&](const QString &) { storedWhenShown << read("Fn Font Size") + '/' + read("Cm Font Size"); };
        Warnings warnings;
        QCOMPARE(ProgramSettings::ApplySettings({fnSize, QStringLiteral("14"), day}, view, program), !fails);
        QCOMPARE(view.calls, calls);
        QCOMPARE(storedWhenShown, QStringList(calls.size(), storedFn + QStringLiteral("/14")));
        QCOMPARE(fileBytes(temp.autostartFile()), fails ? QByteArray() : after);
        QCOMPARE(warnings.told, fails ? QStringList{Texts::autostartNotWritten + QStringLiteral("\r\n") + temp.autostartFile()} : QStringList());
        QCOMPARE(read("Day Function"), day && !fails ? QStringLiteral("1") : QStringLiteral("0"));
        QCOMPARE(ProgramSettings::readDialogValues().fnFontSize, storedFn);
        QCOMPARE(ProgramSettings::readDialogValues().dayFunction, day && !fails);
    }

    // The fault: a stored "Day Function" that is no number ("true", a blank) showed the box
    // checked; it is read as a number, and only its absence means the checked default.
    void dayFunctionTextWasReadAsChecked_data()
    {
        QTest::addColumn<QString>("stored"); // null: absent
        QTest::addColumn<bool>("checked");
        QTest::newRow("absent") << QString() << true;
        QTest::newRow("1") << "1" << true;
        QTest::newRow("0") << "0" << false;
        QTest::newRow("true") << "true" << false;
        QTest::newRow("yes") << "yes" << false;
        QTest::newRow("blank") << " " << false;
        QTest::newRow("empty") << "" << false;
    }
    void dayFunctionTextWasReadAsChecked()
    {
        QFETCH(QString, stored); QFETCH(bool, checked);
        TempSettings temp;
        if (!stored.isNull())
            write(QStringLiteral("Day Function"), stored);
        QCOMPARE(ProgramSettings::readDialogValues().dayFunction, checked);
    }

    // OK overwrote an entry of its own but for the user's Exec edit; turning the function
    // off under a read-only autostart folder left the entry, stored "0" and said nothing;
    // a folder named like the entry gave no entry and no word while "1" was stored.
    void autostartEntry_editOverwrittenOrFailureUntold_data()
    {
        QTest::addColumn<bool>("day"); QTest::addColumn<QByteArray>("entry"); // "folder": one in its place
        QTest::addColumn<bool>("readOnly"); QTest::addColumn<QString>("stored"); QTest::addColumn<QString>("told");
        const QByteArray old = Autostart::entryText(QStringLiteral("/old/place/vorn"));
        QTest::newRow("the user's Exec edit") << true << QByteArray(old).replace(" -d\n", " -d --small\n") << false << "1" << "";
        QTest::newRow("read-only folder, turned off") << false << old << true << "1" << Texts::autostartNotRemoved;
        QTest::newRow("a folder named like the entry") << true << QByteArray("folder") << false << "0" << Texts::autostartNotWritten;
    }
    void autostartEntry_editOverwrittenOrFailureUntold()
    {
        QFETCH(bool, day); QFETCH(QByteArray, entry); QFETCH(bool, readOnly); QFETCH(QString, stored); QFETCH(QString, told);
        TempSettings temp;
        const QString file = temp.autostartFile();
        write(QStringLiteral("Day Function"), QStringLiteral("1"));
        QFile::setPermissions(QFileInfo(temp.storeFile()).absolutePath(), QFileDevice::Permissions(0x7777));
        entry == "folder" ? void(QDir().mkpath(file)) : writeFile(file, entry);
        std::optional<UnwritableFolder> locked;
        if (readOnly)
            QVERIFY(locked.emplace(temp.folder(), QFileInfo(file).absolutePath()).isUnwritable());
        Warnings warnings;
        FakeMainView view;
        QCOMPARE(ProgramSettings::ApplySettings({"9", "9", day}, view, program), told.isEmpty());
        locked.reset();
        QCOMPARE(read("Day Function"), stored);
        QCOMPARE(warnings.told, told.isEmpty() ? QStringList() : QStringList{told + QStringLiteral("\r\n") + file});
        QCOMPARE(entry == "folder" ? QByteArray(QFileInfo(file).isDir() ? "folder" : "") : fileBytes(file), entry);
    }

    // Values as the store reads them back: the read buffer of 1023 code-page bytes (a
    // Persian letter is one), text cut at a NUL, integers as signed decimals, empty text
    // as a blank, other kinds as empty text; value names with separators stay one name.
    void readBack_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVariant>("stored"); // a QString goes through the store, else raw
        QTest::addColumn<QString>("expected");
        const QChar kaf(0x06A9);
        QTest::newRow("1023 bytes") << "v" << QVariant(QString(1023, 'a')) << QString(1023, 'a');
        QTest::newRow("1024 bytes") << "v" << QVariant(QString(1024, 'a')) << none;
        QTest::newRow("1023 Persian") << "v" << QVariant(QString(1023, kaf)) << QString(1023, kaf);
        QTest::newRow("1024 Persian") << "v" << QVariant(QString(1024, kaf)) << none;
        QTest::newRow("1024 with a NUL") << "v" << QVariant(QString(10, 'b') + QChar(0) + QString(1013, 'c')) << QString(10, 'b');
        QTest::newRow("1025 with a NUL") << "v" << QVariant(QString(10, 'b') + QChar(0) + QString(1014, 'c')) << none;
        QTest::newRow("empty") << "v" << QVariant(QString("")) << " ";
        QTest::newRow("all bits, signed") << "v" << QVariant(quint32(0xFFFFFFFFu)) << "-1";
        QTest::newRow("high bit") << "v" << QVariant(quint32(0x80000000u)) << "-2147483648";
        QTest::newRow("bytes") << "v" << QVariant(QByteArray("\x01\x02", 2)) << "";
        QTest::newRow("bytes past the buffer") << "v" << QVariant(QByteArray(1024, 'x')) << none;
        QTest::newRow("a list") << "v" << QVariant(QStringList{"a", "b"}) << "";
        QTest::newRow("name a/b") << "a/b" << QVariant(QString("x")) << "x";
        QTest::newRow("name a\\b") << "a\\b" << QVariant(QString("x")) << "x";
        QTest::newRow("name 100%") << "100%" << QVariant(QString("x")) << "x";
    }
    void readBack()
    {
        QFETCH(QString, name); QFETCH(QVariant, stored); QFETCH(QString, expected);
        TempSettings temp;
        if (stored.typeId() == QMetaType::QString) {
            write(name, stored.toString());
        } else {
            QDir().mkpath(QFileInfo(temp.storeFile()).absolutePath());
            QSettings(temp.storeFile(), QSettings::IniFormat).setValue(QStringLiteral("Software/Kel/Vorn/") + name, stored);
        }
        QCOMPARE(read(name), expected);
        // "a/b" did not become the value b of a subkey a.
        QCOMPARE(read(QStringLiteral("b"), appKey + QStringLiteral("\\a")), none);
    }

    // Deleting a value keeps a subkey of the same name, and deleting what is not there
    // leaves the file as it was.
    void deleteValue()
    {
        TempSettings temp;
        write(QStringLiteral("Vorn"), QStringLiteral("value"), QStringLiteral("Software\\Kel"));
        write(QStringLiteral("TreeSize"), QStringLiteral("3000"));
        RegKeys::DeleteKeyValue(Hive::CurrentUser, QStringLiteral("Software\\Kel"), QStringLiteral("Vorn"));
        QCOMPARE(read(QStringLiteral("Vorn"), QStringLiteral("Software\\Kel")), none);
        QCOMPARE(read(QStringLiteral("TreeSize")), QStringLiteral("3000"));
        const QByteArray before = fileBytes(temp.storeFile());
        RegKeys::DeleteKeyValue(Hive::CurrentUser, appKey, QStringLiteral("missing"));
        RegKeys::DeleteKeyValue(Hive::CurrentUser, QStringLiteral("Software\\Missing"), QStringLiteral("a"));
        QCOMPARE(fileBytes(temp.storeFile()), before);
    }

    // A full disk, as the file size limit makes it: QSettings put its new file in place
    // even when writing it had failed half way, and the values after the cut were lost.
    void writePastTheFileSizeLimit_cutTheStore()
    {
        TempSettings temp;
        for (int i = 0; i < 20; ++i)
            write(QStringLiteral("v%1").arg(i), QString(40, QLatin1Char('a')));
        const QByteArray before = fileBytes(temp.storeFile());
        {
            const FileSizeLimit limit(before.size() + 10);
            QVERIFY(limit.isSet());
            write(QStringLiteral("long"), QString(200, QLatin1Char('b')));
            QCOMPARE(fileBytes(temp.storeFile()), before);
            // What fits is written: a value taken away makes the file smaller.
            RegKeys::DeleteKeyValue(Hive::CurrentUser, appKey, QStringLiteral("v3"));
        }
        QCOMPARE(read(QStringLiteral("v3")), none);
        QCOMPARE(read(QStringLiteral("long")), none);
        QCOMPARE(read(QStringLiteral("v19")), QString(40, QLatin1Char('a')));
        QCOMPARE(filesBeside(temp.storeFile()), QStringList{QStringLiteral("Vorn.ini")});
    }

    // With Kel/Vorn.ini a link, the first save renamed a new INI over the link's target,
    // whatever it was (a copy of a password file became a settings file); a pipe there
    // hung the first read for ever.
    void symlinkedStore_targetReplaced_data()
    {
        QTest::addColumn<QString>("target"); QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("warning"); // empty: written through the link
        QTest::newRow("someone else's file") << "file" << QByteArray("root:x:0:0:root:/root:/bin/bash\n")
                                             << Texts::settingsLinkRefused;
        QTest::newRow("settings of its own") << "file" << QByteArray("[Software]\nKel\\Vorn\\TreeSize=3300\n") << "";
        QTest::newRow("its own and another program's")
            << "file" << QByteArray("[Software]\nKel\\Vorn\\TreeSize=3300\nOther\\Editor\\Font=9\n")
            << Texts::settingsLinkRefused;
        QTest::newRow("an empty file") << "file" << QByteArray("") << "";
        QTest::newRow("another program of the maker") << "file" << QByteArray("[Software]\nKel\\Other\\Font=9\n")
                                                      << Texts::settingsLinkRefused;
        QTest::newRow("its own with a comment") << "file" << QByteArray("; mine\n[Software]\nKel\\Vorn\\TreeSize=3300\n")
                                                << Texts::settingsLinkRefused;
        QTest::newRow("nothing") << "dangling" << QByteArray() << Texts::settingsLinkRefused;
    }
    void symlinkedStore_targetReplaced()
    {
        QFETCH(QString, target); QFETCH(QByteArray, content); QFETCH(QString, warning);
        TempSettings temp;
        const QString store = temp.storeFile();
        const QString linked = temp.folder() + QStringLiteral("/dotfiles/Vorn.ini");
        QDir().mkpath(temp.folder() + QStringLiteral("/Kel"));
        if (target == QLatin1String("file"))
            writeFile(linked, content);
        QVERIFY(QFile::link(linked, store));
        Warnings warnings;
        const QString was = content.contains("3300") ? QStringLiteral("3300") : none;
        QCOMPARE(read(QStringLiteral("TreeSize")), was);
        write(QStringLiteral("TreeSize"), QStringLiteral("2000"));
        QCOMPARE(read(QStringLiteral("TreeSize")), warning.isEmpty() ? QStringLiteral("2000") : was);
        QCOMPARE(warnings.told, warning.isEmpty() ? QStringList() : QStringList{warning + QStringLiteral("\r\n") + store});
        if (!warning.isEmpty() && target == QLatin1String("file"))
            QCOMPARE(fileBytes(linked), content);
        QVERIFY(QFileInfo(store).isSymLink());
        QCOMPARE(filesBeside(store), QStringList{QStringLiteral("Vorn.ini")});
    }

    // A relative XDG_CONFIG_HOME was taken relative to the working folder, and without a
    // HOME the store went under "/". Without a folder the values last for the run, and
    // the user is told so once.
    void configFolderRule_relativeOrNoHome_data()
    {
        QTest::addColumn<QByteArray>("configHome"); QTest::addColumn<QByteArray>("home");
        QTest::addColumn<QString>("hive"); // below the temporary folder; empty: none
        QTest::newRow("relative XDG_CONFIG_HOME") << QByteArray("relative/config") << QByteArray("HOME")
                                                  << "/.config/Kel/Vorn.ini";
        QTest::newRow("absolute XDG_CONFIG_HOME") << QByteArray("TEMP/x") << QByteArray() << "/x/Kel/Vorn.ini";
        QTest::newRow("no HOME") << QByteArray() << QByteArray() << QString();
        QTest::newRow("relative HOME") << QByteArray() << QByteArray("home") << QString();
    }
    void configFolderRule_relativeOrNoHome()
    {
        QFETCH(QByteArray, configHome); QFETCH(QByteArray, home); QFETCH(QString, hive);
        QTemporaryDir dir;
        const QByteArray folder = QFile::encodeName(dir.path());
        const Env xdg("XDG_CONFIG_HOME", configHome.isEmpty() ? QByteArray() : configHome.replace("TEMP", folder));
        const Env homeVariable("HOME", home.isEmpty() ? QByteArray() : home == "HOME" ? folder : home);
        QCOMPARE(RegKeys::hiveFile(Hive::CurrentUser), hive.isEmpty() ? QString() : dir.path() + hive);
        if (!hive.isEmpty())
            return;
        Warnings warnings;
        write(QStringLiteral("TreeSize"), QStringLiteral("3300"));
        QCOMPARE(read(QStringLiteral("TreeSize")), QStringLiteral("3300"));
        RegKeys::DeleteKeyValue(Hive::CurrentUser, appKey, QStringLiteral("TreeSize"));
        QCOMPARE(read(QStringLiteral("TreeSize")), none);
        QCOMPARE(warnings.told, QStringList{Texts::settingsForThisRunOnly});
        QVERIFY(!QFileInfo::exists(QStringLiteral("relative")) && !QFileInfo::exists(QStringLiteral("home")));
    }

    // Files a killed save left beside the store piled up, one more at every kill.
    // The new files of killed saves piled up; then the next save deleted the user's own
    // Vorn.ini.old and Vorn.ini.new-mine too. Only a new file named and filled as a save
    // makes it goes.
    void killedSavesLeftovers_pileUp_usersCopiesDeleted()
    {
        TempSettings temp;
        write(QStringLiteral("a"), QStringLiteral("1"));
        const QString own = ".new-0123456789abcdef0123456789abcdef";
        for (const QString &name : {own, QStringLiteral(".old"), QStringLiteral(".new-mine"), own.toUpper()})
            writeFile(temp.storeFile() + name, "[Software]\nKel\\Vorn\\a=0\n");
        writeFile(temp.storeFile() + own.chopped(1) + "e", "[Software]\nKel\\Other\\a=0\n");
        write(QStringLiteral("a"), QStringLiteral("2"));
        QCOMPARE(filesBeside(temp.storeFile()), QStringList({"Vorn.ini", "Vorn.ini" + own.chopped(1) + "e",
                                                             "Vorn.ini.NEW-0123456789ABCDEF0123456789ABCDEF", "Vorn.ini.new-mine",
                                                             "Vorn.ini.old"}));
    }

    // Exit with a large store rewrote the whole file once for every value it stored.
    void largeStore_rewrittenForEveryValue()
    {
        TempSettings temp;
        {
            const RegKeys::Batch setUp;
            for (int i = 0; i < 3000; ++i)
                write(QStringLiteral("v%1").arg(i), QString(900, QLatin1Char('a')));
        }
        const QByteArray before = fileBytes(temp.storeFile());
        {
            const RegKeys::Batch exit;
            for (int i = 0; i < 12; ++i) {
                write(QStringLiteral("exit%1").arg(i), QString::number(i));
                QCOMPARE(fileBytes(temp.storeFile()), before);
            }
        }
        QCOMPARE(read(QStringLiteral("exit11")), QStringLiteral("11"));
        QCOMPARE(read(QStringLiteral("v2999")).size(), 900);
    }
};

QTEST_GUILESS_MAIN(tst_Settings)
#include "tst_settings.moc"
