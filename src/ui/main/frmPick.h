#pragma once

#include "picklist/PickList.h"
#include "picklist/PickModule.h"

#include <optional>

#include <QString>
#include <QWidget>

class CatalogueBrowser;
class PickCatalogue;
class Prompter;
class QCheckBox;
class QComboBox;
class QListWidget;
class QPushButton;

namespace PickTexts {
inline const QString caption = QStringLiteral("فهرست انتخاب");
inline const QString functions = QStringLiteral("تابع‌ها");
inline const QString constants = QStringLiteral("ثابت‌ها");
inline const QString add = QStringLiteral("افزودن به فهرست");
inline const QString addShown = QStringLiteral("افزودن تابع نمايش‌داده‌شده");
inline const QString addSelected = QStringLiteral("افزودن برگزيده‌ها به فهرست");
inline const QString addAll = QStringLiteral("افزودن همه نتيجه‌ها به فهرست");
inline const QString addImported = QStringLiteral("افزودن تنها واردشده‌ها به فهرست");
inline const QString addFamily = QStringLiteral("افزودن همه خانواده به فهرست");
inline const QString remove = QStringLiteral("حذف برگزيده‌ها");
inline const QString clear = QStringLiteral("پاک کردن فهرست");
inline const QString clearQuestion = QStringLiteral("همه فهرست پاک شود؟");
inline const QString save = QStringLiteral("ذخيره ماژول...");
inline const QString copy = QStringLiteral("رونوشت ماژول");
inline const QString formClassic = QStringLiteral("کلاسيک");
inline const QString formVba7 = QStringLiteral("VBA7");
inline const QString formBoth = QStringLiteral("هر دو");
inline const QString isPrivate = QStringLiteral("Private");
inline const QString comments = QStringLiteral("توضيح‌ها به صورت يادداشت");
inline const QString moduleName = QStringLiteral("نام ماژول:");
inline const QString badModuleName = QStringLiteral("«%1» نام درستي براي ماژول نيست: يک حرف، سپس حرف، رقم يا _ (حداکثر ۳۱ نويسه) و نه واژه‌اي از زبان Basic.");
inline const QString conflicts = QStringLiteral("اين Typeها در تابع‌ها به دو گونه آمده‌اند و ماژول ساخته نمي‌شود: %1");
inline const QString saveFailed = QStringLiteral("ماژول در «%1» ذخيره نشد.");
inline const QString empty = QStringLiteral("فهرست خالي است.");
inline const QString status = QStringLiteral("فهرست: %1 تابع، %2 ثابت");
} // namespace PickTexts

// The pick list's window: the functions and the constants gathered, in two lists, right
// to left; Delete removes the selected entries, a click (or Enter) on a function shows
// it, and the module of the whole list is saved as a .bas file or copied.
class frmPick : public QWidget
{
    Q_OBJECT

public:
    frmPick(PickList &list, const PickCatalogue &catalogue, CatalogueBrowser &browser, Prompter &prompter,
            QWidget *parent = nullptr);

    // Fills the two lists from the pick list again.
    void refresh();

signals:
    // The list was changed here (removed or cleared).
    void changed();
    // The button asks to add the shown function.
    void addShownRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void removeSelected();
    void clearList();
    void showFunction();
    void saveModule();
    void copyModule();
    // The module of the whole list as the choices say; nothing (after telling why)
    // where it cannot be made.
    std::optional<PickModule::Module> module(const QString &name);
    void storeChoices();

    QListWidget *lstPickFunctions = nullptr;
    QListWidget *lstPickConstants = nullptr;
    QComboBox *cboPickForm = nullptr;
    QCheckBox *chkPickPrivate = nullptr;
    QCheckBox *chkPickComments = nullptr;
    QPushButton *cmdPickAdd = nullptr;
    QPushButton *cmdPickSave = nullptr;
    QPushButton *cmdPickCopy = nullptr;
    QPushButton *cmdPickClear = nullptr;

    PickList &m_list;
    const PickCatalogue &m_catalogue;
    CatalogueBrowser &m_browser;
    Prompter &m_prompter;
};
