#pragma once

#include "TwipPanel.h"

class CloseKey;
class QAbstractItemView;
class QFrame;
class QLabel;

// The search and analysis panels share one plan: a caption strip with its close button,
// an input line with its button on the right, and a list filling the rest.
class InputPanel : public TwipPanel
{
    Q_OBJECT

public:
    struct Names
    {
        QString caption;
        QString captionText;
        QString box;
        QString closeButton;
    };

    InputPanel(const Names &names, QWidget *parent = nullptr);

    // The panel's stops for the Tab key, as a Persian reader meets them: the button, the
    // input beside it, then the list.
    QList<QWidget *> tabStops() const { return {m_button, m_input, m_list}; }

signals:
    // The panel's close key was clicked: the window puts the tree back.
    void closeClicked();

protected:
    // Places the three parts as designed and from then on follows the panel's size:
    // the list fills the width and ends 65 short of the bottom, the input leaves 960 on
    // the right for its button, which stands 105 right of it. The list's function names
    // read left to right, as written.
    void arrange(QWidget *input, QWidget *button, QAbstractItemView *list);

    QLabel *m_caption = nullptr;
    QFrame *m_box = nullptr;
    CloseKey *m_close = nullptr;

private:
    QWidget *m_input = nullptr;
    QWidget *m_button = nullptr;
    QWidget *m_list = nullptr;
};
