#pragma once

#include <QStatusBar>

#include <QHash>

class QLabel;

// The main window's status bar: four sunken panels addressed by key, "name" (the shown
// function or a result count), "total" (the catalogue count), "pick" (the pick list's size), "prog" (where the progress
// bar lies during an analysis) and "time" (the time of day).
class StatusPanels : public QStatusBar
{
    Q_OBJECT

public:
    explicit StatusPanels(QWidget *parent = nullptr);

    QString text(const QString &key) const;
    void setText(const QString &key, const QString &text);
    QLabel *panel(const QString &key) const;

private:
    QHash<QString, QLabel *> m_panels;
};
