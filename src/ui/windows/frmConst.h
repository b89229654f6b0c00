#pragma once

#include "find/ConstantFinder.h"

#include <QString>
#include <QWidget>

#include <optional>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableView;
class ConstantModel;

namespace ConstTexts {
inline const QString caption = QStringLiteral("ثابت‌ها");
inline const QString search = QStringLiteral("جستجو:");
inline const QString family = QStringLiteral("خانواده:");
inline const QString allFamilies = QStringLiteral("همه خانواده‌ها");
inline const QString columnName = QStringLiteral("نام");
inline const QString columnValue = QStringLiteral("مقدار");
inline const QString copy = QStringLiteral("رونوشت");
inline const QString copyFamily = QStringLiteral("رونوشت خانواده");
inline const QString close = QStringLiteral("بستن");
inline const QString count = QStringLiteral("%1 ثابت");
inline const QString namedIn = QStringLiteral("ثابت‌هاي توضيح %1");
inline const QString openNamed = QStringLiteral("ثابت‌هاي اين توضيح");
inline const QString pickSelected = QStringLiteral("افزودن برگزيده‌ها به فهرست انتخاب");
inline const QString pickFamily = QStringLiteral("افزودن همه خانواده به فهرست انتخاب");
} // namespace ConstTexts

// The constants window: a search line (a piece of the name, or a value), a family filter,
// the matching constants (name and value), the selected constants' Basic lines, and
// buttons that copy those lines or the current constant's whole family. Right to left; it
// remembers where it was closed and its size.
class frmConst : public QWidget
{
    Q_OBJECT

public:
    explicit frmConst(const ConstantFinder &finder, QWidget *parent = nullptr);
    ~frmConst() override;

    // Shows the constants a function's description names, the first one selected, with
    // the input focus in their list.
    void showNamed(const QString &functionName, const std::vector<int> &positions);

    // Shows the constants a function's parameter takes: links are the function's
    // parameters with constants and its result, shown is the one to show. The line over
    // the list names it and says whether its values combine with Or; the others stay a
    // choice away. Typing then searches within the family, until another family is chosen.
    void showParameter(const std::vector<ParameterFamily> &links, size_t shown);

signals:
    // The user asked to add these constants (by name) to the pick list.
    void pickRequested(const QStringList &names);

private slots:
    void refresh();
    // Copies the Basic lines of every selected constant.
    void cmdCopy_Click();
    // Copies the Basic lines of the current constant's family.
    void cmdCopyFamily_Click();

    // Shows the parameter chosen in cboParameter.
    void cboParameter_Click(int index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QLineEdit *txtSearch = nullptr;
    QComboBox *cboFamily = nullptr;
    QTableView *lstConst = nullptr;
    QPlainTextEdit *txtLines = nullptr;
    QLabel *lblInfo = nullptr;
    QLabel *lblCount = nullptr;
    QPushButton *cmdCopy = nullptr;
    QPushButton *cmdCopyFamily = nullptr;
    QPushButton *cmdClose = nullptr;
    QLabel *lblParameter = nullptr;
    QComboBox *cboParameter = nullptr;
    QWidget *picParameter = nullptr;

    void showRows(std::vector<int> rows);
    // The list's context menu entries that hand constants to the pick list (Insert: the selected).
    void createPickCommands();
    std::vector<int> selectedPositions() const;
    void selectionChanged();

    // The line over the list and the choice of a parameter, hidden until one is shown.
    QWidget *createParameterBar();
    void leaveParameter();

    const ConstantFinder &m_finder;
    ConstantModel *m_model = nullptr;
    std::vector<ParameterFamily> m_links;
    // The shown parameter's constants; searches look within them while it is shown.
    std::optional<std::vector<int>> m_familyRows;
};
