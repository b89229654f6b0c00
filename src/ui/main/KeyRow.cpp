// The key row of the main window: cmdAbout on the left, the button group picKeys on the
// right with cmdSearchBar, cmdCopy and cmdExit. Docked at the bottom, above the status bar.

#include "frmMain.h"

#include "TwipPanel.h"
#include "platform/Texts.h"

#include <QPushButton>

namespace {

QPushButton *keyButton(const QString &name, const QString &caption, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

} // namespace

void frmMain::createKeyRow()
{
    picColtrols = new TwipPanel(m_client);
    picColtrols->setObjectName(QStringLiteral("picColtrols"));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(8.25);
    picColtrols->setFont(font);
    TwipLayout::place(picColtrols, 0, 6660, 9930, 495);

    cmdAbout = keyButton(QStringLiteral("cmdAbout"), Texts::cmdAbout, picColtrols);
    TwipLayout::place(cmdAbout, 120, 0, 1215, 375);

    picKeys = new QWidget(picColtrols);
    picKeys->setObjectName(QStringLiteral("picKeys"));
    TwipLayout::place(picKeys, 6000, 0, 3855, 615);
    cmdSearchBar = keyButton(QStringLiteral("cmdSearchBar"), Texts::cmdSearchBarSearch, picKeys);
    TwipLayout::place(cmdSearchBar, 0, 0, 1215, 375);
    cmdCopy = keyButton(QStringLiteral("cmdCopy"), Texts::cmdCopy, picKeys);
    TwipLayout::place(cmdCopy, 1320, 0, 1215, 375);
    cmdExit = keyButton(QStringLiteral("cmdExit"), Texts::cmdExit, picKeys);
    TwipLayout::place(cmdExit, 2640, 0, 1215, 375);

    picColtrols->setResizeRule([this](int w, int) {
        TwipLayout::setLeft(picKeys, w - TwipLayout::rect(picKeys).width() - 160);
    });

    connect(cmdSearchBar, &QPushButton::clicked, this, &frmMain::cmdSearchBar_Click);
    connect(cmdCopy, &QPushButton::clicked, this, &frmMain::cmdCopy_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmMain::cmdExit_Click);
}
