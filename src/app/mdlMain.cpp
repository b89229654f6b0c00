#include "mdlMain.h"

#include "catalogue/CatalogueStore.h"
#include "catalogue/ConstantTable.h"
#include "platform/InstanceLock.h"
#include "platform/Prompter.h"
#include "platform/Texts.h"
#include "settings/ProgramSettings.h"
#include "settings/RegKeys.h"
#include "ui/main/frmMain.h"
#include "ui/windows/frmDayApi.h"

#include <QCoreApplication>

namespace mdlMain {

QString argumentString(const QStringList &arguments)
{
    return arguments.mid(1).join(QLatin1Char(' '));
}

bool isDayRoad(const QString &argumentString)
{
    return argumentString.toLower() == QLatin1String("-d");
}

Program::Program(Environment environment)
    : m_env(std::move(environment))
    , m_lock(std::make_unique<InstanceLock>(m_env.lockPath))
{
    // What the settings store cannot do (a store that is not its own, no home folder) is
    // told to the user, each once a run.
    RegKeys::setWarningHandler([prompter = m_env.prompter](const QString &text) {
        prompter->message(text, Texts::programTitle, Prompter::Icon::Exclamation);
    });
}

Program::~Program()
{
    if (m_main)
        m_main->unload();
    RegKeys::setWarningHandler({});
}

Program::Road Program::Main(const QString &arguments)
{
    if (!m_lock->tryAcquire()) {
        m_env.prompter->message(Texts::alreadyRunning, Texts::programTitle, Prompter::Icon::Critical);
        EndProgram();
        return Road::Ended;
    }

    if (!OpenCatalogue())
        return Road::Ended;

    m_main->BuildCatalogueTree();

    if (isDayRoad(arguments)) {
        m_dayFunctionMode = true;
        m_day = std::make_unique<frmDayApi>(
            m_main->ADO(), m_main->FunctionCount(),
            frmDayApi::ProgramEnd{[this] { return m_dayFunctionMode; }, [this] { EndProgram(); }});
        m_day->setVba7(ProgramSettings::Vba7Chosen() && m_main->ADO().hasVba7Column());
        m_day->GetRandomApi();
        // Blocking: closing the window ends the program in its unload step.
        m_day->exec();
        EndProgram();
        return Road::Ended;
    }

    ProgramSettings::LoadSettings(*m_main);
    m_main->show();
    return Road::MainWindow;
}

bool Program::OpenCatalogue()
{
    // The main window holds the catalogue's data source, so it is created (hidden) first.
    m_main = std::make_unique<frmMain>(*m_env.prompter);
    m_main->setProgramFolder(m_env.programFolder);

    CatalogueStore::OpenResult result =
        CatalogueStore::open(CatalogueStore::databasePath(m_env.programFolder));
    if (result.recordset) {
        m_main->setRecordset(std::move(*result.recordset));
        QString refusal;
        m_main->setConstants(ConstantStore::open(CatalogueStore::databasePath(m_env.programFolder), &refusal));
        if (!refusal.isEmpty()) {
            m_env.prompter->message(Texts::constantsLeftOut + QLatin1Char('\n') + refusal, Texts::programTitle,
                                    Prompter::Icon::Exclamation);
        }
        return true;
    }

    if (result.errorNumber == CatalogueStore::missingFileError) {
        m_env.prompter->message(QStringLiteral("!") + Texts::databaseNotFound + QStringLiteral("\r\n")
                                    + Texts::reinstallProgram,
                                Texts::errorCaption, Prompter::Icon::Critical);
    } else {
        m_env.prompter->message(QStringLiteral("Runtime Error '") + QString::number(result.errorNumber)
                                    + QStringLiteral("'\r\n") + result.errorDescription,
                                Texts::programTitle, Prompter::Icon::Critical);
    }
    EndProgram();
    return false;
}

void Program::EndProgram()
{
    // Unloading the day window of a "-d" run calls back here.
    if (m_ending)
        return;
    m_ending = true;
    if (m_day)
        m_day->close();
    if (m_main) {
        m_main->ADO().Close();
        m_main->unload();
        m_main->hide();
        m_main.reset();
    }
    if (QCoreApplication::instance())
        QCoreApplication::exit(0);
}

} // namespace mdlMain
