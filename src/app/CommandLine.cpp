#include "CommandLine.h"

#include "catalogue/CatalogueStore.h"
#include "find/CatalogueSearch.h"
#include "platform/Texts.h"

#include <QTextStream>

#include <optional>
#include <vector>

namespace {

const QString usageLine = QStringLiteral("vorn [-d | --OPTION ...]");
const QString optionsTitle = QStringLiteral("گزينه‌ها:");
const QString unknownOption = QStringLiteral("گزينه ناشناخته: %1");
const QString missingValue = QStringLiteral("گزينه %1 مقداري مي‌خواهد: %2");
const QString needsNoValue = QStringLiteral("گزينه %1 مقداري نمي‌گيرد");
const QString seeHelp = QStringLiteral("فهرست گزينه‌ها: vorn --help");
const QString catalogueFailed = QStringLiteral("خطا در باز کردن فهرست توابع (%1): %2");

// What an option works with: the catalogue is opened by the first option that needs it.
class Context
{
public:
    Context(QString programFolder, QTextStream &out, QTextStream &err)
        : out(out)
        , err(err)
        , m_folder(std::move(programFolder))
    {
    }

    Recordset *catalogue()
    {
        if (!m_opened) {
            m_opened = true;
            CatalogueStore::OpenResult opened = CatalogueStore::open(CatalogueStore::databasePath(m_folder));
            if (opened.recordset)
                m_catalogue = std::move(opened.recordset);
            else if (opened.errorNumber == CatalogueStore::missingFileError)
                err << Texts::databaseNotFound << ": " << CatalogueStore::databasePath(m_folder) << '\n';
            else
                err << catalogueFailed.arg(opened.errorNumber).arg(opened.errorDescription) << '\n';
        }
        return m_catalogue ? &*m_catalogue : nullptr;
    }

    QTextStream &out;
    QTextStream &err;

private:
    QString m_folder;
    bool m_opened = false;
    std::optional<Recordset> m_catalogue;
};

int printHelp(Context &context, const QString &);
int printVersion(Context &context, const QString &);

// The names found, best first, one a line.
int find(Context &context, const QString &text, bool byDescription)
{
    Recordset *catalogue = context.catalogue();
    if (!catalogue)
        return CommandLine::Failed;
    const QStringList names = CatalogueSearch::findNames(*catalogue, text, byDescription);
    for (const QString &name : names)
        context.out << name << '\n';
    return names.isEmpty() ? CommandLine::NothingFound : CommandLine::Done;
}

struct Option
{
    QString name;      // with its two dashes
    QString valueName; // empty: the option takes no value
    QString help;      // one line, Persian
    int (*run)(Context &, const QString &value);
};

const std::vector<Option> &options()
{
    static const std::vector<Option> table{
        {QStringLiteral("--find"), QStringLiteral("TEXT"),
         QStringLiteral("نام توابعي که نامشان TEXT را دارد، بهترين اول، هر کدام در يک سطر"),
         [](Context &c, const QString &text) { return find(c, text, false); }},
        {QStringLiteral("--find-description"), QStringLiteral("TEXT"),
         QStringLiteral("نام توابعي که توضيحشان واژه‌هاي TEXT را دارد، بهترين اول، هر کدام در يک سطر"),
         [](Context &c, const QString &text) { return find(c, text, true); }},
        {QStringLiteral("--help"), QString(), QStringLiteral("همين راهنما"), printHelp},
        {QStringLiteral("--version"), QString(), QStringLiteral("شماره نسخه برنامه"), printVersion},
    };
    return table;
}

int printHelp(Context &context, const QString &)
{
    context.out << usageLine << "\n\n" << optionsTitle << '\n';
    for (const Option &option : options()) {
        const QString left = option.valueName.isEmpty() ? option.name : option.name + u' ' + option.valueName;
        context.out << "  " << left.leftJustified(26) << option.help << '\n';
    }
    context.out << "  " << QStringLiteral("-d").leftJustified(26) << QStringLiteral("فقط پنجره تابع روز") << '\n';
    context.out << '\n' << QStringLiteral("وضعيت خروج: 0 انجام شد، 1 چيزي يافت نشد، 2 خطا") << '\n';
    return CommandLine::Done;
}

int printVersion(Context &context, const QString &)
{
    context.out << QStringLiteral("Vorn %1.%2.%3").arg(VORN_VERSION_MAJOR).arg(VORN_VERSION_MINOR).arg(VORN_VERSION_PATCH)
                << '\n';
    return CommandLine::Done;
}

const Option *optionNamed(QStringView name)
{
    for (const Option &option : options())
        if (option.name == name)
            return &option;
    return nullptr;
}

} // namespace

namespace CommandLine {

bool wanted(const QStringList &arguments)
{
    return arguments.size() > 1 && arguments.at(1).startsWith(QLatin1String("--"));
}

int run(const QStringList &arguments, const QString &programFolder, QTextStream &out, QTextStream &err)
{
    Context context(programFolder, out, err);
    std::vector<std::pair<const Option *, QString>> chosen;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        // "--find=TEXT" or "--find TEXT".
        const qsizetype equals = argument.startsWith(QLatin1String("--")) ? argument.indexOf(u'=') : -1;
        const QStringView name = equals < 0 ? QStringView(argument) : QStringView(argument).first(equals);
        const Option *option = optionNamed(name);
        if (!option) {
            err << unknownOption.arg(argument) << '\n' << seeHelp << '\n';
            return Failed;
        }
        QString value;
        if (equals >= 0) {
            if (option->valueName.isEmpty()) {
                err << needsNoValue.arg(option->name) << '\n';
                return Failed;
            }
            value = argument.sliced(equals + 1);
        } else if (!option->valueName.isEmpty()) {
            if (++i >= arguments.size()) {
                err << missingValue.arg(option->name, option->valueName) << '\n';
                return Failed;
            }
            value = arguments.at(i);
        }
        chosen.emplace_back(option, value);
    }
    int status = Done;
    for (const auto &[option, value] : chosen) {
        const int result = option->run(context, value);
        if (status == Done)
            status = result;
        if (result == Failed)
            break;
    }
    out.flush();
    err.flush();
    return status;
}

} // namespace CommandLine
