#include "FakeMainView.h"

namespace {

QString word(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

} // namespace

void FakeMainView::setFunctionFontSize(double points)
{
    functionFontSize = points;
    note(QStringLiteral("functionFont ") + QString::number(points));
}

void FakeMainView::setCommentFontSize(double points)
{
    commentFontSize = points;
    note(QStringLiteral("commentFont ") + QString::number(points));
}

void FakeMainView::setCaptionVisible(bool visible)
{
    caption = visible;
    note(QStringLiteral("caption ") + word(visible));
}

void FakeMainView::setStatusBarVisible(bool visible)
{
    statusBar = visible;
    note(QStringLiteral("statusBar ") + word(visible));
}

void FakeMainView::setKeysVisible(bool visible)
{
    keys = visible;
    note(QStringLiteral("keys ") + word(visible));
}

void FakeMainView::setTreeSize(int twips)
{
    tree = twips;
    note(QStringLiteral("tree ") + QString::number(twips));
}

void FakeMainView::setFunctionTextHeight(int twips)
{
    functionText = twips;
    note(QStringLiteral("functionText ") + QString::number(twips));
}

void FakeMainView::note(const QString &line)
{
    calls << line;
    if (onCall)
        onCall(line);
}
