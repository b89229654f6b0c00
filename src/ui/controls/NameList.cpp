#include "NameList.h"

#include <algorithm>

#include <QAbstractListModel>
#include <QItemSelectionModel>
#include <QKeyEvent>

class NameListModel : public QAbstractListModel
{
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(names.size());
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!checkIndex(index, CheckIndexOption::IndexIsValid))
            return {};
        const qsizetype row = index.row();
        switch (role) {
        case Qt::DisplayRole:
            return row < marks.notes.size() && !marks.notes.at(row).isEmpty()
                       ? names.at(row) + QStringLiteral("  ") + marks.notes.at(row) : names.at(row);
        case Qt::EditRole:
            return names.at(row);
        case Qt::DecorationRole:
            return row < marks.icons.size() ? QVariant(marks.icons.at(row)) : QVariant();
        case Qt::ToolTipRole:
            return row < marks.tips.size() && !marks.tips.at(row).isEmpty() ? QVariant(marks.tips.at(row)) : QVariant();
        default:
            return {};
        }
    }

    void reset(const QStringList &replacement, const NameList::Marks &replacementMarks)
    {
        beginResetModel();
        names = replacement;
        marks = replacementMarks;
        endResetModel();
    }

    QStringList names;
    NameList::Marks marks;
};

NameList::NameList(QWidget *parent)
    : QListView(parent)
    , m_model(new NameListModel(this))
{
    setModel(m_model);
    // Every row is one line of the same font: the list need not measure each row.
    setUniformItemSizes(true);
    // Several rows at once (Shift, Ctrl) for the pick list; a click still picks one.
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) { emit currentRowChanged(current.isValid() ? current.row() : -1); });
}

void NameList::setNames(const QStringList &names, const Marks &marks, std::vector<qsizetype> positions)
{
    m_positions = std::move(positions);
    m_model->reset(names, marks);
}

const QStringList &NameList::names() const { return m_model->names; }

int NameList::count() const { return static_cast<int>(m_model->names.size()); }

int NameList::currentRow() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() : -1;
}

QString NameList::currentName() const
{
    const int row = currentRow();
    return row >= 0 ? m_model->names.at(row) : QString();
}

qsizetype NameList::currentPosition() const
{
    const int row = currentRow();
    return row >= 0 && static_cast<size_t>(row) < m_positions.size() ? m_positions[static_cast<size_t>(row)] : 0;
}

bool NameList::isRowSelected(int row) const { return selectionModel()->isSelected(m_model->index(row, 0)); }

std::vector<qsizetype> NameList::selectedPositions() const
{
    std::vector<int> rows;
    for (const QModelIndex &index : selectionModel()->selectedIndexes())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    std::vector<qsizetype> out;
    for (const int row : rows) {
        if (static_cast<size_t>(row) < m_positions.size())
            out.push_back(m_positions[static_cast<size_t>(row)]);
    }
    return out;
}

QRect NameList::rowRect(int row) const { return visualRect(m_model->index(row, 0)); }

void NameList::setCurrentRow(int row)
{
    const QModelIndex index = m_model->index(row, 0);
    if (index.isValid() && index == currentIndex()) {
        selectionModel()->select(index, QItemSelectionModel::ClearAndSelect);
        emit currentRowChanged(row);
    } else {
        setCurrentIndex(index);
    }
}

void NameList::keyPressEvent(QKeyEvent *event)
{
    // Taking the focus makes the first row current without selecting it (the view's own
    // doing): the first Down or Up then picks that row instead of moving past it, and a
    // key that stays on it (Home on the first row) picks it too.
    const int row = currentRow();
    const bool unpicked = row >= 0 && !isRowSelected(row) && event->modifiers() == Qt::NoModifier;
    if (unpicked && (event->key() == Qt::Key_Down || event->key() == Qt::Key_Up)) {
        setCurrentRow(row);
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
    const int key = event->key();
    if (unpicked && currentRow() == row
        && (key == Qt::Key_Home || key == Qt::Key_End || key == Qt::Key_PageUp || key == Qt::Key_PageDown))
        setCurrentRow(row);
}
