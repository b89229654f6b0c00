#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;
class Recordset;
class Resizer;
class TextBox;

// The function-of-the-day window: one catalogue function's declaration and description,
// with next, previous and random picks. It reads the shared recordset directly and moves
// its position; the main window's function view is not touched. Shown as a blocking
// window; closing it in a "-d" run ends the program.
class frmDayApi : public QDialog
{
    Q_OBJECT

public:
    // What the unload step asks of the program: whether this is a "-d" run, and how the
    // program ends in order. Left empty, closing the window only closes it.
    struct ProgramEnd
    {
        std::function<bool()> dayFunctionMode;
        std::function<void()> endProgram;
    };

    frmDayApi(Recordset &recordset, qint64 functionCount, ProgramEnd programEnd = {}, QWidget *parent = nullptr);
    ~frmDayApi() override;
    Q_DISABLE_COPY_MOVE(frmDayApi)

    // Picks a record at random (1..FunctionCount, repeats possible) and shows it. With an
    // empty catalogue there is nothing to pick: the boxes stay empty and the three step
    // buttons are disabled.
    void GetRandomApi();

    // Where the random draws come from (0 <= r < 1); the clock-seeded generator unless a
    // test gives another.
    void setDraw(std::function<double()> draw) { m_draw = std::move(draw); }
    // Shows the declarations in the VBA7 form (64-bit Office) rather than the classic one.
    void setVba7(bool vba7) { m_vba7 = vba7; }

    Resizer *resFunction = nullptr;
    QWidget *picFn = nullptr; // the name above the declaration
    QLabel *lblFunctionName = nullptr;
    TextBox *txtFunction = nullptr;
    TextBox *txtComment = nullptr;
    QWidget *picKeys = nullptr;
    QPushButton *cmdNext = nullptr;
    QPushButton *cmdBack = nullptr;
    QPushButton *cmdRandom = nullptr;
    QPushButton *cmdOK = nullptr;

public slots:
    void cmdNext_Click();
    void cmdBack_Click();
    void cmdRandom_Click();
    void cmdOK_Click();
    // Every close ends here, whether by cmdOK, the frame or Escape.
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void createControls();
    void ShowCurrentRecord();
    void Form_Resize();
    void Form_Unload();
    bool isEmptyCatalogue() const;

    Recordset &m_recordset;
    qint64 m_functionCount = 0;
    ProgramEnd m_programEnd;
    std::function<double()> m_draw;
    bool m_unloaded = false;
    bool m_vba7 = false;
};
