#pragma once

#include "settings/MainView.h"

#include <QStringList>

#include <functional>
#include <type_traits>

// A main window made of plain fields, that notes every setting it is given in order.
class FakeMainView : public MainView
{
public:
    void setFunctionFontSize(double points) override { note(functionFontSize = points, "functionFont"); }
    void setCommentFontSize(double points) override { note(commentFontSize = points, "commentFont"); }
    void setCaptionVisible(bool visible) override { note(caption = visible, "caption"); }
    void setStatusBarVisible(bool visible) override { note(statusBar = visible, "statusBar"); }
    void setKeysVisible(bool visible) override { note(keys = visible, "keys"); }
    bool captionChecked() const override { return caption; }
    bool statusBarChecked() const override { return statusBar; }
    bool keysChecked() const override { return keys; }
    void setTreeSize(int twips) override { note(tree = twips, "tree"); }
    void setFunctionTextHeight(int twips) override { note(functionText = twips, "functionText"); }
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
    template<typename T>
    void note(T value, const char *what)
    {
        if constexpr (std::is_same_v<T, bool>)
            calls << QString::fromLatin1(what) + (value ? QStringLiteral(" true") : QStringLiteral(" false"));
        else
            calls << QString::fromLatin1(what) + u' ' + QString::number(value);
        if (onCall)
            onCall(calls.constLast());
    }
};
