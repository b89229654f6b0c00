#pragma once

#include <QPointer>
#include <QWidget>

class QLabel;

// A panel that, while shown, lies exactly over another widget of the window (the tree
// side of the working area) and follows it as the window or the splitter changes its
// size. Its top strip carries the panel's caption and leaves room for a close button.
class OverlayPanel : public QWidget
{
    Q_OBJECT

public:
    explicit OverlayPanel(QWidget *parent = nullptr);

    // From now on lies over target; target must be inside this panel's parent.
    void setOverlayTarget(QWidget *target);

protected:
    // The caption strip: the caption label followed by the place of the close button.
    QWidget *makeCaptionStrip(QLabel *caption, const QString &closePlaceName);

    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void followTarget();

    QPointer<QWidget> m_target;
};
