#pragma once

#include "settings/MainView.h"

#include <QStringList>

#include <functional>

// A main window made of plain fields, that notes every setting it is given in order.
class FakeMainView : public MainView
{
public:
    void setFunctionFontSize(double points) override;
    void setCommentFontSize(double points) override;
    void setCaptionVisible(bool visible) override;
    void setStatusBarVisible(bool visible) override;
    void setKeysVisible(bool visible) override;
    bool captionChecked() const override { return caption; }
    bool statusBarChecked() const override { return statusBar; }
    bool keysChecked() const override { return keys; }
    void setTreeSize(int twips) override;
    void setFunctionTextHeight(int twips) override;
    int treeSize() const override { return tree; }
    int functionTextHeight() const override { return functionText; }

    double functionFontSize = 0;
    double commentFontSize = 0;
    bool caption = false;
    bool statusBar = false;
    bool keys = false;
    int tree = 0;
    int functionText = 0;

    // One line per call, for example "functionFont 12" or "statusBar false".
    QStringList calls;
    // Called on every setter after the field is set, with the line.
    std::function<void(const QString &)> onCall;

private:
    void note(const QString &line);
};
