#include "SyntheticCatalogue.h"

#include <QRandomGenerator>
#include <QStringList>

namespace {

QString randomWord(QRandomGenerator &rng, int minLength, int maxLength, const QString &alphabet)
{
    const int length = static_cast<int>(rng.bounded(minLength, maxLength + 1));
    QString word;
    for (int i = 0; i < length; ++i)
        word += alphabet.at(static_cast<int>(rng.bounded(alphabet.size())));
    return word;
}

} // namespace

std::vector<CatalogueRecord> syntheticCatalogue(int count)
{
    QRandomGenerator rng(20261206);
    const QString latin = QStringLiteral("abcdefghijklmnopqrstuvwxyz");
    const QString persian = QStringLiteral("ابپتثجچحخدذرزژسشصضطظعغفقکگلمنوهي");
    // About 40 first characters: capitals, a few digits-free symbols and small letters.
    const QString initials = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ_") + QStringLiteral("abcdefghijklm");

    QStringList libraries;
    for (int i = 0; i < 60; ++i)
        libraries << randomWord(rng, 4, 9, latin) + QString::number(i % 10);
    QStringList areas;
    for (int i = 0; i < 150; ++i)
        areas << randomWord(rng, 3, 8, persian) + QLatin1Char(' ') + randomWord(rng, 2, 6, persian);

    std::vector<CatalogueRecord> records;
    records.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        CatalogueRecord r;
        const QString name = initials.at(static_cast<int>(rng.bounded(initials.size())))
            + randomWord(rng, 6, 20, latin) + QString::number(i);
        const QString library = libraries.at(static_cast<int>(rng.bounded(libraries.size())));
        QString declaration = QStringLiteral("Private Declare Function ") + name + QStringLiteral(" Lib \"")
            + library + QStringLiteral("\" (");
        const int targetLength = static_cast<int>(rng.bounded(80, 201));
        while (declaration.size() < targetLength - 20)
            declaration += QStringLiteral("ByVal ") + randomWord(rng, 2, 8, latin) + QStringLiteral(" As Long, ");
        declaration += QStringLiteral("x As Any) As Long");
        QStringList mine;
        const int areaCount = static_cast<int>(rng.bounded(1, 4));
        for (int a = 0; a < areaCount; ++a)
            mine << areas.at(static_cast<int>(rng.bounded(areas.size())));
        QString description;
        const int descriptionLength = static_cast<int>(rng.bounded(200, 601));
        while (description.size() < descriptionLength)
            description += randomWord(rng, 2, 9, persian) + QLatin1Char(' ');
        r[CatalogueRecord::FunctionName] = name;
        r[CatalogueRecord::Declaration] = declaration;
        r[CatalogueRecord::Library] = library;
        r[CatalogueRecord::WorkAreas] = mine.join(workAreaSeparator);
        r[CatalogueRecord::Description] = description;
        records.push_back(std::move(r));
    }
    return records;
}
