// The description search on any description and any query (UTF-8, split at the first
// TAB; or raw UTF-16 units after 0xFF, split at the first U+0009): no crash on any
// input; a query with zero-width non-joiners between its words finds what the same
// query with blanks finds; a Persian word standing in the description between blanks
// finds it.
#include "FuzzCheck.h"
#include "find/DescriptionQuery.h"
#include "find/SearchFold.h"

#include <QString>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QString input;
    if (size > 0 && data[0] == 0xFF) {
        for (size_t i = 1; i + 1 < size; i += 2)
            input.append(QChar(char16_t(data[i] | data[i + 1] << 8)));
    } else {
        input = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    }
    const qsizetype tab = input.indexOf(u'\t');
    const QString query = tab < 0 ? input : input.first(tab);
    const QString folded = SearchFold::text(tab < 0 ? QString() : input.sliced(tab + 1));
    const auto found = DescriptionQuery(query).match(folded, u"Name");
    if (!query.contains(u'"'))
        check(DescriptionQuery(QString(query).replace(u' ', QChar(0x200C))).match(folded, u"Name") == found,
              "a joiner between words finds what a blank finds");
    for (const QString &word : QString(folded).replace(u'\n', u' ').split(u' ', Qt::SkipEmptyParts)) {
        if (SearchFold::isPersian(word) && std::all_of(word.begin(), word.end(), [](QChar c) { return c.isLetterOrNumber(); }))
            check(DescriptionQuery(word).match(folded, u"Name").has_value(), "a word of the description finds it");
    }
    return 0;
}
