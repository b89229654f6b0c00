#pragma once

#include "InputPanel.h"
#include "find/NameKinds.h"
#include "find/NameScanner.h"

#include "find/ExecutableAnalysis.h"

#include <QIcon>

#include <array>
#include <future>
#include <optional>

class CatalogueBrowser;
class CloseKey;
class NameList;
class Prompter;
class QProgressBar;
class StatusPanels;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

// picAnalyse: the analysis panel over the tree side. The user picks an executable file;
// the catalogue functions whose names occur in it fill lstAnalyseApi, while the progress
// bar over the status bar moves and the window stays alive. Closing the window ends a
// scan.
class AnalysePanel : public InputPanel
{
    Q_OBJECT

public:
    // The exact filter of the file dialog.
    static const QString browseFilter;

    // The progress bar lies over the status bar's "prog" panel while a file is scanned;
    // the count found goes to its "name" panel.
    AnalysePanel(CatalogueBrowser &browser, StatusPanels &status, QProgressBar &progressBar, Prompter &prompter,
                 QWidget *parent = nullptr);

    // Tests the file and lists the catalogue names found in it; reports its own failures
    // in a message box and leaves the list as it was on any failure.
    void AnalyseExecutable(const QString &path);
    // The notice shown the first time in a run the panel is opened from the menu.
    void showNotice();
    bool AnalyseNoticeShown() const { return m_noticeShown; }
    // True while a file is being scanned.
    bool isAnalysing() const { return m_analysing; }
    // The record positions of the listed functions the file's import table names; none
    // when its tables were not read.
    const std::vector<qsizetype> &importedPositions() const { return m_importedPositions; }

private slots:
    // Asks for the file, analyses it and tells the count in the status bar.
    void cmdBrowse_Click();
    // Shows the clicked function.
    void lstAnalyseApi_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void placeProgressBar();
    // Fills the list from a scan: grouped and marked when the file's tables were read.
    void showFound(const QStringList &names, const QStringList &declarations, const QStringList &libraries,
                   const ExecutableAnalysis::Result &result);
    void showCount();
    // The catalogue's names in record order, taken without moving the shared cursor.
    QStringList catalogueNames() const;

    QLabel *lblAnalyse = nullptr;
    QFrame *shpWA = nullptr;
    CloseKey *cmdCloseAnalyse = nullptr;
    QLineEdit *txtFileName = nullptr;
    QPushButton *cmdBrowse = nullptr;
    NameList *lstAnalyseApi = nullptr;

    CatalogueBrowser &m_browser;
    StatusPanels &m_status;
    QProgressBar &m_progressBar;
    Prompter &m_prompter;
    // Built for the catalogue's names on the first analysis and kept for the run; the
    // first build starts in the background when the panel is first shown, while the user
    // picks a file.
    NameScanner m_scanner;
    std::future<NameScanner> m_building;
    // The catalogue matched against import and export tables, rebuilt when its names change.
    NameKinds m_kinds;
    QStringList m_kindNames;
    // Of the listed names: how many are imported, exported, only strings; nothing when
    // the file was no PE image (or its tables were damaged) and the names are not told apart.
    std::optional<std::array<int, 3>> m_kindCounts;
    std::array<QIcon, 3> m_kindIcons;
    std::vector<qsizetype> m_importedPositions;
    bool m_noticeShown = false;
    bool m_analysing = false;
    bool m_stop = false;
};
