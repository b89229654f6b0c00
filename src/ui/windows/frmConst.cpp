#include "frmConst.h"

#include "WindowPlace.h"
#include "settings/ProgramSettings.h"
#include "ui/controls/FormPosition.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

// The list's rows: positions in the finder's table, shown as name and value.
class ConstantModel : public QAbstractTableModel
{
public:
    explicit ConstantModel(const ConstantFinder &finder, QObject *parent)
        : QAbstractTableModel(parent)
        , m_finder(finder)
    {
    }

    void setRows(std::vector<int> rows)
    {
        beginResetModel();
        m_rows = std::move(rows);
        endResetModel();
    }
    int position(int row) const { return m_rows.at(static_cast<size_t>(row)); }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
    }
    int columnCount(const QModelIndex &parent = QModelIndex()) const override { return parent.isValid() ? 0 : 2; }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid())
            return {};
        const Constant &c = m_finder.at(position(index.row()));
        if (role == Qt::DisplayRole) {
            if (index.column() == 0)
                return c.name;
            return ConstantFinder::valueText(c);
        }
        if (role == Qt::ToolTipRole)
            return c.meaning.isEmpty() ? c.header : c.meaning;
        return {};
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
            return section == 0 ? ConstTexts::columnName : ConstTexts::columnValue;
        return {};
    }

private:
    const ConstantFinder &m_finder;
    std::vector<int> m_rows;
};

frmConst::frmConst(const ConstantFinder &finder, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_finder(finder)
{
    setObjectName(QStringLiteral("frmConst"));
    setWindowTitle(ConstTexts::caption);
    setLayoutDirection(Qt::RightToLeft);
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(8.25);
    setFont(font);
    resize(600, 520);

    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(ConstTexts::search, this));
    txtSearch = new QLineEdit(this);
    txtSearch->setObjectName(QStringLiteral("txtSearch"));
    // Names and numbers are typed left to right.
    txtSearch->setLayoutDirection(Qt::LeftToRight);
    // Room for a long name: ERROR_INSTALL_PACKAGE_REJECTED, STATUS_INFO_LENGTH_MISMATCH.
    txtSearch->setMinimumWidth(txtSearch->fontMetrics().horizontalAdvance(QStringLiteral("ERROR_INSTALL_PACKAGE_DOWNGRADE_BLOCKED")) + 16);
    top->addWidget(txtSearch, 3);
    top->addWidget(new QLabel(ConstTexts::family, this));
    cboFamily = new QComboBox(this);
    cboFamily->setObjectName(QStringLiteral("cboFamily"));
    cboFamily->addItem(ConstTexts::allFamilies, QString());
    for (const QString &family : m_finder.families())
        cboFamily->addItem(m_finder.familyCaption(family), family);
    cboFamily->setMaxVisibleItems(20);
    // The families' Persian names are long: the box keeps to its share and the list
    // opens as wide as they need.
    cboFamily->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cboFamily->setMinimumContentsLength(12);
    top->addWidget(cboFamily, 2);
    layout->addLayout(top);
    layout->addWidget(createParameterBar());

    m_model = new ConstantModel(m_finder, this);
    lstConst = new QTableView(this);
    lstConst->setObjectName(QStringLiteral("lstConst"));
    lstConst->setModel(m_model);
    lstConst->setLayoutDirection(Qt::LeftToRight);
    lstConst->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstConst->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstConst->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstConst->setTabKeyNavigation(false);
    lstConst->verticalHeader()->hide();
    lstConst->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    lstConst->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    lstConst->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    layout->addWidget(lstConst, 3);

    lblInfo = new QLabel(this);
    lblInfo->setObjectName(QStringLiteral("lblInfo"));
    layout->addWidget(lblInfo);

    txtLines = new QPlainTextEdit(this);
    txtLines->setObjectName(QStringLiteral("txtLines"));
    txtLines->setReadOnly(true);
    txtLines->setLayoutDirection(Qt::LeftToRight);
    txtLines->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont code(QStringLiteral("Courier New"));
    code.setPointSize(9);
    txtLines->setFont(code);
    layout->addWidget(txtLines, 1);

    auto *bottom = new QHBoxLayout;
    cmdCopy = new QPushButton(ConstTexts::copy, this);
    cmdCopy->setObjectName(QStringLiteral("cmdCopy"));
    cmdCopyFamily = new QPushButton(ConstTexts::copyFamily, this);
    cmdCopyFamily->setObjectName(QStringLiteral("cmdCopyFamily"));
    cmdClose = new QPushButton(ConstTexts::close, this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    lblCount = new QLabel(this);
    lblCount->setObjectName(QStringLiteral("lblCount"));
    bottom->addWidget(cmdCopy);
    bottom->addWidget(cmdCopyFamily);
    bottom->addStretch(1);
    bottom->addWidget(lblCount);
    bottom->addWidget(cmdClose);
    layout->addLayout(bottom);

    connect(txtSearch, &QLineEdit::textChanged, this, &frmConst::refresh);
    connect(cboFamily, &QComboBox::currentIndexChanged, this, [this] {
        leaveParameter();
        refresh();
    });
    connect(lstConst->selectionModel(), &QItemSelectionModel::selectionChanged, this, &frmConst::selectionChanged);
    connect(lstConst->selectionModel(), &QItemSelectionModel::currentChanged, this, &frmConst::selectionChanged);
    connect(m_model, &QAbstractItemModel::modelReset, this, &frmConst::selectionChanged);
    connect(cmdCopy, &QPushButton::clicked, this, &frmConst::cmdCopy_Click);
    connect(cmdCopyFamily, &QPushButton::clicked, this, &frmConst::cmdCopyFamily_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    createPickCommands();
    txtSearch->installEventFilter(this);
    lstConst->installEventFilter(this);
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setObjectName(QStringLiteral("escapeCloses"));
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    refresh();
    WindowPlace::besideParent(*this);
    FormSettings::RestoreFormPosition(*this, ProgramSettings::applicationName, false);
    txtSearch->setFocus();
}

frmConst::~frmConst() = default;

void frmConst::refresh()
{
    if (m_familyRows)
        showRows(m_finder.findAmong(txtSearch->text(), *m_familyRows));
    else
        showRows(m_finder.find(txtSearch->text(), cboFamily->currentData().toString()));
}

void frmConst::showNamed(const QString &functionName, const std::vector<int> &positions)
{
    {
        const QSignalBlocker blockSearch(txtSearch);
        const QSignalBlocker blockFamily(cboFamily);
        txtSearch->clear();
        cboFamily->setCurrentIndex(0);
    }
    leaveParameter();
    showRows(positions);
    lblCount->setText(ConstTexts::namedIn.arg(functionName));
    if (!positions.empty())
        lstConst->selectRow(0);
    lstConst->setFocus();
}

void frmConst::showRows(std::vector<int> rows)
{
    const qsizetype count = static_cast<qsizetype>(rows.size());
    m_model->setRows(std::move(rows));
    lblCount->setText(ConstTexts::count.arg(count));
    if (count > 0)
        lstConst->setCurrentIndex(m_model->index(0, 0));
}

std::vector<int> frmConst::selectedPositions() const
{
    QModelIndexList rows = lstConst->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(), [](const QModelIndex &a, const QModelIndex &b) { return a.row() < b.row(); });
    std::vector<int> positions;
    for (const QModelIndex &index : rows)
        positions.push_back(m_model->position(index.row()));
    return positions;
}

void frmConst::selectionChanged()
{
    const std::vector<int> selected = selectedPositions();
    txtLines->setPlainText(m_finder.lines(selected).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    const QModelIndex current = lstConst->currentIndex();
    QString info;
    if (current.isValid()) {
        const Constant &c = m_finder.at(m_model->position(current.row()));
        // The meaning first, and a right-to-left mark ahead, so that the line reads from
        // the right even where it starts with a Latin name.
        info = QChar(0x200F) + (c.meaning.isEmpty() ? QString() : c.meaning + QStringLiteral("  "))
            + m_finder.familyCaption(c.family) + QStringLiteral("  (") + c.header + QLatin1Char(')');
    }
    lblInfo->setText(info);
    cmdCopy->setEnabled(!selected.empty());
    cmdCopyFamily->setEnabled(current.isValid());
}

void frmConst::cmdCopy_Click()
{
    const std::vector<int> selected = selectedPositions();
    if (!selected.empty())
        QGuiApplication::clipboard()->setText(m_finder.lines(selected) + QStringLiteral("\r\n"));
}

void frmConst::cmdCopyFamily_Click()
{
    const QModelIndex current = lstConst->currentIndex();
    if (current.isValid())
        QGuiApplication::clipboard()->setText(m_finder.lines(m_finder.familyOf(m_model->position(current.row())))
                                              + QStringLiteral("\r\n"));
}

bool frmConst::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        // Ctrl+C copies the selected constants' lines, from the list and from the search
        // line when it has no text selected of its own.
        if (key->matches(QKeySequence::Copy)
            && (watched == lstConst || (watched == txtSearch && !txtSearch->hasSelectedText()))) {
            cmdCopy_Click();
            return true;
        }
        if (watched == txtSearch && key->key() == Qt::Key_Down && m_model->rowCount() > 0) {
            lstConst->setFocus();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmConst::closeEvent(QCloseEvent *event)
{
    FormSettings::SaveFormPosition(*this, ProgramSettings::applicationName, false);
    QWidget::closeEvent(event);
}

void frmConst::createPickCommands()
{
    const auto namesOf = [this](const std::vector<int> &positions) {
        QStringList names;
        for (const int position : positions)
            names << m_finder.at(position).name;
        return names;
    };
    auto *selected = new QAction(ConstTexts::pickSelected, lstConst);
    selected->setObjectName(QStringLiteral("mnuConstPickSelected"));
    selected->setShortcut(QKeySequence(Qt::Key_Insert));
    selected->setShortcutContext(Qt::WidgetShortcut);
    connect(selected, &QAction::triggered, this, [this, namesOf] {
        if (const std::vector<int> positions = selectedPositions(); !positions.empty())
            emit pickRequested(namesOf(positions));
    });
    auto *family = new QAction(ConstTexts::pickFamily, lstConst);
    family->setObjectName(QStringLiteral("mnuConstPickFamily"));
    connect(family, &QAction::triggered, this, [this, namesOf] {
        const QModelIndex current = lstConst->currentIndex();
        if (current.isValid())
            emit pickRequested(namesOf(m_finder.familyOf(m_model->position(current.row()))));
    });
    lstConst->addAction(selected);
    lstConst->addAction(family);
    lstConst->setContextMenuPolicy(Qt::ActionsContextMenu);
}
