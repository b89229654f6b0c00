#include "AnalysePanel.h"

#include "StatusPanels.h"
#include "browse/CatalogueBrowser.h"
#include "find/ExecutableAnalysis.h"
#include "ui/controls/CloseKey.h"
#include "ui/controls/NameList.h"
#include "platform/Prompter.h"
#include "platform/Texts.h"
#include "platform/Twips.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QFrame>

#include <algorithm>
#include <chrono>
#include <climits>

const QString AnalysePanel::browseFilter = QStringLiteral(
    "All Supported Files|*.exe;*.ocx;*.dll|Executeble Files (*.exe)|*.exe|ActiveX Files (*.ocx)|*.ocx|"
    "Dynamic Linked Librery (*.dll)|*.dll|All Files|*.*");

AnalysePanel::AnalysePanel(CatalogueBrowser &browser, StatusPanels &status, QProgressBar &progressBar,
                           Prompter &prompter, QWidget *parent)
    : InputPanel({QStringLiteral("lblAnalyse"), Texts::lblAnalyse, QStringLiteral("shpWA"), QStringLiteral("cmdCloseAnalyse")}, parent)
    , m_browser(browser)
    , m_status(status)
    , m_progressBar(progressBar)
    , m_prompter(prompter)
{
    setObjectName(QStringLiteral("picAnalyse"));
    txtFileName = new QLineEdit(this);
    txtFileName->setObjectName(QStringLiteral("txtFileName"));
    // A path reads left to right even in a right-to-left window.
    txtFileName->setLayoutDirection(Qt::LeftToRight);
    cmdBrowse = new QPushButton(Texts::cmdBrowse, this);
    cmdBrowse->setObjectName(QStringLiteral("cmdBrowse"));
    lstAnalyseApi = new NameList(this);
    lstAnalyseApi->setObjectName(QStringLiteral("lstAnalyseApi"));

    lblAnalyse = m_caption;
    shpWA = m_box;
    cmdCloseAnalyse = m_close;
    arrange(txtFileName, cmdBrowse, lstAnalyseApi);

    connect(cmdBrowse, &QPushButton::clicked, this, &AnalysePanel::cmdBrowse_Click);
    connect(lstAnalyseApi, &NameList::clicked, this, &AnalysePanel::lstAnalyseApi_Click);
    // A key move selects the row it lands on. A row made current without being selected
    // is no choice of the user's: the list does that when it takes the focus, as it does
    // when the browse button is disabled for a scan.
    connect(lstAnalyseApi, &NameList::currentRowChanged, this, [this](int current) {
        if (current >= 0 && lstAnalyseApi->isRowSelected(current) && lstAnalyseApi->hasFocus()
            && !(QGuiApplication::mouseButtons() & Qt::LeftButton))
            lstAnalyseApi_Click();
    });
    // A scan yields to the event loop; closing the window meanwhile ends the scan there.
    window()->installEventFilter(this);
}

bool AnalysePanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == window() && event->type() == QEvent::Close && m_analysing)
        m_stop = true;
    return InputPanel::eventFilter(watched, event);
}

void AnalysePanel::showEvent(QShowEvent *event)
{
    InputPanel::showEvent(event);
    if (!m_building.valid() && m_scanner.names().isEmpty()) {
        m_building = std::async(std::launch::async, [names = catalogueNames()] { return NameScanner(names); });
    }
}

QStringList AnalysePanel::catalogueNames() const
{
    const Recordset &recordset = m_browser.recordset();
    QStringList names;
    names.reserve(recordset.RecordCount());
    for (qsizetype position = 1; position <= recordset.RecordCount(); ++position)
        names.append(recordset.at(position)[CatalogueRecord::FunctionName]);
    return names;
}

void AnalysePanel::showNotice()
{
    if (m_noticeShown)
        return;
    m_prompter.message(Texts::analyseNoticeLine1 + QStringLiteral("\r\n") + Texts::analyseNoticeLine2,
                       Texts::programTitle, Prompter::Icon::Information);
    m_noticeShown = true;
}

void AnalysePanel::cmdBrowse_Click()
{
    if (m_analysing)
        return;
    const std::optional<QString> path = m_prompter.openFile(browseFilter);
    if (!path) {
        showCount();
        return;
    }
    txtFileName->setText(*path);
    placeProgressBar();
    m_progressBar.setVisible(true);
    AnalyseExecutable(*path);
    m_progressBar.setVisible(false);
    showCount();
}

void AnalysePanel::showCount()
{
    const int count = lstAnalyseApi->count();
    m_status.setText(QStringLiteral("name"), count > 0 ? Texts::foundPrefix + QString::number(count) + Texts::foundSuffix
                                                     : Texts::noFunctionFound);
}

void AnalysePanel::placeProgressBar()
{
    // Over the "prog" panel: its left edge and width, centred in the status bar's height.
    QProgressBar *bar = &m_progressBar;
    const StatusPanels *status = &m_status;
    const QWidget *panel = status->panel(QStringLiteral("prog"));
    if (!panel)
        return;
    // Counted in the bar's own parent (the client area below the menu bar).
    QWidget *parent = bar->parentWidget();
    const int height = Twips::toPixels(255, bar->logicalDpiY());
    const QPoint topLeft = panel->mapTo(parent, QPoint(0, 0));
    const int top = status->mapTo(parent, QPoint(0, 0)).y() + (status->height() - height) / 2;
    bar->setGeometry(topLeft.x(), top, panel->width(), height);
    bar->raise();
}

void AnalysePanel::AnalyseExecutable(const QString &path)
{
    if (m_analysing)
        return;
    // The names are taken in one walk before the scan: the scan yields to the event loop,
    // and whatever the user does meanwhile with the shared recordset cannot change them.
    Recordset &recordset = m_browser.recordset();
    QStringList names;
    recordset.MoveFirst();
    while (!recordset.atEOF()) {
        const QString *name = recordset.field(CatalogueRecord::FunctionName);
        if (!name)
            break;
        names.append(*name);
        recordset.MoveNext();
    }

    // The bar counts the catalogue's functions; an empty catalogue gets a bar of one step
    // rather than Qt's endless busy bar.
    QProgressBar *bar = &m_progressBar;
    const int maximum = static_cast<int>(std::clamp<qint64>(m_browser.functionCount(), 1, INT_MAX));
    bar->setRange(0, maximum);
    bar->setValue(0);

    m_analysing = true;
    m_stop = false;
    cmdBrowse->setEnabled(false);
    // The matcher may still be in the making (a large catalogue takes a good part of a
    // second): the window answers meanwhile, as it does during the scan.
    while (m_building.valid() && !m_stop
           && m_building.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
        QCoreApplication::processEvents();
    ExecutableAnalysis::Result result;
    result.outcome = ExecutableAnalysis::Outcome::Cancelled;
    if (!m_stop) {
        if (m_building.valid())
            m_scanner = m_building.get();
        m_scanner.prepare(names);
        result = ExecutableAnalysis::analyse(path, m_scanner, [this, bar, maximum](qint64 done, qint64 total) {
            // The bar counts functions, the reader bytes: the share of the file read so far.
            bar->setValue(total > 0 ? static_cast<int>(double(done) / double(total) * maximum) : maximum);
            QCoreApplication::processEvents();
            return !m_stop;
        });
    }
    m_analysing = false;
    cmdBrowse->setEnabled(true);

    switch (result.outcome) {
    case ExecutableAnalysis::Outcome::Scanned: {
        QStringList found;
        std::vector<qsizetype> positions;
        for (const qsizetype i : result.found) {
            found.append(names.at(i));
            positions.push_back(i + 1); // the names were taken in record order
        }
        lstAnalyseApi->setNames(found, std::move(positions));
        bar->setValue(maximum);
        break;
    }
    case ExecutableAnalysis::Outcome::NotExecutable:
        m_prompter.message(Texts::notExecutable, Texts::programTitle, Prompter::Icon::Critical);
        break;
    case ExecutableAnalysis::Outcome::Failed:
        m_prompter.message(QStringLiteral("Runtime Error '") + QString::number(result.errorNumber)
                               + QStringLiteral("'\r\n") + result.errorDescription,
                           Texts::programTitle, Prompter::Icon::Critical);
        break;
    case ExecutableAnalysis::Outcome::Cancelled:
        break;
    }
}

void AnalysePanel::lstAnalyseApi_Click()
{
    m_browser.show(lstAnalyseApi->currentPosition());
}
