#pragma once

#include <QPointer>
#include <QWidget>

class QLabel;
class QPushButton;

// The about window: the program's name, version and function count. It fades in when
// opened and out when left with Back; while it is open the main window is disabled, so it
// behaves like a dialog although it is an ordinary window. It deletes itself when closed.
class frmAbout : public QWidget
{
    Q_OBJECT

public:
    // Load step: fills the version and the count, disables the main window. The about
    // window is not the main window's child: a disabled parent would disable it too.
    explicit frmAbout(qint64 functionCount, QWidget *mainWindow);
    ~frmAbout() override;
    Q_DISABLE_COPY_MOVE(frmAbout)

    // "Version : 1.3.15" from the program's own version numbers.
    static QString versionText();

    QLabel *Label2 = nullptr;
    QLabel *Label6 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *lblCount = nullptr;
    QLabel *Label8 = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label7 = nullptr;
    QLabel *Label9 = nullptr;
    QPushButton *cmdBack = nullptr;

public slots:
    // Fades out, then unloads.
    void cmdBack_Click();

protected:
    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void createControls();
    void Form_Unload();

    QPointer<QWidget> m_mainWindow;
    bool m_unloaded = false;
};
