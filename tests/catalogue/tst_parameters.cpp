// Which parameter takes which constants: the build's checks of enums.tsv and params.tsv,
// and the tables read back, also from a catalogue that has none.
#include "catalogue/CatalogueBuild.h"
#include "catalogue/ConstantTable.h"

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

namespace {

void writeFile(const QString &path, const QByteArray &text)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

const QByteArray functions = "MessageBox\tPrivate Declare Function MessageBox Lib \"user32\" Alias \"MessageBoxA\" "
                             "(ByVal hwnd As Long, ByVal lpText As String, ByVal lpCaption As String, ByVal wType As Long) "
                             "As Long\tuser32\t\t\t\n";
const QByteArray constants = "IDOK\t1\tPrivate Const IDOK As Long = 1\tIDOK\twinuser.h\t\n"
                             "MB_OK\t0\tPrivate Const MB_OK As Long = &H0&\tMB\twinuser.h\t\n"
                             "MB_YESNO\t4\tPrivate Const MB_YESNO As Long = &H4&\tMB\twinuser.h\t\n";
const QByteArray goodEnums = "MESSAGEBOX_STYLE\t1\tMB_OK MB_YESNO\nMESSAGEBOX_RESULT\t0\tIDOK\n";
const QByteArray goodParams = "MessageBox\twType\tMESSAGEBOX_STYLE\tmetadata\nMessageBox\t\tMESSAGEBOX_RESULT\toverride\n";

} // namespace

class tst_Parameters : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    CatalogueBuild::Result build(const QByteArray &enums, const QByteArray &params)
    {
        writeFile(m_dir.filePath("api-m.tsv"), functions);
        writeFile(m_dir.filePath("const-m.tsv"), constants);
        writeFile(m_dir.filePath("enums.tsv"), enums);
        writeFile(m_dir.filePath("params.tsv"), params);
        return CatalogueBuild::build(m_dir.filePath("API.mdb"),
                                     {m_dir.filePath("api-m.tsv"), m_dir.filePath("const-m.tsv"),
                                      m_dir.filePath("params.tsv"), m_dir.filePath("enums.tsv")});
    }

private slots:
    // Each bad line stops the build with its file and line named.
    void badLine_refused_data()
    {
        QTest::addColumn<QByteArray>("enums");
        QTest::addColumn<QByteArray>("params");
        QTest::addColumn<QString>("error");
        QTest::newRow("link to an unknown family") << goodEnums << QByteArray("MessageBox\twType\tMB_STYLE\tmetadata\n")
                                                   << "params.tsv:1: unknown family MB_STYLE";
        QTest::newRow("member that is no constant") << QByteArray("MESSAGEBOX_STYLE\t1\tMB_OK MB_YESNOCANCEL\n")
                                                    << QByteArray()
                                                    << "enums.tsv:1: member \"MB_YESNOCANCEL\" of MESSAGEBOX_STYLE is no constant";
        QTest::newRow("two blanks between members") << QByteArray("MESSAGEBOX_STYLE\t1\tMB_OK  MB_YESNO\n") << QByteArray()
                                                    << "enums.tsv:1: member \"\" of MESSAGEBOX_STYLE is no constant";
        QTest::newRow("combines neither 0 nor 1") << QByteArray("MESSAGEBOX_STYLE\ttrue\tMB_OK\n") << QByteArray()
                                                  << "enums.tsv:1: combines is neither 0 nor 1: true";
        QTest::newRow("family given twice") << goodEnums + "MESSAGEBOX_STYLE\t0\tMB_OK\n" << QByteArray()
                                            << "enums.tsv:3: family MESSAGEBOX_STYLE given twice";
        QTest::newRow("parameter the declaration lacks")
            << goodEnums << QByteArray("MessageBox\tuType\tMESSAGEBOX_STYLE\tmetadata\n") << "params.tsv:1: MessageBox has no parameter uType";
        QTest::newRow("unknown function") << goodEnums << QByteArray("MessageBoxEx\twType\tMESSAGEBOX_STYLE\tmetadata\n")
                                          << "params.tsv:1: unknown function MessageBoxEx";
        QTest::newRow("link given twice") << goodEnums << goodParams + "\n# again\nMessageBox\tWTYPE\tMESSAGEBOX_STYLE\toverride\n"
                                          << "params.tsv:5: MessageBox WTYPE given twice";
        QTest::newRow("unknown source") << goodEnums << QByteArray("MessageBox\twType\tMESSAGEBOX_STYLE\tguess\n")
                                        << "params.tsv:1: source is neither metadata nor override: guess";
        QTest::newRow("three fields") << goodEnums << QByteArray("MessageBox\twType\tMESSAGEBOX_STYLE\n")
                                      << "params.tsv:1: 3 fields instead of 4";
    }
    void badLine_refused()
    {
        QFETCH(QByteArray, enums);
        QFETCH(QByteArray, params);
        QFETCH(QString, error);
        QFile::remove(m_dir.filePath("API.mdb"));
        const CatalogueBuild::Result result = build(enums, params);
        QCOMPARE(result.errors.size(), 1);
        QCOMPARE(result.errors.first(), m_dir.filePath(error));
        QVERIFY2(!QFile::exists(m_dir.filePath("API.mdb")), "a refused source still wrote the catalogue");
    }

    // A function with its VBA7 form alone (no classic form: cdecl in 32 bits, or in a 64-bit
    // import library only) names its parameters there; its links were refused as naming no
    // parameter, and the catalogue did not build.
    void vba7Alone_linksNameItsVba7Parameters()
    {
        writeFile(m_dir.filePath("api-m.tsv"), functions);
        writeFile(m_dir.filePath("api-w.tsv"),
                  "WlanHostedNetworkSetProperty\t\twlanapi\t\t\tPrivate Declare PtrSafe Function WlanHostedNetworkSetProperty "
                  "Lib \"wlanapi\" (ByVal hClientHandle As LongPtr, ByVal OpCode As Long, ByVal dwDataSize As Long, "
                  "pvData As Any, pFailReason As Long, ByVal pvReserved As LongPtr) As Long\n");
        writeFile(m_dir.filePath("const-m.tsv"), constants + "wlan_hosted_network_opcode_enable\t3\t"
                  "Private Const wlan_hosted_network_opcode_enable As Long = 3\twlan\tmetadata\t\n");
        writeFile(m_dir.filePath("enums.tsv"), goodEnums + "WLAN_HOSTED_NETWORK_OPCODE\t0\twlan_hosted_network_opcode_enable\n");
        writeFile(m_dir.filePath("params.tsv"), "WlanHostedNetworkSetProperty\tOpCode\tWLAN_HOSTED_NETWORK_OPCODE\tmetadata\n");
        const CatalogueBuild::Result result = CatalogueBuild::build(
            m_dir.filePath("API.mdb"), {m_dir.filePath("api-m.tsv"), m_dir.filePath("api-w.tsv"), m_dir.filePath("const-m.tsv"),
                                        m_dir.filePath("params.tsv"), m_dir.filePath("enums.tsv")});
        QCOMPARE(result.errors, QStringList());
        QFile::remove(m_dir.filePath("api-w.tsv"));
        const std::optional<ConstantTable> table = ConstantStore::open(m_dir.filePath("API.mdb"));
        QVERIFY(table);
        const std::vector<ParameterFamily> links = table->parameters.parameters(QStringLiteral("WlanHostedNetworkSetProperty"));
        QCOMPARE(links.size(), size_t(1));
        QCOMPARE(links[0].parameter, QStringLiteral("OpCode"));
    }

    // What the build writes reads back: the parameters in the declaration's order, the
    // result apart, whether a family combines with Or.
    void tables_readBack()
    {
        const CatalogueBuild::Result result = build(goodEnums, goodParams);
        QCOMPARE(result.errors, QStringList());
        const std::optional<ConstantTable> table = ConstantStore::open(m_dir.filePath("API.mdb"));
        QVERIFY(table);
        const ParameterConstants &p = table->parameters;
        const std::vector<ParameterFamily> links = p.parameters(QStringLiteral("MessageBox"));
        QCOMPARE(links.size(), size_t(1));
        QCOMPARE(links[0].parameter, QStringLiteral("wType"));
        QCOMPARE(links[0].family, QStringLiteral("MESSAGEBOX_STYLE"));
        QCOMPARE(p.resultFamily(QStringLiteral("MessageBox")), QStringLiteral("MESSAGEBOX_RESULT"));
        QVERIFY(p.family(QStringLiteral("MESSAGEBOX_STYLE"))->combines);
        QVERIFY(!p.family(QStringLiteral("MESSAGEBOX_RESULT"))->combines);
        QCOMPARE(p.family(QStringLiteral("MESSAGEBOX_STYLE"))->members, QStringList({"MB_OK", "MB_YESNO"}));
        QCOMPARE(p.resultFamily(QStringLiteral("Beep")), QString());
    }

    // A family longer than a constant's row may be (the system error codes, 96,000
    // characters) stopped the reading of every family after it: SendMessage's messages,
    // whose family sorts after it, were never offered.
    void longFamily_stoppedTheFamiliesAfterIt()
    {
        QByteArray many;
        for (int i = 0; i < 20000; ++i)
            many += " MB_OK";
        const QByteArray enums = "ERRORS\t0\t" + many.mid(1) + "\nMESSAGEBOX_STYLE\t1\tMB_OK MB_YESNO\nMESSAGEBOX_RESULT\t0\tIDOK\n";
        QCOMPARE(build(enums, goodParams).errors, QStringList());
        const std::optional<ConstantTable> table = ConstantStore::open(m_dir.filePath("API.mdb"));
        QVERIFY(table);
        QVERIFY(table->parameters.family(QStringLiteral("ERRORS")));
        QCOMPARE(table->parameters.family(QStringLiteral("ERRORS"))->members.size(), 20000);
        QCOMPARE(table->parameters.resultFamily(QStringLiteral("MessageBox")), QStringLiteral("MESSAGEBOX_RESULT"));
        QCOMPARE(table->parameters.parameters(QStringLiteral("MessageBox")).size(), size_t(1));
    }

    // The shipped catalogue: every family of enums.tsv reads back; SendMessage's message
    // takes the window messages and the controls' (LB_ADDSTRING, LVM_GETITEMCOUNT), never
    // what only shares their prefix (LB_ERR, SB_HORZ, TB_LINEUP, LVM_FIRST).
    void shipped_everyFamilyAndTheControlMessages()
    {
        const std::optional<ConstantTable> table = ConstantStore::open(qEnvironmentVariable("VORN_BIN_DIR") + QStringLiteral("/API.mdb"));
        QVERIFY(table);
        QFile source(QDir(qEnvironmentVariable("VORN_TEST_DATA")).absoluteFilePath(QStringLiteral("../../data/catalogue/enums.tsv")));
        QVERIFY(source.open(QIODevice::ReadOnly));
        QStringList written;
        for (const QByteArray &line : source.readAll().split('\n'))
            if (!line.isEmpty() && !line.startsWith('#'))
                written << QString::fromUtf8(line.left(line.indexOf('\t')));
        QStringList read;
        for (const QString &family : written)
            if (table->parameters.family(family))
                read << family;
        QCOMPARE(read, written);
        const std::vector<ParameterFamily> links = table->parameters.parameters(QStringLiteral("SendMessage"));
        QVERIFY(std::any_of(links.cbegin(), links.cend(), [](const ParameterFamily &l) { return l.parameter == "wMsg" && l.family == "WINDOW_MESSAGE"; }));
        const QStringList messages = table->parameters.family(QStringLiteral("WINDOW_MESSAGE"))->members;
        for (const char *message : {"WM_SETTEXT", "LB_ADDSTRING", "CB_GETCURSEL", "EM_SETBKGNDCOLOR", "LVM_GETITEMCOUNT", "TVM_INSERTITEMA", "PSM_SETCURSEL"})
            QVERIFY2(messages.contains(QLatin1String(message)), message);
        for (const char *other : {"LB_ERR", "CB_OKAY", "SB_HORZ", "TB_LINEUP", "LVM_FIRST", "CB_MSGMAX", "BM_RGBTRIPLETS"})
            QVERIFY2(!messages.contains(QLatin1String(other)), other);
    }

    // The order the declaration names them in, not the table's (sorted) order.
    void parameters_inDeclarationOrder()
    {
        ParameterConstants p;
        p.addFamily({QStringLiteral("F"), false, {QStringLiteral("X")}});
        for (const char *name : {"dwShareMode", "dwCreationDisposition", "dwDesiredAccess", "dwFlagsAndAttributes"})
            p.addLink({QStringLiteral("CreateFile"), QString::fromLatin1(name), QStringLiteral("F"), QStringLiteral("metadata")});
        const QString declaration = QStringLiteral(
            "Private Type SECURITY_ATTRIBUTES\n    dwDesiredAccess As Long\nEnd Type\n"
            "Private Declare Function CreateFile Lib \"kernel32\" Alias \"CreateFileA\" (ByVal lpFileName As String, "
            "ByVal dwDesiredAccess As Long, ByVal dwShareMode As Long, lpSecurityAttributes As Any, "
            "ByVal dwCreationDisposition As Long, ByVal dwFlagsAndAttributes As Long, ByVal hTemplateFile As Long) As Long");
        QStringList order;
        for (const ParameterFamily &link : p.parameters(QStringLiteral("CreateFile"), declaration))
            order << link.parameter;
        QCOMPARE(order, QStringList({"dwDesiredAccess", "dwShareMode", "dwCreationDisposition", "dwFlagsAndAttributes"}));
    }

    // A catalogue built before the tables existed still opens, with no parameter marks.
    void olderCatalogue_opensWithoutMarks()
    {
        QVERIFY(build(goodEnums, goodParams).errors.isEmpty());
        sqlite3 *db = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(m_dir.filePath("API.mdb")).constData(), &db), SQLITE_OK);
        QCOMPARE(sqlite3_exec(db, "DROP TABLE ParamEnum; DROP TABLE ConstEnum;", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
        const std::optional<ConstantTable> table = ConstantStore::open(m_dir.filePath("API.mdb"));
        QVERIFY(table);
        QCOMPARE(table->constants.size(), size_t(3));
        QVERIFY(table->parameters.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_Parameters)
#include "tst_parameters.moc"
