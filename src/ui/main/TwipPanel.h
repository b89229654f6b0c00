#pragma once

#include <QWidget>

#include <functional>

class CloseKey;
class QFrame;
class QLabel;

// A panel whose children stand at fixed places in twips and follow its size by a rule
// run on every resize of the panel, as the main window's panels do.
class TwipPanel : public QWidget
{
    Q_OBJECT

public:
    explicit TwipPanel(QWidget *parent = nullptr);

    // The rule run on every resize, with the panel's own width and height in twips.
    void setResizeRule(std::function<void(int width, int height)> rule);
    // Runs the rule now, on the panel's present size.
    void runResizeRule();

    // A caption strip: the label with the strip colour and, above it, the box drawn
    // around the strip; both 255 twips high at the panel's top-left corner.
    static QLabel *makeCaption(const QString &name, const QString &text, int labelWidth, QWidget *parent);
    static QFrame *makeStripBox(const QString &name, int width, QWidget *parent);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    std::function<void(int, int)> m_rule;
};

// Placing a widget by twips; a step whose size is not valid (negative) is skipped, as the
// window's layout rules ask, and reports false.
namespace TwipLayout {

QRect rect(const QWidget *widget);
void place(QWidget *widget, int left, int top, int width, int height);
bool setLeft(QWidget *widget, int left);
bool setTop(QWidget *widget, int top);
bool setWidth(QWidget *widget, int width);
bool setHeight(QWidget *widget, int height);

} // namespace TwipLayout
