#include "frmSet.h"

#include "ui/controls/FormPosition.h"
#include "platform/Texts.h"
#include "platform/Twips.h"
#include "settings/ProgramSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace {

// The sizes both lists offer; any other text may be typed.
const QStringList fontSizes = {
    QStringLiteral("8"),  QStringLiteral("9"),  QStringLiteral("10"), QStringLiteral("11"),
    QStringLiteral("12"), QStringLiteral("14"), QStringLiteral("16"), QStringLiteral("18"),
    QStringLiteral("20"), QStringLiteral("22"), QStringLiteral("24"), QStringLiteral("26"),
    QStringLiteral("28"), QStringLiteral("36"), QStringLiteral("48"), QStringLiteral("72")};

QComboBox *fontSizeBox(QWidget *parent, const QString &name)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(name);
    box->setEditable(true);
    // A typed size is used, not added to the list.
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(fontSizes);
    box->setEditText(QStringLiteral("8"));
    return box;
}

} // namespace

frmSet::frmSet(MainView &view, QWidget *parent)
    : QDialog(parent)
    , m_view(view)
{
    setObjectName(QStringLiteral("frmSet"));
    setWindowTitle(Texts::frmSetCaption);
    // A fixed dialog: a title and a close button, nothing to minimise or maximise.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                   | Qt::MSWindowsFixedSizeDialogHint);
    setLayoutDirection(Qt::RightToLeft);
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(8.25);
    setFont(font);
    setFixedSize(Twips::toPixels(5715, logicalDpiX()), Twips::toPixels(2820, logicalDpiY()));

    createControls();

    ShowSettings();
    FormSettings::RestoreFormPosition(*this, ProgramSettings::applicationName, true);
}

frmSet::~frmSet() = default;

void frmSet::place(QWidget *control, int left, int top, int width, int height)
{
    const double x = logicalDpiX();
    const double y = logicalDpiY();
    control->setGeometry(Twips::toPixels(left, x), Twips::toPixels(top, y), Twips::toPixels(width, x),
                         Twips::toPixels(height, y));
}

void frmSet::createControls()
{
    // Positions are those of the dialog's drawing, counted from the left even in a
    // right-to-left dialog; the labels stand right of their boxes, where Persian starts.
    Frame2 = new QGroupBox(Texts::frame2, this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    place(Frame2, 240, 240, 3495, 1695);

    cboCmFontSize = fontSizeBox(Frame2, QStringLiteral("cboCmFontSize"));
    place(cboCmFontSize, 480, 480, 855, 315);
    Label1[1] = new QLabel(Texts::label1Comment, Frame2);
    place(Label1[1], 1440, 525, 1695, 255);

    cboFnFontSize = fontSizeBox(Frame2, QStringLiteral("cboFnFontSize"));
    place(cboFnFontSize, 480, 960, 855, 315);
    Label1[0] = new QLabel(Texts::label1Code, Frame2);
    place(Label1[0], 1440, 1005, 1695, 255);

    for (int index = 0; index < 2; ++index) {
        Label1[index]->setObjectName(QStringLiteral("Label1"));
        Label1[index]->setProperty("Index", index);
        Label1[index]->setTextFormat(Qt::PlainText);
    }

    chkDayFn = new QCheckBox(Texts::chkDayFn, this);
    chkDayFn->setObjectName(QStringLiteral("chkDayFn"));
    chkDayFn->setChecked(true);
    place(chkDayFn, 240, 2280, 3495, 375);

    cmdOK = new QPushButton(Texts::cmdOK, this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    place(cmdOK, 4200, 360, 1215, 375);
    connect(cmdOK, &QPushButton::clicked, this, &frmSet::cmdOK_Click);

    cmdCancel = new QPushButton(Texts::cmdCancel, this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    place(cmdCancel, 4200, 840, 1215, 375);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSet::cmdCancel_Click);

    setTabOrder(chkDayFn, cboFnFontSize);
    setTabOrder(cboFnFontSize, cboCmFontSize);
    setTabOrder(cboCmFontSize, cmdOK);
    setTabOrder(cmdOK, cmdCancel);
    chkDayFn->setFocus();
}

void frmSet::ShowSettings()
{
    const ProgramSettings::DialogValues values = ProgramSettings::readDialogValues();
    cboFnFontSize->setEditText(values.fnFontSize);
    cboCmFontSize->setEditText(values.cmFontSize);
    chkDayFn->setChecked(values.dayFunction);
}

void frmSet::ApplySettings()
{
    ProgramSettings::DialogValues values;
    values.fnFontSize = cboFnFontSize->currentText();
    values.cmFontSize = cboCmFontSize->currentText();
    values.dayFunction = chkDayFn->isChecked();
    ProgramSettings::ApplySettings(values, m_view, programPath());
}

void frmSet::UpdateAutostart()
{
    ProgramSettings::UpdateAutostart(chkDayFn->isChecked(), programPath());
}

QString frmSet::programPath()
{
    return QCoreApplication::applicationFilePath();
}

void frmSet::cmdOK_Click()
{
    ApplySettings();
    accept();
}

void frmSet::cmdCancel_Click()
{
    reject();
}

void frmSet::done(int result)
{
    FormSettings::SaveFormPosition(*this, ProgramSettings::applicationName, true);
    QDialog::done(result);
}
