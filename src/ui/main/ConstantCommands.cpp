// The constants: the Function menu's entry that opens the constants window, and the
// description box's context menu entry that opens it on the constants the shown
// description names.
#include "frmMain.h"

#include "ui/controls/TextBox.h"
#include "browse/CatalogueBrowser.h"
#include "find/ConstantFinder.h"
#include "ui/windows/frmConst.h"

#include <QAction>
#include <QLabel>
#include <QMenu>

void frmMain::createConstantCommands()
{
    m_descriptionConstants = new QAction(ConstTexts::openNamed, this);
    m_descriptionConstants->setObjectName(QStringLiteral("mnuDescriptionConstants"));
    connect(m_descriptionConstants, &QAction::triggered, this, &frmMain::showDescriptionConstants);
    txtComment->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(txtComment, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        QMenu *menu = txtComment->createStandardContextMenu(at);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->addSeparator();
        menu->addAction(m_descriptionConstants);
        const ConstantFinder *constants = m_browser.constants();
        m_descriptionConstants->setEnabled(constants && !constants->namedIn(txtComment->text()).empty());
        menu->popup(txtComment->viewport()->mapToGlobal(at));
    });
}

frmConst *frmMain::constantsWindow() const
{
    return m_constWindow.data();
}

void frmMain::mnuConst_Click()
{
    if (!m_browser.constants())
        return;
    if (!m_constWindow)
    {
        m_constWindow = new frmConst(*m_browser.constants(), this);
        connect(m_constWindow, &frmConst::pickRequested, this, &frmMain::pickConstants);
    }
    m_constWindow->show();
    m_constWindow->raise();
    m_constWindow->activateWindow();
}

void frmMain::showDescriptionConstants()
{
    if (!m_browser.constants())
        return;
    const std::vector<int> named = m_browser.constants()->namedIn(txtComment->text());
    if (named.empty())
        return;
    mnuConst_Click();
    m_constWindow->showNamed(lblFunctionName->text(), named);
}
