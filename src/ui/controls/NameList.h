#pragma once

#include <QIcon>
#include <QListView>
#include <QStringList>

#include <vector>

class NameListModel;

// A list of function names, one line each. Refilled with tens of thousands of names at a
// time: it holds them in one string list under a small model instead of an item object
// per row, and every row has the size of the first.
class NameList : public QListView
{
    Q_OBJECT

public:
    explicit NameList(QWidget *parent = nullptr);

    // Replaces the rows with the names, in their order; no row is current afterwards. A
    // row may carry an icon, a note shown after its name, and a tip, by the same index.
    struct Marks
    {
        QList<QIcon> icons;
        QStringList notes;
        QStringList tips;
    };
    // positions: the record position of each row's function, where the rows stand for
    // records.
    void setNames(const QStringList &names, const Marks &marks = {}, std::vector<qsizetype> positions = {});
    const QStringList &names() const;
    int count() const;
    // -1 when no row is current.
    int currentRow() const;
    // The name in the current row; empty when no row is current.
    QString currentName() const;
    // The record position of the current row; 0 when no row is current or the rows
    // carry no positions.
    qsizetype currentPosition() const;
    bool isRowSelected(int row) const;
    // The record positions of every row, and of the selected rows in row order.
    const std::vector<qsizetype> &positions() const { return m_positions; }
    std::vector<qsizetype> selectedPositions() const;
    QRect rowRect(int row) const;
    // Makes the row current and selected, as a click does; says so even when the row was
    // current already (but not selected).
    void setCurrentRow(int row);

signals:
    // The current row moved, by key, click or program; -1 when none is current.
    void currentRowChanged(int row);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    NameListModel *m_model;
    std::vector<qsizetype> m_positions;
};
