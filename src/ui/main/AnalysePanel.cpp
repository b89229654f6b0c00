#include "AnalysePanel.h"

#include "ImageList.h"
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

namespace {

// The three kinds of found names, as the list and the status bar tell them.
const QString imported = QStringLiteral("\u0648\u0627\u0631\u062F \u0634\u062F\u0647");       // "imported"
const QString exported = QStringLiteral("\u0635\u0627\u062F\u0631 \u0634\u062F\u0647");       // "exported"
const QString onlyString = QStringLiteral("\u0631\u0634\u062A\u0647");                          // "string"
const QString from = QStringLiteral(" \u0627\u0632 ");                                           // " from "
const QString catalogueLibrary = QStringLiteral("\u061B \u06A9\u062A\u0627\u0628\u062E\u0627\u0646\u0647 \u062F\u0631 "
                                                "\u0641\u0647\u0631\u0633\u062A: ");             // "; library in the catalogue: "
const QString thisFile = QStringLiteral(" \u0627\u0632 \u0627\u064A\u0646 \u0641\u0627\u064A\u0644"); // " by this file"
const QString asStringOnly = QStringLiteral("\u0641\u0642\u0637 \u0628\u0647 \u0635\u0648\u0631\u062A "
                                            "\u0631\u0634\u062A\u0647");                        // "only as a string"
const QString byOrdinal = QStringLiteral(" \u0628\u0627 \u0634\u0645\u0627\u0631\u0647\u200C\u064A "
                                         "\u062A\u0631\u062A\u064A\u0628\u064A ");            // " by the ordinal "
const QChar arabicComma(0x060C);

} // namespace

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
    const QHash<QString, QIcon> images = makeTreeImageList();
    m_kindIcons = {images.value(QStringLiteral("dll")), images.value(QStringLiteral("folder")),
                   images.value(QStringLiteral("note"))};

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
    QString text = count > 0 ? Texts::foundPrefix + QString::number(count) + Texts::foundSuffix : Texts::noFunctionFound;
    // The three counts say the total too, in the room of the status bar's panel.
    if (count > 0 && m_kindCounts) {
        const std::array<int, 3> &n = *m_kindCounts;
        text = imported + u' ' + QString::number(n[0]) + arabicComma + u' ' + exported + u' ' + QString::number(n[1])
               + arabicComma + u' ' + onlyString + u' ' + QString::number(n[2]);
    }
    m_status.setText(QStringLiteral("name"), text);
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
    QStringList names, declarations, libraries;
    recordset.MoveFirst();
    while (!recordset.atEOF()) {
        const QString *name = recordset.field(CatalogueRecord::FunctionName);
        const QString *declaration = recordset.field(CatalogueRecord::Declaration);
        const QString *library = recordset.field(CatalogueRecord::Library);
        if (!name)
            break;
        names.append(*name);
        declarations.append(declaration ? *declaration : QString());
        libraries.append(library ? *library : QString());
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
        const auto answer = [this] {
            QCoreApplication::processEvents();
            return !m_stop;
        };
        result = ExecutableAnalysis::analyse(path, m_scanner, [bar, maximum, answer](qint64 done, qint64 total) {
            // The bar counts functions, the reader bytes: the share of the file read so far.
            bar->setValue(total > 0 ? static_cast<int>(double(done) / double(total) * maximum) : maximum);
            return answer();
        }, ExecutableAnalysis::defaultPieceSize, answer);
    }
    m_analysing = false;
    cmdBrowse->setEnabled(true);

    switch (result.outcome) {
    case ExecutableAnalysis::Outcome::Scanned: {
        showFound(names, declarations, libraries, result);
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

void AnalysePanel::showFound(const QStringList &names, const QStringList &declarations, const QStringList &libraries,
                             const ExecutableAnalysis::Result &result)
{
    // The names were taken in record order: the record of the name at i is i + 1.
    QStringList found;
    std::vector<qsizetype> positions;
    m_importedPositions.clear();
    if (!result.tables) {
        for (const qsizetype i : result.found) {
            found.append(names.at(i));
            positions.push_back(i + 1);
        }
        m_kindCounts.reset();
        lstAnalyseApi->setNames(found, {}, std::move(positions));
        return;
    }
    if (names != m_kindNames) {
        m_kinds = NameKinds(names, declarations, libraries);
        m_kindNames = names;
    }
    NameList::Marks marks;
    std::array<int, 3> counts{};
    for (const NameKinds::Row &row : m_kinds.group(result.found, *result.tables)) {
        const int kind = static_cast<int>(row.kind);
        ++counts[size_t(kind)];
        marks.icons.append(m_kindIcons[size_t(kind)]);
        if (row.index < 0) {
            // An import by ordinal names no function of the catalogue: its row opens none.
            found.append(row.ordinalText());
            positions.push_back(0);
            marks.notes.append(QString()); // the row's text names the DLL already
            marks.tips.append(imported + from + row.dll + byOrdinal + QString::number(row.ordinal));
            continue;
        }
        found.append(names.at(row.index));
        positions.push_back(row.index + 1);
        QString note, tip;
        switch (row.kind) {
        case NameKinds::Kind::Imported:
            m_importedPositions.push_back(row.index + 1);
            // A name the file takes from another DLL than the catalogue says: both are told.
            note = row.otherLibrary ? row.dll + QStringLiteral(" \u2260 ") + libraries.at(row.index) : row.dll;
            tip = imported + from + row.dll + (row.otherLibrary ? catalogueLibrary + libraries.at(row.index) : QString());
            break;
        case NameKinds::Kind::Exported:
            tip = exported + thisFile;
            break;
        case NameKinds::Kind::String:
            tip = asStringOnly;
            break;
        }
        marks.notes.append(note);
        marks.tips.append(tip);
    }
    m_kindCounts = counts;
    lstAnalyseApi->setNames(found, marks, std::move(positions));
}

void AnalysePanel::lstAnalyseApi_Click()
{
    m_browser.show(lstAnalyseApi->currentPosition());
}
