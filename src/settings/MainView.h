#pragma once

// What the program settings read from and write to the main window: the two text boxes'
// font sizes, the optional parts, and the first sides of the two splitters. The main
// window implements it; the settings code and the settings dialog see only this.
class MainView
{
public:
    virtual ~MainView() = default;

    // Font sizes in points of the declaration box txtFunction and the description box
    // txtComment; the new size shows at once.
    virtual void setFunctionFontSize(double points) = 0;
    virtual void setCommentFontSize(double points) = 0;

    // Each optional part together with its menu check mark: the function-name label
    // (mnuCaption), the status bar (mnuStatusBarView), the key row (mnuKeys).
    virtual void setCaptionVisible(bool visible) = 0;
    virtual void setStatusBarVisible(bool visible) = 0;
    virtual void setKeysVisible(bool visible) = 0;
    // The check marks are the state of record, whatever the parts show at the moment.
    virtual bool captionChecked() const = 0;
    virtual bool statusBarChecked() const = 0;
    virtual bool keysChecked() const = 0;

    // The VBA7 entry's check mark (mnuVba7): the declarations shown in 64-bit Office's form.
    // Checking it has no effect while the catalogue has no VBA7 declarations.
    virtual void setVba7Checked(bool /*checked*/) {}
    virtual bool vba7Checked() const { return false; }

    // Control1Size, in twips, of resControls (the tree side) and of resFunction (the
    // declaration panel).
    virtual void setTreeSize(int twips) = 0;
    virtual void setFunctionTextHeight(int twips) = 0;
    virtual int treeSize() const = 0;
    virtual int functionTextHeight() const = 0;
};
