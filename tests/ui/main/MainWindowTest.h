// What the main window's tests share: the window over a catalogue of the given records,
// shown and active, its prompts answered by script, and the user's ways of picking.
#pragma once

#include "browse/CatalogueBrowser.h"
#include "catalogue/CatalogueTree.h"
#include "platform/Texts.h"
#include "support/Named.h"
#include "support/ScriptedPrompter.h"
#include "support/TestCatalogue.h"
#include "ui/main/StatusPanels.h"
#include "ui/controls/TextBox.h"
#include "ui/main/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QTest>
#include <QTreeView>

struct MainWindowTest
{
    std::unique_ptr<ScriptedPrompter> prompter;
    std::unique_ptr<CatalogueBrowser> browser;
    std::unique_ptr<frmMain> main;

    // A new window over the records, shown and active.
    bool open(std::vector<CatalogueRecord> records)
    {
        main.reset();
        prompter = std::make_unique<ScriptedPrompter>();
        browser = std::make_unique<CatalogueBrowser>();
        browser->setRecordset(recordsetOf(std::move(records)));
        main = std::make_unique<frmMain>(*browser, *prompter);
        main->BuildCatalogueTree();
        main->show();
        main->activateWindow();
        return QTest::qWaitForWindowActive(main.get());
    }

    void close()
    {
        main.reset();
        browser.reset();
        prompter.reset();
    }

    QModelIndex node(const QString &key) const { return main->catalogueTree()->indexForKey(key); }
    QString status() const { return named<StatusPanels>(main.get(), "StatusBar")->text(QStringLiteral("name")); }

    // Nothing was said since the last look, or only the error message given.
    void saidOnly(const QString &message) const
    {
        QCOMPARE(prompter->messages.size(), message.isEmpty() ? 0 : 1);
        if (message.isEmpty())
            return;
        const ScriptedPrompter::Message said = prompter->messages.takeFirst();
        QCOMPARE(said.text, message);
        QVERIFY(said.caption == "Vorn" && said.icon == Prompter::Icon::Critical);
    }

    // Clicks the tree's node with the mouse, its branches opened.
    void click(const QString &key) const
    {
        QTreeView *tree = named<QTreeView>(main.get(), "trvApi");
        const QModelIndex index = node(key);
        QVERIFY2(index.isValid(), qPrintable(key));
        for (QModelIndex up = index.parent(); up.isValid(); up = up.parent())
            tree->expand(up);
        tree->scrollTo(index);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(index).center());
    }
};

// Keys go where a user's keys go: to the widget that has the focus.
inline void type(const QString &text) { QTest::keyClicks(QApplication::focusWidget(), text); }
inline void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
{
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

// The rows of a list, or the history of a combo box.
template <class List>
QStringList texts(const List *list)
{
    QStringList all;
    for (int i = 0; i < list->count(); ++i)
        all << list->model()->index(i, 0).data().toString();
    return all;
}
