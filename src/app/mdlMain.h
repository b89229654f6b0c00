#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class CatalogueBrowser;
class frmDayApi;
class frmMain;
class InstanceLock;
class Prompter;

// Start-up and the orderly end of the program.
namespace mdlMain {

// What the command line asks for: the whole argument string after the program's path,
// lower-cased, compared with "-d" for exact equality.
QString argumentString(const QStringList &arguments);
bool isDayRoad(const QString &argumentString);

struct Environment
{
    QString programFolder;   // where API.mdb and help/ are
    QString lockPath;        // empty: the user's runtime folder
    Prompter *prompter = nullptr;
};

class Program
{
public:
    enum class Road { Ended, MainWindow };

    explicit Program(Environment environment);
    ~Program();
    Q_DISABLE_COPY_MOVE(Program)

    // Main: the previous-instance test, the catalogue, the tree, then the command line.
    // Returns MainWindow when the main window is shown and the event loop should run,
    // Ended when the program has already ended in order.
    Road Main(const QString &arguments);

    // Ignores every failure: closes the recordset, unloads every window, ends the run.
    void EndProgram();

    // The main window of a run that shows it; none in a "-d" run.
    frmMain *mainWindow() const { return m_main.get(); }
    CatalogueBrowser &browser() const { return *m_browser; }
    // The function-of-the-day window of a "-d" run.
    frmDayApi *dayWindow() const { return m_day.get(); }
    bool DayFunctionMode() const { return m_dayFunctionMode; }

private:
    bool OpenCatalogue();

    Environment m_env;
    std::unique_ptr<InstanceLock> m_lock;
    std::unique_ptr<CatalogueBrowser> m_browser;
    std::unique_ptr<frmMain> m_main;
    // Ending the program from the day window's own close closes the catalogue while that
    // close is still running: the window is deleted with the program.
    std::unique_ptr<frmDayApi> m_day;
    bool m_dayFunctionMode = false;
    bool m_ending = false;
};

} // namespace mdlMain
