#pragma once

#include <QDialog>

#include <array>

class MainView;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

// The settings dialog: the two text boxes' font sizes and the function of the day at
// login. A fixed, right-to-left dialog in front of the main window; it remembers where it
// was closed, never its size.
class frmSet : public QDialog
{
    Q_OBJECT

public:
    // view: the main window, which OK gives the new font sizes.
    explicit frmSet(MainView &view, QWidget *parent = nullptr);
    ~frmSet() override;

    // Fills the fields from the stored settings.
    void ShowSettings();
    // Stores the fields, gives the main window the sizes, then UpdateAutostart.
    void ApplySettings();
    // Writes or removes the login entry as chkDayFn stands.
    void UpdateAutostart();

    // The file the login entry starts: this program.
    static QString programPath();

    // Every way out (OK, Cancel, Escape, the frame's close button) unloads the dialog
    // here, which stores where it stands.
    void done(int result) override;

private slots:
    void cmdOK_Click();
    void cmdCancel_Click();

private:
    QGroupBox *Frame2 = nullptr;
    QComboBox *cboCmFontSize = nullptr;
    QComboBox *cboFnFontSize = nullptr;
    // Label1(0) beside cboFnFontSize, Label1(1) beside cboCmFontSize.
    std::array<QLabel *, 2> Label1{};
    QCheckBox *chkDayFn = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;

    void createControls();
    void place(QWidget *control, int left, int top, int width, int height);

    MainView &m_view;
};
