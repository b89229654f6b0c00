#pragma once

#include <QDialog>
#include <QString>

class QPushButton;
class QTextBrowser;
class QWidget;

// The help window: one of the program's help pages, shown from the folder "help" beside the
// program. Shown as a blocking window owned by the main window; a fresh one for every page.
class frmHelp : public QDialog
{
    Q_OBJECT

public:
    explicit frmHelp(QString programFolder, QWidget *parent = nullptr);
    ~frmHelp() override;
    Q_DISABLE_COPY_MOVE(frmHelp)

    // Shows the page at that path, relative to the program folder and written with
    // backslashes as the pages have always been named ("help\WAPI.htm"). Does not show the
    // window. A missing page is not checked: the browser shows what it shows for it. Only
    // regular files of bounded size inside the help folder are loaded, pages and pictures.
    void OpenHelpFile(const QString &relativePath);

    // The program folder joined with the relative path, its backslashes turned into this
    // platform's separator. Spaces and Persian letters in the folder pass unchanged.
    static QString HelpFilePath(const QString &programFolder, const QString &relativePath);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QTextBrowser *wbHelp = nullptr;
    QWidget *picKeys = nullptr;
    QPushButton *cmdOK = nullptr;

    void Form_Resize();

    QString m_programFolder;
};
