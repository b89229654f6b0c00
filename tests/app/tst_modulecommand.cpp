// "vorn --module" and "vorn --declare" as a script runs them: the built program, with no
// display, in a folder of its own beside a small catalogue.
#include "catalogue/ConstantTable.h"
#include "support/FileBytes.h"
#include "support/PickModuleRows.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run
{
    int status = -1;
    QByteArray out, err;
};

} // namespace

class tst_ModuleCommand : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_program;

    Run run(const QStringList &arguments)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(name));
        process.setProcessEnvironment(environment);
        process.start(m_program, arguments);
        Run result;
        if (process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit)
            result.status = process.exitCode();
        result.out = process.readAllStandardOutput();
        result.err = process.readAllStandardError();
        return result;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_program = m_dir.filePath(QStringLiteral("vorn"));
        QVERIFY(QFile::copy(qEnvironmentVariable("VORN_BIN_DIR") + QStringLiteral("/vorn"), m_program));
        writeCatalogue(m_dir.path(), PickModuleRows::records());
        QCOMPARE(ConstantStore::write(m_dir.filePath(QStringLiteral("API.mdb")), PickModuleRows::constants()), QString());
    }

    // The same bytes as the builder, to standard output and into a file.
    void module_data() { PickModuleRows::addRows(); }
    void module()
    {
        const auto [functions, constants, families, form, isPrivate, comments, bytes] = PickModuleRows::currentRow();
        // The switches first: the command need not lead.
        QStringList arguments;
        if (form != PickModuleRows::Classic)
            arguments << (form == PickModuleRows::Vba7 ? "--vba7" : "--both");
        if (isPrivate)
            arguments << "--private";
        if (comments)
            arguments << "--comments";
        arguments << "--module" << functions;
        if (!constants.isEmpty())
            arguments << "--const" << constants;
        if (!families.isEmpty())
            arguments << "--family" << families;
        const Run toOut = run(arguments);
        QCOMPARE(toOut.err, QByteArray());
        QCOMPARE(toOut.status, 0);
        QCOMPARE(toOut.out, bytes);
        const QString file = m_dir.filePath(QStringLiteral("Api.bas"));
        const Run toFile = run(arguments << "-o" << file);
        QCOMPARE(toFile.status, 0);
        QCOMPARE(toFile.out, QByteArray());
        QCOMPARE(fileBytes(file), bytes);
    }

    // Every unknown name is told, and nothing is written: not standard output, not the
    // file the command would have replaced.
    void failures_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("told");
        QTest::newRow("unknown names") << QStringList{"--module", "GetCursorPos", "NoSuchCall", "--const", "NO_SUCH", "--family", "ZZ"}
                                       << QStringList{"NoSuchCall", "NO_SUCH", "ZZ"};
        QTest::newRow("unknown declaration") << QStringList{"--declare", "NoSuchCall"} << QStringList{"NoSuchCall"};
        QTest::newRow("module name") << QStringList{"--module", "GetCursorPos", "--name", "2nd"} << QStringList{"2nd"};
        QTest::newRow("two forms") << QStringList{"--module", "GetCursorPos", "--vba7", "--both"} << QStringList{"--vba7", "--both"};
        QTest::newRow("unknown option") << QStringList{"--module", "GetCursorPos", "--fast"} << QStringList{"--fast"};
        QTest::newRow("nothing named") << QStringList{"--module", "--comments"} << QStringList();
    }
    void failures()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, told);
        const QString file = m_dir.filePath(QStringLiteral("Old.bas"));
        QFile old(file);
        QVERIFY(old.open(QIODevice::WriteOnly | QIODevice::Truncate) && old.write("old") == 3);
        old.close();
        for (const QStringList &output : {QStringList(), QStringList{"-o", file}}) {
            const Run result = run(arguments + output);
            QCOMPARE(result.status, 2);
            QCOMPARE(result.out, QByteArray());
            QVERIFY(!result.err.isEmpty());
            for (const QString &name : told)
                QVERIFY2(result.err.contains(name.toUtf8()), result.err.constData());
            QCOMPARE(fileBytes(file), QByteArray("old"));
        }
    }

    // One declaration as stored, in the form asked for; --help names every option.
    void declareAndHelp()
    {
        QCOMPARE(run({"--declare", "getversion"}).out, QByteArray("Private Declare Function GetVersion Lib \"kernel32\" () As Long\n"));
        const Run vba7 = run({"--declare", "GetCursorPos", "--vba7"});
        QCOMPARE(vba7.out, QString(PickModuleRows::point + "\n\nPrivate Declare PtrSafe Function GetCursorPos Lib \"user32\" (lpPoint As POINT) As Long\n")
                               .replace("\r\n", "\n").toUtf8());
        // cdecl in 32 bits: the line that 32-bit Basic cannot call it; both forms, the VBA7
        // form under Win64 alone.
        QCOMPARE(run({"--declare", "ldap_unbind"}).out, (Texts::noClassicDeclaration + u'\n').toUtf8());
        QCOMPARE(run({"--declare", "ldap_unbind", "--both"}).out,
                 QByteArray("#If Win64 Then\n    Private Declare PtrSafe Function ldap_unbind Lib \"wldap32\" (ByVal ld As LongPtr) As Long\n#End If\n"));
        const Run help = run({"--help"});
        QCOMPARE(help.status, 0);
        for (const char *option : {"--module", "--const", "--family", "--vba7", "--both", "--private", "--comments", "--name", "-o", "--declare"})
            QVERIFY2(help.out.contains(option), option);
    }
};

QTEST_GUILESS_MAIN(tst_ModuleCommand)
#include "tst_modulecommand.moc"
