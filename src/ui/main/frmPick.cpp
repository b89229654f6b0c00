#include "frmPick.h"

#include "browse/CatalogueBrowser.h"
#include "output/ModuleExport.h"
#include "output/ModuleFile.h"
#include "picklist/PickCatalogue.h"
#include "picklist/PickModule.h"
#include "platform/Prompter.h"
#include "platform/Texts.h"
#include "settings/ProgramSettings.h"
#include "settings/RegKeys.h"
#include "ui/controls/FormPosition.h"
#include "ui/windows/WindowPlace.h"

#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString settingsKey = QStringLiteral("Software\\Kel\\Vorn\\PickList");

QListWidget *makeList(const QString &name, QWidget *parent)
{
    auto *list = new QListWidget(parent);
    list->setObjectName(name);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Names read left to right, as written.
    list->setLayoutDirection(Qt::LeftToRight);
    return list;
}

} // namespace

frmPick::frmPick(PickList &list, const PickCatalogue &catalogue, CatalogueBrowser &browser, Prompter &prompter,
                 QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_list(list)
    , m_catalogue(catalogue)
    , m_browser(browser)
    , m_prompter(prompter)
{
    setObjectName(QStringLiteral("frmPick"));
    setWindowTitle(PickTexts::caption);
    setLayoutDirection(Qt::RightToLeft);
    auto *layout = new QVBoxLayout(this);

    auto *lists = new QHBoxLayout;
    auto *functionSide = new QVBoxLayout;
    functionSide->addWidget(new QLabel(PickTexts::functions, this));
    lstPickFunctions = makeList(QStringLiteral("lstPickFunctions"), this);
    functionSide->addWidget(lstPickFunctions);
    auto *constantSide = new QVBoxLayout;
    constantSide->addWidget(new QLabel(PickTexts::constants, this));
    lstPickConstants = makeList(QStringLiteral("lstPickConstants"), this);
    constantSide->addWidget(lstPickConstants);
    lists->addLayout(functionSide, 1);
    lists->addLayout(constantSide, 1);
    layout->addLayout(lists, 1);

    auto *choices = new QHBoxLayout;
    cboPickForm = new QComboBox(this);
    cboPickForm->setObjectName(QStringLiteral("cboPickForm"));
    cboPickForm->addItems({PickTexts::formClassic, PickTexts::formVba7, PickTexts::formBoth});
    chkPickPrivate = new QCheckBox(Texts::keyed(PickTexts::isPrivate, 0), this);
    chkPickPrivate->setObjectName(QStringLiteral("chkPickPrivate"));
    chkPickComments = new QCheckBox(Texts::keyed(PickTexts::comments, 0), this);
    chkPickComments->setObjectName(QStringLiteral("chkPickComments"));
    choices->addWidget(cboPickForm);
    choices->addWidget(chkPickPrivate);
    choices->addWidget(chkPickComments);
    choices->addStretch();
    layout->addLayout(choices);

    auto *keys = new QHBoxLayout;
    const auto button = [this, keys](const char *name, const QString &caption) {
        auto *key = new QPushButton(Texts::keyed(caption, 0), this); // each on its first letter
        key->setObjectName(QLatin1String(name));
        keys->addWidget(key);
        return key;
    };
    cmdPickAdd = button("cmdPickAdd", PickTexts::addShown);
    cmdPickSave = button("cmdPickSave", PickTexts::save);
    cmdPickCopy = button("cmdPickCopy", PickTexts::copy);
    cmdPickClear = button("cmdPickClear", PickTexts::clear);
    layout->addLayout(keys);

    // The choices are the user's: kept between runs, a Public module and the classic form
    // at first.
    const int form = RegKeys::ReadKeyValue(RegKeys::Hive::CurrentUser, settingsKey, QStringLiteral("Form"), QStringLiteral("0")).toInt();
    cboPickForm->setCurrentIndex(form >= 0 && form <= 2 ? form : 0);
    chkPickPrivate->setChecked(RegKeys::ReadKeyValue(RegKeys::Hive::CurrentUser, settingsKey, QStringLiteral("Private"), QStringLiteral("0")) == QLatin1String("1"));
    chkPickComments->setChecked(RegKeys::ReadKeyValue(RegKeys::Hive::CurrentUser, settingsKey, QStringLiteral("Comments"), QStringLiteral("0")) == QLatin1String("1"));
    connect(cboPickForm, &QComboBox::activated, this, &frmPick::storeChoices);
    connect(chkPickPrivate, &QCheckBox::clicked, this, &frmPick::storeChoices);
    connect(chkPickComments, &QCheckBox::clicked, this, &frmPick::storeChoices);

    connect(cmdPickAdd, &QPushButton::clicked, this, &frmPick::addShownRequested);
    connect(&m_browser, &CatalogueBrowser::functionShown, cmdPickAdd, [this] { cmdPickAdd->setEnabled(true); });
    connect(cmdPickSave, &QPushButton::clicked, this, &frmPick::saveModule);
    connect(cmdPickCopy, &QPushButton::clicked, this, &frmPick::copyModule);
    connect(cmdPickClear, &QPushButton::clicked, this, &frmPick::clearList);
    connect(lstPickFunctions, &QListWidget::itemClicked, this, &frmPick::showFunction);
    lstPickFunctions->installEventFilter(this);
    lstPickConstants->installEventFilter(this);
    resize(520, 420);
    refresh();
    // Beside the main window the first time, where the user put it after that.
    WindowPlace::besideParent(*this);
    FormSettings::RestoreFormPosition(*this, ProgramSettings::applicationName, false);
}

void frmPick::closeEvent(QCloseEvent *event)
{
    FormSettings::SaveFormPosition(*this, ProgramSettings::applicationName, false);
    QWidget::closeEvent(event);
}

void frmPick::refresh()
{
    lstPickFunctions->clear();
    lstPickFunctions->addItems(m_list.names(PickList::Kind::Function));
    lstPickConstants->clear();
    lstPickConstants->addItems(m_list.names(PickList::Kind::Constant));
    const bool any = !m_list.entries().empty();
    cmdPickSave->setEnabled(any);
    cmdPickCopy->setEnabled(any);
    cmdPickClear->setEnabled(any);
    cmdPickAdd->setEnabled(m_browser.isFunctionShown());
}

bool frmPick::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Delete) {
            removeSelected();
            return true;
        }
        if (watched == lstPickFunctions && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            showFunction();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmPick::removeSelected()
{
    // The selected rows of both lists, as indexes of the whole list.
    std::vector<qsizetype> indexes;
    const auto &entries = m_list.entries();
    for (QListWidget *shown : {lstPickFunctions, lstPickConstants}) {
        const PickList::Kind kind = shown == lstPickFunctions ? PickList::Kind::Function : PickList::Kind::Constant;
        for (const QListWidgetItem *item : shown->selectedItems()) {
            for (size_t at = 0; at < entries.size(); ++at)
                if (entries[at].kind == kind && entries[at].name == item->text())
                    indexes.push_back(qsizetype(at));
        }
    }
    if (indexes.empty())
        return;
    QListWidget *focus = lstPickConstants->hasFocus() ? lstPickConstants : lstPickFunctions;
    const int row = focus->currentRow();
    m_list.remove(std::move(indexes));
    refresh();
    // The row after the removed ones stays under the user's hand.
    if (focus->count() > 0)
        focus->setCurrentRow(std::min(std::max(row, 0), focus->count() - 1));
    emit changed();
}

void frmPick::clearList()
{
    if (m_list.entries().empty() || !m_prompter.question(PickTexts::clearQuestion, Texts::programTitle))
        return;
    m_list.clear();
    refresh();
    emit changed();
}

void frmPick::showFunction()
{
    const QListWidgetItem *item = lstPickFunctions->currentItem();
    if (!item)
        return;
    if (const qsizetype position = m_catalogue.functionPosition(item->text()))
        m_browser.show(position);
}

void frmPick::storeChoices()
{
    RegKeys::Batch batch;
    RegKeys::WriteKeyValue(RegKeys::Hive::CurrentUser, settingsKey, QStringLiteral("Form"), QString::number(cboPickForm->currentIndex()));
    RegKeys::WriteKeyValue(RegKeys::Hive::CurrentUser, settingsKey, QStringLiteral("Private"), chkPickPrivate->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    RegKeys::WriteKeyValue(RegKeys::Hive::CurrentUser, settingsKey, QStringLiteral("Comments"), chkPickComments->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
}

std::optional<PickModule::Module> frmPick::module(const QString &name)
{
    if (m_list.entries().empty()) {
        m_prompter.message(PickTexts::empty, Texts::programTitle, Prompter::Icon::Exclamation);
        return std::nullopt;
    }
    std::vector<const CatalogueRecord *> functions;
    std::vector<const Constant *> constants;
    for (const PickList::Entry &entry : m_list.entries()) {
        if (entry.kind == PickList::Kind::Function) {
            if (const CatalogueRecord *record = m_catalogue.function(entry.name))
                functions.push_back(record);
        } else if (const Constant *constant = m_catalogue.constant(entry.name)) {
            constants.push_back(constant);
        }
    }
    PickModule::Options options;
    options.name = name;
    options.form = static_cast<PickModule::Form>(cboPickForm->currentIndex());
    options.isPrivate = chkPickPrivate->isChecked();
    options.comments = chkPickComments->isChecked();
    const PickModule::Module module = PickModule::build(functions, constants, options);
    if (!module.conflicts.isEmpty()) {
        m_prompter.message(PickTexts::conflicts.arg(module.conflicts.join(QStringLiteral("، "))), Texts::programTitle,
                           Prompter::Icon::Critical);
        return std::nullopt;
    }
    return module;
}

void frmPick::saveModule()
{
    QString name = PickModule::defaultName;
    for (;;) {
        const std::optional<QString> asked = m_prompter.text(PickTexts::moduleName, PickTexts::caption, name);
        if (!asked)
            return;
        name = asked->trimmed();
        if (PickModule::isModuleName(name))
            break;
        m_prompter.message(PickTexts::badModuleName.arg(name), Texts::programTitle, Prompter::Icon::Exclamation);
    }
    const std::optional<PickModule::Module> made = module(name);
    if (!made)
        return;
    const std::optional<QString> path =
        m_prompter.saveFile(ModuleExport::dialogFilter, ModuleExport::defaultExtension, name + QStringLiteral(".bas"));
    if (!path)
        return;
    const ModuleFile::WriteResult result = ModuleFile::write(*path, PickModule::bytes(*made));
    if (!result.ok)
        m_prompter.message(PickTexts::saveFailed.arg(*path) + QStringLiteral("\r\n") + result.errorDescription,
                           Texts::programTitle, Prompter::Icon::Critical);
}

void frmPick::copyModule()
{
    // The same text as the saved module of the default name, to paste into a new module.
    if (const std::optional<PickModule::Module> made = module(PickModule::defaultName))
        QGuiApplication::clipboard()->setText(made->text);
}
