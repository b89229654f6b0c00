#include "find/ConstantFinder.h"

#include <QTest>

namespace {

Constant constant(const QString &name, qint32 value, const QString &literal)
{
    return Constant{name, QStringLiteral("Private Const %1 As Long = %2").arg(name, literal), value,
                    name.section(QLatin1Char('_'), 0, 0), QStringLiteral("winuser.h"), QString()};
}

ConstantTable table()
{
    ConstantTable t;
    t.constants = {
        constant(QStringLiteral("WM_GETTEXT"), 13, QStringLiteral("&HD&")),
        constant(QStringLiteral("WM_SETTEXT"), 12, QStringLiteral("&HC&")),
        constant(QStringLiteral("ERROR_INVALID_PARAMETER"), 87, QStringLiteral("87")),
        constant(QStringLiteral("SW_SHOWNORMAL"), 1, QStringLiteral("1")),
        constant(QStringLiteral("HKEY_CURRENT_USER"), qint32(0x80000001u), QStringLiteral("&H80000001&")),
        constant(QStringLiteral("INVALID_HANDLE_VALUE"), -1, QStringLiteral("-1")),
        constant(QStringLiteral("WM_USER"), 1024, QStringLiteral("&H400&")),
    };
    t.familyNames.insert(QStringLiteral("WM"), QStringLiteral("پيام‌هاي پنجره"));
    return t;
}

QStringList names(const ConstantFinder &finder, const std::vector<int> &positions)
{
    QStringList out;
    for (const int p : positions)
        out << finder.at(p).name;
    return out;
}

} // namespace

class tst_ConstantFinder : public QObject
{
    Q_OBJECT

private slots:
    void find_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("family");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("piece of a name, any letter case") << "settext" << "" << QStringList{"WM_SETTEXT"};
        QTest::newRow("piece in two names") << "TEXT" << "" << QStringList{"WM_GETTEXT", "WM_SETTEXT"};
        QTest::newRow("error number") << "87" << "" << QStringList{"ERROR_INVALID_PARAMETER"};
        QTest::newRow("hex") << "&HD" << "" << QStringList{"WM_GETTEXT"};
        QTest::newRow("negative Long of a high-bit value") << "-2147483647" << "" << QStringList{"HKEY_CURRENT_USER"};
        QTest::newRow("unsigned form of -1") << "4294967295" << "" << QStringList{"INVALID_HANDLE_VALUE"};
        QTest::newRow("family filter alone") << "" << "WM" << QStringList{"WM_GETTEXT", "WM_SETTEXT", "WM_USER"};
        QTest::newRow("family and text") << "user" << "WM" << QStringList{"WM_USER"};
        QTest::newRow("value outside the family") << "1" << "WM" << QStringList{};
        QTest::newRow("nothing holds it") << "zzz" << "" << QStringList{};
        QTest::newRow("spaces only find all") << "  " << "SW" << QStringList{"SW_SHOWNORMAL"};
    }
    void find()
    {
        QFETCH(QString, text);
        QFETCH(QString, family);
        QFETCH(QStringList, found);
        const ConstantFinder finder(table());
        QCOMPARE(names(finder, finder.find(text, family)), found);
    }

    void namedIn_findsEachNamedConstantOnceInOrder()
    {
        const ConstantFinder finder(table());
        const QString description = QStringLiteral(
            "با WM_SETTEXT متن را بگذاريد و با WM_GETTEXT بخوانيد؛ WM_SETTEXT باز. WM_GETTEXTLENGTH نيست، SendMessage هم.");
        QCOMPARE(names(finder, finder.namedIn(description)), (QStringList{"WM_SETTEXT", "WM_GETTEXT"}));
    }

    void lines_ofSeveralAndOfAFamily()
    {
        const ConstantFinder finder(table());
        QCOMPARE(finder.lines({0, 4}), QStringLiteral("Private Const WM_GETTEXT As Long = &HD&\r\n"
                                                      "Private Const HKEY_CURRENT_USER As Long = &H80000001&"));
        QCOMPARE(names(finder, finder.familyOf(6)), (QStringList{"WM_GETTEXT", "WM_SETTEXT", "WM_USER"}));
        QCOMPARE(finder.familyCaption(QStringLiteral("WM")), QStringLiteral("WM  پيام‌هاي پنجره"));
        QCOMPARE(finder.familyCaption(QStringLiteral("SW")), QStringLiteral("SW"));
    }
};

QTEST_GUILESS_MAIN(tst_ConstantFinder)
#include "tst_constantfinder.moc"
