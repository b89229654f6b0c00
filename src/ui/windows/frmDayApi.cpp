#include "frmDayApi.h"

#include "DayWalk.h"
#include "WindowLayout.h"
#include "catalogue/DeclarationLayout.h"
#include "catalogue/Recordset.h"
#include "platform/Texts.h"
#include "platform/Twips.h"
#include "ui/controls/Resizer.h"
#include "ui/controls/TwipPlacement.h"
#include "ui/main/TextBox.h"

#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QVBoxLayout>

namespace {

// Places as the window was designed, in twips.
constexpr QRect designSplitter(240, 240, 5325, 3255);
constexpr QRect designFunction(0, 0, 5325, 2010);
constexpr QRect designComment(0, 2090, 5325, 1165);
constexpr QRect designKeys(480, 4680, 5460, 495);
// The inner size at which the resize rules give back the designed splitter.
constexpr int innerWidth = 5325 + 2 * 240;
constexpr int innerHeight = 3255 + 1000;

QPushButton *keyButton(const QString &name, const QString &caption, int left, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    TwipPlacement::place(button, QRect(left, 0, 1215, 375));
    return button;
}

} // namespace

frmDayApi::frmDayApi(Recordset &recordset, qint64 functionCount, ProgramEnd programEnd, QWidget *parent)
    : QDialog(parent)
    , m_recordset(recordset)
    , m_functionCount(functionCount)
    , m_programEnd(std::move(programEnd))
    , m_draw(&DayWalk::drawFromClock)
{
    setObjectName(QStringLiteral("frmDayApi"));
    setWindowTitle(Texts::frmDayApiCaption);
    setLayoutDirection(Qt::RightToLeft);
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    createControls();
    resize(Twips::toPixels(innerWidth, logicalDpiX()), Twips::toPixels(innerHeight, logicalDpiY()));
}

frmDayApi::~frmDayApi() = default;

void frmDayApi::createControls()
{
    resFunction = new Resizer(this);
    resFunction->setObjectName(QStringLiteral("resFunction"));
    resFunction->setOrientation(0);
    resFunction->setSeparatorSize(80);
    resFunction->setBorderStyle(0);
    resFunction->setAutoResize(true);

    // The function's name above its declaration, as the main window shows it: a Type
    // block may fill the box before the Declare line that names it.
    picFn = new QWidget(resFunction);
    picFn->setObjectName(QStringLiteral("picFn"));
    auto *fnLayout = new QVBoxLayout(picFn);
    fnLayout->setContentsMargins(0, 0, 0, 0);
    fnLayout->setSpacing(2);
    lblFunctionName = new QLabel(picFn);
    lblFunctionName->setObjectName(QStringLiteral("lblFunctionName"));
    lblFunctionName->setTextFormat(Qt::PlainText);
    QFont titleFont(QStringLiteral("Times New Roman"), 12);
    titleFont.setBold(true);
    lblFunctionName->setFont(titleFont);
    txtFunction = new TextBox(picFn);
    txtFunction->setObjectName(QStringLiteral("txtFunction"));
    fnLayout->addWidget(lblFunctionName);
    fnLayout->addWidget(txtFunction, 1);
    txtFunction->setFont(QFont(QStringLiteral("Courier New"), 8));
    // Code reads left to right even in a right-to-left window.
    txtFunction->setLayoutDirection(Qt::LeftToRight);
    txtComment = new TextBox(resFunction);
    txtComment->setObjectName(QStringLiteral("txtComment"));
    txtComment->setPersianProse();
    for (TextBox *box : {txtFunction, txtComment}) {
        // A vertical scroll bar and no horizontal one: long lines wrap.
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    }
    resFunction->setControls(picFn, txtComment);
    resFunction->setMinControlSize1(500);
    resFunction->setMinControlSize2(500);
    TwipPlacement::place(resFunction, designSplitter);
    TwipPlacement::place(picFn, designFunction);
    TwipPlacement::place(txtComment, designComment);

    picKeys = new QWidget(this);
    picKeys->setObjectName(QStringLiteral("picKeys"));
    // The buttons keep their designed places, counted from the left.
    picKeys->setLayoutDirection(Qt::LeftToRight);
    TwipPlacement::place(picKeys, designKeys);
    cmdNext = keyButton(QStringLiteral("cmdNext"), Texts::cmdNext, 0, picKeys);
    cmdBack = keyButton(QStringLiteral("cmdBack"), Texts::cmdBackDay, 1320, picKeys);
    cmdRandom = keyButton(QStringLiteral("cmdRandom"), Texts::cmdRandom, 2880, picKeys);
    cmdOK = keyButton(QStringLiteral("cmdOK"), Texts::cmdOKDay, 4200, picKeys);
    for (QPushButton *button : {cmdNext, cmdBack, cmdRandom, cmdOK})
        button->setLayoutDirection(Qt::RightToLeft);

    connect(cmdNext, &QPushButton::clicked, this, &frmDayApi::cmdNext_Click);
    connect(cmdBack, &QPushButton::clicked, this, &frmDayApi::cmdBack_Click);
    connect(cmdRandom, &QPushButton::clicked, this, &frmDayApi::cmdRandom_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmDayApi::cmdOK_Click);
}

bool frmDayApi::isEmptyCatalogue() const
{
    return m_functionCount <= 0 || m_recordset.RecordCount() == 0;
}

void frmDayApi::GetRandomApi()
{
    if (isEmptyCatalogue()) {
        // Nothing to pick and nothing to walk; the window still opens and closes.
        lblFunctionName->clear();
        txtFunction->setText(QString());
        txtComment->setText(QString());
        for (QPushButton *button : {cmdNext, cmdBack, cmdRandom})
            button->setEnabled(false);
        return;
    }
    m_recordset.setAbsolutePosition(DayWalk::randomPosition(m_draw(), m_functionCount));
    ShowCurrentRecord();
}

void frmDayApi::cmdNext_Click()
{
    if (isEmptyCatalogue())
        return;
    DayWalk::next(m_recordset);
    ShowCurrentRecord();
}

void frmDayApi::cmdBack_Click()
{
    if (isEmptyCatalogue())
        return;
    DayWalk::previous(m_recordset);
    ShowCurrentRecord();
}

void frmDayApi::cmdRandom_Click()
{
    GetRandomApi();
}

void frmDayApi::cmdOK_Click()
{
    close();
}

void frmDayApi::ShowCurrentRecord()
{
    const CatalogueRecord *record = m_recordset.current();
    const QString *description = m_recordset.field(CatalogueRecord::Description);
    const QString *name = m_recordset.field(CatalogueRecord::FunctionName);
    lblFunctionName->setText(name ? *name : QString());
    txtFunction->setText(record ? record->declaration(m_vba7) : QString());
    txtFunction->revealLine(std::max<qsizetype>(DeclarationLayout::declareLine(txtFunction->text()), 0));
    txtComment->setText(description ? *description : QString());
}

void frmDayApi::showEvent(QShowEvent *event)
{
    m_unloaded = false;
    QDialog::showEvent(event);
}

void frmDayApi::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    Form_Resize();
}

void frmDayApi::Form_Resize()
{
    const QSize inner = TwipPlacement::size(this);
    const WindowLayout::Placement now{TwipPlacement::geometry(resFunction), TwipPlacement::geometry(picKeys)};
    const WindowLayout::Placement next = WindowLayout::dayWindow(now, inner.width(), inner.height());
    if (next.body != now.body)
        TwipPlacement::place(resFunction, next.body);
    if (next.keys != now.keys)
        TwipPlacement::place(picKeys, next.keys);
}

void frmDayApi::done(int result)
{
    QDialog::done(result);
    Form_Unload();
}

void frmDayApi::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    if (m_programEnd.dayFunctionMode && m_programEnd.dayFunctionMode() && m_programEnd.endProgram)
        m_programEnd.endProgram();
}
