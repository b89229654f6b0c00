#include "frmAbout.h"

#include "Transpart.h"
#include "platform/Texts.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWindow>

namespace {

QLabel *label(const QString &text, const QString &objectName, const QFont &font, QWidget *parent)
{
    auto *result = new QLabel(text, parent);
    result->setObjectName(objectName);
    result->setTextFormat(Qt::PlainText);
    result->setFont(font);
    result->setAlignment(Qt::AlignCenter);
    return result;
}

QFont makeFont(const QString &family, int pointSize, bool bold = false, bool italic = false)
{
    QFont result(family, pointSize);
    result.setBold(bold);
    result.setItalic(italic);
    return result;
}

} // namespace

frmAbout::frmAbout(qint64 functionCount, QWidget *mainWindow)
    // A dialog-type window, though not modal: only such a window is marked on X11 as
    // belonging to its transient parent, which keeps it above the main window.
    : QWidget(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
    , m_mainWindow(mainWindow)
{
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Texts::mnuAbout);
    setLayoutDirection(Qt::RightToLeft);
    createControls();

    lblVersion->setText(versionText());
    lblCount->setText(Texts::aboutCountPrefix + QString::number(functionCount));
    if (m_mainWindow) {
        m_mainWindow->setEnabled(false);
        // Kept above the main window and placed over it, as a dialog would be.
        winId();
        if (QWindow *own = windowHandle(); own && m_mainWindow->windowHandle())
            own->setTransientParent(m_mainWindow->windowHandle());
        const QRect over = m_mainWindow->frameGeometry();
        move(over.center() - QPoint(width() / 2, height() / 2));
    }
}

frmAbout::~frmAbout()
{
    // A window destroyed without closing still gives the main window back.
    Form_Unload();
}

QString frmAbout::versionText()
{
    return Texts::aboutVersionPrefix + QString::number(VORN_VERSION_MAJOR) + QLatin1Char('.')
        + QString::number(VORN_VERSION_MINOR) + QLatin1Char('.') + QString::number(VORN_VERSION_PATCH);
}

void frmAbout::createControls()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(48, 16, 48, 16);
    layout->setSpacing(4);

    // The name with its mark at the upper right, and the title beneath it. The name
    // reads left to right even in the right-to-left window.
    auto *nameRow = new QWidget(this);
    nameRow->setLayoutDirection(Qt::LeftToRight);
    auto *name = new QHBoxLayout(nameRow);
    name->setContentsMargins(0, 0, 0, 0);
    name->setSpacing(0);
    name->addStretch();
    Label2 = label(Texts::programTitle, QStringLiteral("Label2"), makeFont(QStringLiteral("Smudger LET"), 30, true), nameRow);
    Label4 = label(Texts::aboutRegistered, QStringLiteral("Label4"), makeFont(QStringLiteral("Arial"), 10), nameRow);
    Label4->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    name->addWidget(Label2);
    name->addWidget(Label4, 0, Qt::AlignTop);
    name->addStretch();
    layout->addWidget(nameRow);
    Label6 = label(Texts::aboutProduct, QStringLiteral("Label6"), makeFont(QStringLiteral("Courier New"), 12, true), this);
    layout->addWidget(Label6);
    layout->addSpacing(10);

    const QFont tahoma = makeFont(QStringLiteral("Tahoma"), 8);
    lblVersion = label(QString(), QStringLiteral("lblVersion"), tahoma, this);
    lblCount = label(QString(), QStringLiteral("lblCount"), tahoma, this);
    Label8 = label(Texts::aboutDatabaseVersion, QStringLiteral("Label8"), tahoma, this);
    Label5 = label(Texts::aboutLastUpdate, QStringLiteral("Label5"), tahoma, this);
    for (QLabel *line : {lblVersion, lblCount, Label8, Label5})
        layout->addWidget(line);
    layout->addSpacing(10);

    // Who wrote it and where to reach them.
    Label1 = label(Texts::aboutAuthorCaption, QStringLiteral("Label1"), makeFont(QStringLiteral("Comic Sans MS"), 9, false, true), this);
    Label3 = label(Texts::aboutAuthor, QStringLiteral("Label3"), makeFont(QStringLiteral("Lucida Handwriting"), 10, true), this);
    Label7 = label(Texts::aboutContactCaption, QStringLiteral("Label7"), makeFont(QStringLiteral("Comic Sans MS"), 9, false, true), this);
    Label9 = label(Texts::aboutContact, QStringLiteral("Label9"), makeFont(QStringLiteral("Lucida Handwriting"), 9), this);
    for (QLabel *line : {Label1, Label3, Label7, Label9})
        layout->addWidget(line);
    layout->addSpacing(12);

    cmdBack = new QPushButton(Texts::aboutBack, this);
    cmdBack->setObjectName(QStringLiteral("cmdBack"));
    cmdBack->setFont(makeFont(QStringLiteral("MS Sans Serif"), 8));
    cmdBack->setFixedSize(81, 25); // 1215 x 375 twips at 96 dpi
    // Enter presses the button that has the focus, as on any dialog.
    cmdBack->setAutoDefault(true);
    connect(cmdBack, &QPushButton::clicked, this, &frmAbout::cmdBack_Click);
    layout->addWidget(cmdBack, 0, Qt::AlignHCenter);

    layout->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
}

void frmAbout::cmdBack_Click()
{
    Transpart::FadeForm(this, false, 3);
    close();
}

bool frmAbout::event(QEvent *event)
{
    // Activate: the focus goes to Back; a window still disabled by its fade refuses it,
    // and changeEvent gives it once the fade is over.
    if (event->type() == QEvent::WindowActivate && cmdBack->isEnabled())
        cmdBack->setFocus(Qt::ActiveWindowFocusReason);
    return QWidget::event(event);
}

void frmAbout::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange && isEnabled() && isActiveWindow())
        cmdBack->setFocus(Qt::ActiveWindowFocusReason);
    QWidget::changeEvent(event);
}

void frmAbout::keyPressEvent(QKeyEvent *event)
{
    // Escape leaves the window as Back does, as on any dialog.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        cmdBack_Click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmAbout::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    event->accept();
}

void frmAbout::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    if (m_mainWindow) {
        m_mainWindow->setEnabled(true);
        m_mainWindow->activateWindow();
        m_mainWindow->setFocus(Qt::ActiveWindowFocusReason);
    }
}
