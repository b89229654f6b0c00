// The key row of the main window: cmdAbout on the left, the button group picKeys on the
// right with cmdSearchBar, cmdCopy and cmdExit. Sizes in twips, placed as pixels here.

#include "frmMain.h"

#include "platform/Texts.h"
#include "platform/Twips.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace {

QPushButton *keyButton(const QString &name, const QString &caption, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setLayoutDirection(Qt::RightToLeft);
    button->setAutoDefault(false);
    return button;
}

} // namespace

QWidget *frmMain::createKeyRow(QWidget *parent)
{
    const double dpi = logicalDpiX();
    const auto px = [dpi](int twips) { return Twips::toPixels(twips, dpi); };

    picColtrols = new QWidget(parent);
    picColtrols->setObjectName(QStringLiteral("picColtrols"));
    // The row's places are counted from the left, as in the window's own coordinates; only
    // the captions read right to left.
    picColtrols->setLayoutDirection(Qt::LeftToRight);
    picColtrols->setFixedHeight(px(495));

    cmdAbout = keyButton(QStringLiteral("cmdAbout"), Texts::cmdAbout, picColtrols);
    cmdAbout->setFixedSize(px(1215), px(375));

    picKeys = new QWidget(picColtrols);
    picKeys->setObjectName(QStringLiteral("picKeys"));
    picKeys->setFixedSize(px(3855), px(495));
    cmdSearchBar = keyButton(QStringLiteral("cmdSearchBar"), Texts::cmdSearchBarSearch, picKeys);
    cmdSearchBar->setGeometry(px(0), 0, px(1215), px(375));
    cmdCopy = keyButton(QStringLiteral("cmdCopy"), Texts::cmdCopy, picKeys);
    cmdCopy->setGeometry(px(1320), 0, px(1215), px(375));
    cmdExit = keyButton(QStringLiteral("cmdExit"), Texts::cmdExit, picKeys);
    cmdExit->setGeometry(px(2640), 0, px(1215), px(375));

    auto *row = new QHBoxLayout(picColtrols);
    row->setContentsMargins(px(120), 0, px(160), 0);
    row->setSpacing(0);
    row->addWidget(cmdAbout, 0, Qt::AlignTop);
    row->addStretch(1);
    row->addWidget(picKeys, 0, Qt::AlignTop);

    connect(cmdCopy, &QPushButton::clicked, this, &frmMain::cmdCopy_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmMain::cmdExit_Click);
    return picColtrols;
}
