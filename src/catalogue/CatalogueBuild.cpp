#include "CatalogueBuild.h"

#include "CatalogueSource.h"
#include "CatalogueWriter.h"
#include "ConstantTable.h"

namespace CatalogueBuild {

Result build(const QString &databaseFile, const QStringList &sourceFiles)
{
    QStringList functionFiles;
    QStringList constantFiles;
    QStringList parameterFiles;
    for (const QString &file : sourceFiles) {
        if (ParameterSource::isParameterFile(file))
            parameterFiles << file;
        else
            (ConstantSource::isConstantFile(file) ? constantFiles : functionFiles) << file;
    }
    const CatalogueSource::ParseResult source = CatalogueSource::parseFiles(functionFiles);
    const ConstantSource::ParseResult constants = ConstantSource::parseFiles(constantFiles);
    // Every link is checked against the constants and the functions just read.
    ParameterSource::Known known;
    for (const Constant &c : constants.table.constants)
        known.constants.insert(c.name);
    // A function with its VBA7 form alone names its parameters there.
    for (const CatalogueRecord &record : source.records)
        known.declarations.insert(record[CatalogueRecord::FunctionName],
                                  record[record.vba7Only() ? CatalogueRecord::Vba7Declaration : CatalogueRecord::Declaration]);
    const ParameterSource::ParseResult parameters = ParameterSource::parseFiles(parameterFiles, known);
    Result result;
    result.errors = source.errors + constants.errors + parameters.errors;
    if (!result.errors.isEmpty())
        return result;
    QString error = CatalogueWriter::write(databaseFile, source.records);
    if (error.isEmpty() && !constantFiles.isEmpty())
        error = ConstantStore::write(databaseFile, constants.table);
    if (error.isEmpty() && !parameterFiles.isEmpty())
        error = ParameterStore::write(databaseFile, parameters.table);
    if (!error.isEmpty()) {
        result.errors << error;
        return result;
    }
    result.summary = QStringLiteral("%1 functions, %2 constants, %3 parameters with constants")
                         .arg(source.records.size())
                         .arg(constants.table.constants.size())
                         .arg(parameters.table.links().size());
    return result;
}

} // namespace CatalogueBuild
