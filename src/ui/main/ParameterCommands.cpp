// The parameters that take constants: a list under the declaration, one line a parameter
// (and one for the function's result), each opening the constants window on its family
// with a click or with Enter.
#include "frmMain.h"

#include "TwipPanel.h"
#include "browse/CatalogueBrowser.h"
#include "find/ConstantFinder.h"
#include "platform/Twips.h"
#include "ui/windows/ParameterTexts.h"
#include "ui/windows/frmConst.h"

#include <QListWidget>

#include <algorithm>

void frmMain::createParameterList()
{
    lstParams = new QListWidget(picFn);
    lstParams->setObjectName(QStringLiteral("lstParams"));
    lstParams->setFrameShape(QFrame::NoFrame);
    lstParams->setToolTip(ParameterTexts::listTip);
    lstParams->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lstParams->setTextElideMode(Qt::ElideMiddle);
    // Read as links: the link colour, underlined, on the panel's own background.
    QPalette palette = lstParams->palette();
    palette.setColor(QPalette::Base, picFn->palette().color(QPalette::Window));
    palette.setColor(QPalette::Text, palette.color(QPalette::Link));
    lstParams->setPalette(palette);
    QFont font = lstParams->font();
    font.setUnderline(true);
    lstParams->setFont(font);
    lstParams->setCursor(Qt::PointingHandCursor);
    lstParams->hide();
    // A click opens the window; so does Enter (activated), and a double click (both: the
    // window shows the same family again).
    connect(lstParams, &QListWidget::clicked, this, [this](const QModelIndex &index) { showParameterConstants(index.row()); });
    connect(lstParams, &QListWidget::activated, this, [this](const QModelIndex &index) { showParameterConstants(index.row()); });
}

void frmMain::ShowParameters(const CatalogueRecord &record)
{
    lstParams->clear();
    m_parameterLinks.clear();
    if (const ConstantFinder *constants = m_browser.constants()) {
        const ParameterConstants &table = constants->table().parameters;
        const QString function = record[CatalogueRecord::FunctionName];
        m_parameterLinks = table.parameters(function, record[CatalogueRecord::Declaration]);
        for (const ParameterFamily &link : table.links()) {
            if (link.function == function && link.isResult())
                m_parameterLinks.push_back(link);
        }
        for (const ParameterFamily &link : m_parameterLinks) {
            const ConstantFamily *family = table.family(link.family);
            QString line = link.isResult() ? ParameterTexts::resultLine.arg(link.family)
                                           : ParameterTexts::parameterLine.arg(link.parameter, link.family);
            if (family && family->combines && !link.isResult())
                line += ParameterTexts::combines;
            auto *item = new QListWidgetItem(QChar(0x200F) + line, lstParams);
            item->setToolTip(family ? family->members.mid(0, 12).join(QLatin1Char(' ')) : QString());
        }
    }
    lstParams->setVisible(!m_parameterLinks.empty());
    // The first line current, for Enter, but not selected: no line stands out before the
    // user goes to the list.
    if (!m_parameterLinks.empty())
        lstParams->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    picFn->runResizeRule();
}

int frmMain::parameterListHeight(int room) const
{
    if (m_parameterLinks.empty())
        return 0;
    // Whole lines only, four at most and as many as the room takes (one at the least); a
    // longer list scrolls.
    const int line = std::max(lstParams->sizeHintForRow(0), 1);
    const int frame = 2 * lstParams->frameWidth() + 2;
    const int fit = (Twips::toPixels(room, logicalDpiY()) - frame) / line;
    const int rows = std::clamp(fit, 1, static_cast<int>(std::min<size_t>(m_parameterLinks.size(), 4)));
    return Twips::fromPixels(rows * line + frame, logicalDpiY());
}

void frmMain::showParameterConstants(int row)
{
    if (row < 0 || static_cast<size_t>(row) >= m_parameterLinks.size() || !m_browser.constants())
        return;
    mnuConst_Click();
    if (m_constWindow)
        m_constWindow->showParameter(m_parameterLinks, static_cast<size_t>(row));
}
