#include "ModuleCommand.h"

#include "catalogue/CatalogueStore.h"
#include "catalogue/ConstantTable.h"
#include "output/ModuleExport.h"
#include "output/ModuleFile.h"
#include "picklist/PickCatalogue.h"
#include "picklist/PickModule.h"
#include "platform/Texts.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace {

const QString helpText = QStringLiteral(
    "vorn --module NAME... [--const NAME...] [--family NAME...] [--vba7 | --both] [--private]\n"
    "     [--comments] [--name MODULE] [-o FILE]\n"
    "vorn --declare NAME [--vba7 | --both]\n"
    "\n"
    "  --module NAME...   ماژول Basic اين توابع، هر نوع (Type) يک بار و پيش از هر جا که به کار رفته\n"
    "  --const NAME...    اين ثابت‌ها هم در ماژول، خانواده به خانواده\n"
    "  --family NAME...   همه ثابت‌هاي اين خانواده‌ها (WM، SW، ...)\n"
    "  --vba7             اعلان VBA7 (‏64 بيتي) به جاي اعلان کلاسيک\n"
    "  --both             هر دو اعلان در بلوک #If VBA7 (و #If Win64 اگر LongLong لازم باشد)\n"
    "  --private          اعلان‌هاي Private به جاي Public\n"
    "  --comments         توضيح هر تابع به صورت توضيح Basic\n"
    "  --name MODULE      نام ماژول (پيش‌فرض ApiDeclarations)\n"
    "  -o FILE            نوشتن در فايل (Windows-1256 با CR LF)؛ بدون آن يا با - در خروجي استاندارد\n"
    "  --declare NAME     اعلان يک تابع\n"
    "\n"
    "وضعيت خروج --module و --declare: 0 انجام شد، 2 خطا (و چيزي نوشته نمي‌شود)\n");
const QString unknownOption = QStringLiteral("گزينه ناشناخته: %1 (راهنما: vorn --help)");
const QString missingValue = QStringLiteral("گزينه %1 نامي مي‌خواهد");
const QString formsTogether = QStringLiteral("--vba7 و --both با هم نمي‌آيند");
const QString declareAlone = QStringLiteral("--declare يک نام مي‌گيرد و با --module، --const و --family نمي‌آيد");
const QString notAModuleName = QStringLiteral("نام ماژول در Basic پذيرفته نيست: %1");
const QString nothingNamed = QStringLiteral("نام هيچ تابع يا ثابتي داده نشده است");
const QString unknownFunction = QStringLiteral("تابعي به اين نام در فهرست توابع نيست: %1");
const QString unknownConstant = QStringLiteral("ثابتي به اين نام در فهرست ثابت‌ها نيست: %1");
const QString unknownFamily = QStringLiteral("خانواده‌اي به اين نام در فهرست ثابت‌ها نيست: %1");
const QString typeConflict = QStringLiteral("نوع %1 در اين توابع به دو گونه تعريف شده است");
const QString notWritten = QStringLiteral("فايل نوشته نشد: %1: %2");
const QString catalogueFailed = QStringLiteral("Runtime Error '%1'\n%2");

struct Request
{
    enum Command { Module, Declare, Help } command = Module;
    QStringList functions, constants, families;
    PickModule::Options options;
    QString output = QStringLiteral("-");
};

void say(std::FILE *err, const QString &text)
{
    std::fputs((text + QLatin1Char('\n')).toLocal8Bit().constData(), err);
}

std::optional<Request> parse(const QStringList &arguments, std::FILE *err)
{
    Request request;
    bool moduleNamed = false, declareNamed = false;
    QStringList *names = nullptr; // the list that the following names go to
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (!argument.startsWith(QLatin1Char('-'))) {
            if (!names) {
                say(err, unknownOption.arg(argument));
                return std::nullopt;
            }
            *names << argument;
            continue;
        }
        names = nullptr;
        const bool takesValue = argument == QLatin1String("-o") || argument == QLatin1String("--name")
            || argument == QLatin1String("--declare");
        if (takesValue && (i + 1 >= arguments.size() || (arguments.at(i + 1).startsWith(QLatin1Char('-')) && arguments.at(i + 1) != QLatin1String("-")))) {
            say(err, missingValue.arg(argument));
            return std::nullopt;
        }
        if (argument == QLatin1String("--module")) {
            moduleNamed = true;
            names = &request.functions;
        } else if (argument == QLatin1String("--const")) {
            names = &request.constants;
        } else if (argument == QLatin1String("--family")) {
            names = &request.families;
        } else if (argument == QLatin1String("--vba7") || argument == QLatin1String("--both")) {
            const auto form = argument == QLatin1String("--vba7") ? PickModule::Form::Vba7 : PickModule::Form::Both;
            if (request.options.form != PickModule::Form::Classic && request.options.form != form) {
                say(err, formsTogether);
                return std::nullopt;
            }
            request.options.form = form;
        } else if (argument == QLatin1String("--private")) {
            request.options.isPrivate = true;
        } else if (argument == QLatin1String("--comments")) {
            request.options.comments = true;
        } else if (argument == QLatin1String("--name")) {
            request.options.name = arguments.at(++i);
        } else if (argument == QLatin1String("-o")) {
            request.output = arguments.at(++i);
        } else if (argument == QLatin1String("--declare")) {
            declareNamed = true;
            request.functions << arguments.at(++i);
        } else if (argument == QLatin1String("--help")) {
            request.command = Request::Help;
            return request;
        } else {
            say(err, unknownOption.arg(argument));
            return std::nullopt;
        }
    }
    if (declareNamed) {
        if (moduleNamed || request.functions.size() != 1 || !request.constants.isEmpty() || !request.families.isEmpty()) {
            say(err, declareAlone);
            return std::nullopt;
        }
        request.command = Request::Declare;
        return request;
    }
    if (!PickModule::isModuleName(request.options.name)) {
        say(err, notAModuleName.arg(request.options.name));
        return std::nullopt;
    }
    if (request.functions.isEmpty() && request.constants.isEmpty() && request.families.isEmpty()) {
        say(err, nothingNamed);
        return std::nullopt;
    }
    request.command = Request::Module;
    return request;
}

// The declaration of one function as the window shows it, in the form asked for.
QByteArray declaration(const CatalogueRecord &record, PickModule::Form form)
{
    QString text = record.declaration(form == PickModule::Form::Vba7);
    if (form == PickModule::Form::Both && !record[CatalogueRecord::Vba7Declaration].isEmpty())
        text = ModuleExport::conditionalDeclaration(record[CatalogueRecord::Vba7Declaration], record[CatalogueRecord::Declaration]);
    return (ModuleExport::lines(text).join(QLatin1Char('\n')) + QLatin1Char('\n')).toLocal8Bit();
}

} // namespace

namespace ModuleCommand {

bool wanted(const QStringList &arguments)
{
    static const QStringList commands{QStringLiteral("--module"), QStringLiteral("--const"), QStringLiteral("--family"),
                                      QStringLiteral("--declare")};
    return std::any_of(arguments.cbegin() + std::min<qsizetype>(1, arguments.size()), arguments.cend(),
                       [](const QString &argument) { return commands.contains(argument); });
}

QString help()
{
    return helpText;
}

int run(const QStringList &arguments, const QString &programFolder, std::FILE *out, std::FILE *err)
{
    const std::optional<Request> request = parse(arguments, err);
    if (!request)
        return Failed;
    if (request->command == Request::Help) {
        std::fputs(helpText.toLocal8Bit().constData(), out);
        return Done;
    }

    const QString database = CatalogueStore::databasePath(programFolder);
    const CatalogueStore::OpenResult opened = CatalogueStore::open(database);
    if (!opened.recordset) {
        say(err, opened.errorNumber == CatalogueStore::missingFileError
                     ? Texts::databaseNotFound + QStringLiteral(": ") + database
                     : catalogueFailed.arg(opened.errorNumber).arg(opened.errorDescription));
        return Failed;
    }
    const std::optional<ConstantTable> constants = ConstantStore::open(database);
    const PickCatalogue catalogue(*opened.recordset, constants ? &*constants : nullptr);

    // Every unknown name is told, before anything is written.
    bool allKnown = true;
    auto unknown = [&](const QString &message) {
        allKnown = false;
        say(err, message);
    };
    std::vector<const CatalogueRecord *> functions;
    for (const QString &name : request->functions) {
        if (const CatalogueRecord *record = catalogue.function(name))
            functions.push_back(record);
        else
            unknown(unknownFunction.arg(name));
    }
    std::vector<const Constant *> chosen;
    for (const QString &name : request->constants) {
        if (const Constant *constant = catalogue.constant(name))
            chosen.push_back(constant);
        else
            unknown(unknownConstant.arg(name));
    }
    for (const QString &name : request->families) {
        const std::vector<const Constant *> family = catalogue.family(name);
        if (family.empty())
            unknown(unknownFamily.arg(name));
        chosen.insert(chosen.end(), family.begin(), family.end());
    }
    if (!allKnown)
        return Failed;

    QByteArray bytes;
    if (request->command == Request::Declare) {
        bytes = declaration(*functions.front(), request->options.form);
    } else {
        const PickModule::Module module = PickModule::build(functions, chosen, request->options);
        for (const QString &conflict : module.conflicts)
            say(err, typeConflict.arg(conflict));
        if (!module.conflicts.isEmpty())
            return Failed;
        bytes = PickModule::bytes(module);
    }
    if (request->output == QLatin1String("-")) {
        const bool written = std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), out)
            == static_cast<size_t>(bytes.size());
        return std::fflush(out) == 0 && written ? Done : Failed;
    }
    const ModuleFile::WriteResult written = ModuleFile::write(request->output, bytes);
    if (!written.ok) {
        say(err, notWritten.arg(request->output, written.errorDescription));
        return Failed;
    }
    return Done;
}

} // namespace ModuleCommand
