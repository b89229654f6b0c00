#include "settings/FormSettings.h"
#include "settings/RegKeys.h"
#include "support/TempSettings.h"

#include <QFile>
#include <QSettings>
#include <QTest>

using RegKeys::Hive;

namespace {

const QString positionKey = QStringLiteral("Software\\Kel\\Vorn\\Position");

QString stored(const QString &name)
{
    return RegKeys::ReadKeyValue(Hive::CurrentUser, positionKey, name, QStringLiteral("<missing>"));
}

void store(const QString &name, const QString &value)
{
    RegKeys::WriteKeyValue(Hive::CurrentUser, positionKey, name, value);
}

// The value names under the position key, as the file holds them.
QStringList positionNames(const QString &file)
{
    QSettings raw(file, QSettings::IniFormat);
    raw.beginGroup(QStringLiteral("Software/Kel/Vorn/Position"));
    QStringList names = raw.childKeys();
    names.sort();
    return names;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const FormGeometry mainPlace{1200, 900, 9930, 7545};

} // namespace

Q_DECLARE_METATYPE(FormGeometry)

class tst_FormSettings : public QObject
{
    Q_OBJECT

private slots:
    void keys()
    {
        QCOMPARE(FormSettings::applicationKey(QStringLiteral("Vorn")), QStringLiteral("Software\\Kel\\Vorn"));
        QCOMPARE(FormSettings::applicationKey(QString()), QStringLiteral("Software\\Kel\\Vorn"));
        QCOMPARE(FormSettings::applicationKey(QStringLiteral("Other")), QStringLiteral("Software\\Kel\\Other"));
        QCOMPARE(FormSettings::positionKey(QStringLiteral("Vorn")), positionKey);
    }

    void appSetting_roundTripUnderTheApplicationKey()
    {
        TempSettings temp;
        FormSettings::SaveAppSetting(QStringLiteral("TreeSize"), QStringLiteral("3500"), QStringLiteral("Vorn"));
        QCOMPARE(RegKeys::ReadKeyValue(Hive::CurrentUser, QStringLiteral("Software\\Kel\\Vorn"),
                                       QStringLiteral("TreeSize"), QString()),
                 QStringLiteral("3500"));
        QCOMPARE(FormSettings::GetAppSetting(QStringLiteral("TreeSize"), QStringLiteral("Vorn"), QStringLiteral("4000")),
                 QStringLiteral("3500"));
        QCOMPARE(FormSettings::GetAppSetting(QStringLiteral("Missing"), QStringLiteral("Vorn"), QStringLiteral("4000")),
                 QStringLiteral("4000"));
    }

    void appSetting_emptyApplicationName_isTheProductName()
    {
        TempSettings temp;
        FormSettings::SaveAppSetting(QStringLiteral("Keys Vis"), QStringLiteral("False"), QString());
        QCOMPARE(FormSettings::GetAppSetting(QStringLiteral("Keys Vis"), QStringLiteral("Vorn"), QString()),
                 QStringLiteral("False"));
        QCOMPARE(FormSettings::GetAppSetting(QStringLiteral("Keys Vis"), QString(), QString()),
                 QStringLiteral("False"));
        QCOMPARE(FormSettings::GetAppSetting(QStringLiteral("Keys Vis"), QStringLiteral("Other"), QStringLiteral("d")),
                 QStringLiteral("d"));
    }

    void appSetting_emptyTextStoredAsBlank()
    {
        TempSettings temp;
        FormSettings::SaveAppSetting(QStringLiteral("Fn Font Size"), QString(), QStringLiteral("Vorn"));
        QCOMPARE(FormSettings::GetAppSetting(QStringLiteral("Fn Font Size"), QStringLiteral("Vorn"), QStringLiteral("8")),
                 QStringLiteral(" "));
    }

    void saveMainWindow_writesSizeAndPlaceAndMarker()
    {
        TempSettings temp;
        FormSettings::SaveFormPosition(QStringLiteral("frmMain"), mainPlace, QStringLiteral("Vorn"), false);
        QCOMPARE(positionNames(temp.storeFile()),
                 QStringList({QStringLiteral("frmMain"), QStringLiteral("frmMain.Height"), QStringLiteral("frmMain.Left"),
                              QStringLiteral("frmMain.Top"), QStringLiteral("frmMain.Width")}));
        QCOMPARE(stored(QStringLiteral("frmMain.Width")), QStringLiteral("9930"));
        QCOMPARE(stored(QStringLiteral("frmMain.Height")), QStringLiteral("7545"));
        QCOMPARE(stored(QStringLiteral("frmMain.Top")), QStringLiteral("900"));
        QCOMPARE(stored(QStringLiteral("frmMain.Left")), QStringLiteral("1200"));
        QCOMPARE(stored(QStringLiteral("frmMain")), QStringLiteral("frmMain"));
    }

    void saveDialog_positionOnly_writesNoSize()
    {
        TempSettings temp;
        FormSettings::SaveFormPosition(QStringLiteral("frmMain"), mainPlace, QStringLiteral("Vorn"), false);
        FormSettings::SaveFormPosition(QStringLiteral("frmSet"), FormGeometry{-1500, 3000, 5715, 2820},
                                       QStringLiteral("Vorn"), true);
        const QStringList names = positionNames(temp.storeFile());
        QVERIFY(names.contains(QStringLiteral("frmSet")));
        QVERIFY(names.contains(QStringLiteral("frmSet.Top")));
        QVERIFY(names.contains(QStringLiteral("frmSet.Left")));
        QVERIFY(!names.contains(QStringLiteral("frmSet.Width")));
        QVERIFY(!names.contains(QStringLiteral("frmSet.Height")));
        QCOMPARE(names.size(), 8);
        QCOMPARE(stored(QStringLiteral("frmSet.Left")), QStringLiteral("-1500"));
    }

    void restore_emptyStore_changesNothingAndCreatesNothing()
    {
        TempSettings temp;
        FormGeometry geometry = mainPlace;
        QVERIFY(!FormSettings::RestoreFormPosition(QStringLiteral("frmMain"), geometry, QStringLiteral("Vorn"), false));
        QCOMPARE(geometry, mainPlace);
        QVERIFY(!QFile::exists(temp.storeFile()));
    }

    void restore_givesBackWhatWasSaved()
    {
        TempSettings temp;
        const FormGeometry saved{-2400, 450, 12000, 8000};
        FormSettings::SaveFormPosition(QStringLiteral("frmMain"), saved, QStringLiteral("Vorn"), false);
        const QByteArray before = fileBytes(temp.storeFile());
        FormGeometry geometry = mainPlace;
        const FormGeometry::Fields fields =
            FormSettings::RestoreFormPosition(QStringLiteral("frmMain"), geometry, QStringLiteral("Vorn"), false);
        QCOMPARE(geometry, saved);
        QCOMPARE(fields, FormGeometry::Fields(FormGeometry::Left | FormGeometry::Top | FormGeometry::Width
                                              | FormGeometry::Height));
        QCOMPARE(fileBytes(temp.storeFile()), before);
    }

    void restore_positionOnly_leavesTheSize()
    {
        TempSettings temp;
        FormSettings::SaveFormPosition(QStringLiteral("frmSet"), FormGeometry{600, 700, 1, 1}, QStringLiteral("Vorn"),
                                       false);
        FormGeometry geometry{0, 0, 5715, 2820};
        const FormGeometry::Fields fields =
            FormSettings::RestoreFormPosition(QStringLiteral("frmSet"), geometry, QStringLiteral("Vorn"), true);
        QCOMPARE(geometry, (FormGeometry{600, 700, 5715, 2820}));
        QCOMPARE(fields, FormGeometry::Fields(FormGeometry::Left | FormGeometry::Top));
    }

    void restore_withoutMarker_ignoresTheNumbers()
    {
        TempSettings temp;
        FormSettings::SaveFormPosition(QStringLiteral("frmMain"), FormGeometry{1, 2, 3, 4}, QStringLiteral("Vorn"), false);
        RegKeys::DeleteKeyValue(Hive::CurrentUser, positionKey, QStringLiteral("frmMain"));
        FormGeometry geometry = mainPlace;
        QVERIFY(!FormSettings::RestoreFormPosition(QStringLiteral("frmMain"), geometry, QStringLiteral("Vorn"), false));
        QCOMPARE(geometry, mainPlace);
    }

    void restore_markerMustMatchExactly_data()
    {
        QTest::addColumn<QString>("marker");
        QTest::newRow("other case") << QStringLiteral("frmmain");
        QTest::newRow("other window") << QStringLiteral("frmSet");
        QTest::newRow("trailing blank") << QStringLiteral("frmMain ");
        QTest::newRow("empty") << QString();
    }

    void restore_markerMustMatchExactly()
    {
        QFETCH(QString, marker);
        TempSettings temp;
        FormSettings::SaveFormPosition(QStringLiteral("frmMain"), FormGeometry{1, 2, 3, 4}, QStringLiteral("Vorn"), false);
        store(QStringLiteral("frmMain"), marker);
        FormGeometry geometry = mainPlace;
        QVERIFY(!FormSettings::RestoreFormPosition(QStringLiteral("frmMain"), geometry, QStringLiteral("Vorn"), false));
        QCOMPARE(geometry, mainPlace);
    }

    void restore_eachValueOnItsOwn_data()
    {
        QTest::addColumn<QString>("valueName");
        QTest::addColumn<QString>("text");
        QTest::addColumn<FormGeometry>("expected");
        QTest::newRow("letters in Top") << "frmMain.Top" << "abc" << FormGeometry{100, 900, 3000, 4000};
        QTest::newRow("blank Left") << "frmMain.Left" << " " << FormGeometry{1200, 200, 3000, 4000};
        QTest::newRow("huge Width") << "frmMain.Width" << "99999999999" << FormGeometry{100, 200, 9930, 4000};
        QTest::newRow("zero Width") << "frmMain.Width" << "0" << FormGeometry{100, 200, 9930, 4000};
        QTest::newRow("negative Height") << "frmMain.Height" << "-5" << FormGeometry{100, 200, 3000, 7545};
        QTest::newRow("fraction Height") << "frmMain.Height" << "12.5" << FormGeometry{100, 200, 3000, 7545};
        QTest::newRow("negative Left is a place") << "frmMain.Left" << "-300" << FormGeometry{-300, 200, 3000, 4000};
        QTest::newRow("blanks around Top") << "frmMain.Top" << " 250 " << FormGeometry{100, 250, 3000, 4000};
    }

    void restore_eachValueOnItsOwn()
    {
        QFETCH(QString, valueName);
        QFETCH(QString, text);
        QFETCH(FormGeometry, expected);
        TempSettings temp;
        FormSettings::SaveFormPosition(QStringLiteral("frmMain"), FormGeometry{100, 200, 3000, 4000},
                                       QStringLiteral("Vorn"), false);
        store(valueName, text);
        FormGeometry geometry = mainPlace;
        QVERIFY(FormSettings::RestoreFormPosition(QStringLiteral("frmMain"), geometry, QStringLiteral("Vorn"), false));
        QCOMPARE(geometry, expected);
    }

    void restore_missingValue_leavesThatOne()
    {
        TempSettings temp;
        FormSettings::SaveFormPosition(QStringLiteral("frmMain"), FormGeometry{100, 200, 3000, 4000},
                                       QStringLiteral("Vorn"), false);
        RegKeys::DeleteKeyValue(Hive::CurrentUser, positionKey, QStringLiteral("frmMain.Width"));
        FormGeometry geometry = mainPlace;
        const FormGeometry::Fields fields =
            FormSettings::RestoreFormPosition(QStringLiteral("frmMain"), geometry, QStringLiteral("Vorn"), false);
        QCOMPARE(geometry, (FormGeometry{100, 200, 9930, 4000}));
        QVERIFY(!(fields & FormGeometry::Width));
    }

    void windowsKeepTheirOwnEntries()
    {
        TempSettings temp;
        FormSettings::SaveFormPosition(QStringLiteral("frmMain"), FormGeometry{1, 2, 3, 4}, QStringLiteral("Vorn"), false);
        FormSettings::SaveFormPosition(QStringLiteral("frmSet"), FormGeometry{5, 6, 7, 8}, QStringLiteral("Vorn"), true);
        FormGeometry main;
        FormGeometry dialog;
        FormSettings::RestoreFormPosition(QStringLiteral("frmMain"), main, QStringLiteral("Vorn"), false);
        FormSettings::RestoreFormPosition(QStringLiteral("frmSet"), dialog, QStringLiteral("Vorn"), true);
        QCOMPARE(main, (FormGeometry{1, 2, 3, 4}));
        QCOMPARE(dialog, (FormGeometry{5, 6, 0, 0}));
    }

    void otherApplicationName_otherKey()
    {
        TempSettings temp;
        FormSettings::SaveFormPosition(QStringLiteral("frmMain"), FormGeometry{1, 2, 3, 4}, QStringLiteral("Other"), false);
        QCOMPARE(RegKeys::ReadKeyValue(Hive::CurrentUser, QStringLiteral("Software\\Kel\\Other\\Position"),
                                       QStringLiteral("frmMain"), QString()),
                 QStringLiteral("frmMain"));
        FormGeometry geometry = mainPlace;
        QVERIFY(!FormSettings::RestoreFormPosition(QStringLiteral("frmMain"), geometry, QStringLiteral("Vorn"), false));
        QVERIFY(FormSettings::RestoreFormPosition(QStringLiteral("frmMain"), geometry, QStringLiteral("Other"), false));
    }
};

QTEST_GUILESS_MAIN(tst_FormSettings)
#include "tst_formsettings.moc"
