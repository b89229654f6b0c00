#include "DescriptionQuery.h"

#include "SearchFold.h"
#include "SearchWords.h"

#include <QSet>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr size_t maxWords = 64;

bool isQuote(QChar c) { return c == u'"' || c == u'«' || c == u'»' || c == u'“' || c == u'”'; }
bool opens(QChar c) { return c == u'«' || c == u'“'; }
bool closes(QChar c) { return c == u'»' || c == u'”'; }

// The pieces of the typed text, each with whether it stood in quotes. A quote left open
// runs to the end.
std::vector<std::pair<QString, bool>> quotedPieces(const QString &typed)
{
    std::vector<std::pair<QString, bool>> pieces;
    QString piece;
    bool quoted = false;
    for (const QChar c : typed) {
        if (!isQuote(c) || (quoted ? opens(c) : closes(c))) {
            piece.append(c);
            continue;
        }
        pieces.emplace_back(piece, quoted);
        piece.clear();
        quoted = !quoted;
    }
    pieces.emplace_back(piece, quoted);
    return pieces;
}

QStringList wordsOf(const QString &text)
{
    QString folded = SearchFold::query(text);
    folded.replace(u'\n', u' ');
    return folded.split(u' ', Qt::SkipEmptyParts);
}

// Where the first sentence of a folded description ends: at a line break, at a question or
// exclamation mark, or at a full stop before a blank (not in "Err.LastDllError", "3.5").
qsizetype firstSentenceEnd(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'\n' || c == u'!' || c == u'?' || c == 0x061F || c == 0x06D4)
            return i;
        if (c == u'.' && (i + 1 == text.size() || text[i + 1] == u' ' || text[i + 1] == u'\n'))
            return i;
    }
    return text.size();
}

// Where the pattern first stands in the text from `from` on. Eight places are tried at
// once for the pattern's first and last letters together (which rule out nearly every
// place that is not a hit), and only where both stand is the rest compared: a skip table
// gains little with words of three or four letters, and a look for one letter stops at
// every common one.
qsizetype findFrom(QStringView text, const QString &pattern, qsizetype from)
{
    const qsizetype n = pattern.size();
    const qsizetype size = text.size();
    const auto *h = reinterpret_cast<const char16_t *>(text.utf16());
    const auto *p = reinterpret_cast<const char16_t *>(pattern.utf16());
    const char16_t first = p[0];
    const char16_t last = p[n - 1];
    const auto middleEqual = [&](qsizetype at) { return n <= 2 || std::equal(p + 1, p + n - 1, h + at + 1); };
    qsizetype i = from;
#if defined(__SSE2__)
    const __m128i firsts = _mm_set1_epi16(static_cast<short>(first));
    const __m128i lasts = _mm_set1_epi16(static_cast<short>(last));
    for (; i + n - 1 + 8 <= size; i += 8) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(h + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(h + i + n - 1));
        auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi16(a, firsts), _mm_cmpeq_epi16(b, lasts))));
        while (mask) {
            const int byte = __builtin_ctz(mask);
            if (middleEqual(i + byte / 2))
                return i + byte / 2;
            mask &= ~(3u << byte);
        }
    }
#endif
    for (; i + n <= size; ++i)
        if (h[i] == first && h[i + n - 1] == last && middleEqual(i))
            return i;
    return -1;
}

} // namespace

DescriptionQuery::DescriptionQuery(const QString &typed)
    : DescriptionQuery(typed, SearchWords::shipped())
{
}

DescriptionQuery::DescriptionQuery(const QString &typed, const SearchWords &words)
    : m_words(words)
{
    for (const auto &[piece, quoted] : quotedPieces(typed)) {
        const QStringList words = wordsOf(piece);
        if (quoted) {
            if (!words.isEmpty())
                m_units.push_back(Unit{words, true, {}, {}});
            continue;
        }
        for (const QString &word : words) {
            // "فايل ها": the ending belongs to the word before it.
            if (!m_units.empty() && !m_units.back().phrase && m_words.isSuffix(word) && SearchFold::isPersian(m_units.back().parts.first()))
                m_units.back().parts.append(word);
            else
                m_units.push_back(Unit{{word}, false, {}, {}});
        }
    }

    // A word typed twice asks nothing more, and each costs a look through every
    // description; so does a word past the first 64 of a pasted page, which is left out
    // (a search then finds a little more instead of making the user wait).
    QSet<QString> seen;
    std::vector<Unit> kept;
    for (Unit &unit : m_units) {
        const QString key = QString(unit.phrase ? u'"' : u' ') + unit.parts.join(u' ');
        if (kept.size() < maxWords && !seen.contains(key)) {
            seen.insert(key);
            kept.push_back(std::move(unit));
        }
    }
    m_units = std::move(kept);

    for (Unit &unit : m_units) {
        if (unit.phrase) {
            unit.terms.push_back(term(unit.parts));
            if (!SearchFold::isPersian(unit.parts.join(QString())))
                unit.nameForms.append(unit.parts.join(QString()));
            continue;
        }
        addTerms(unit, {unit.parts.first()}, unit.parts.mid(1));
    }

    // Two words in a row, also as one: "صفحه کليد" finds "صفحه‌کليد", folded "صفحهکليد".
    m_pairs.resize(m_units.empty() ? 0 : m_units.size() - 1);
    for (size_t i = 0; i + 1 < m_units.size(); ++i) {
        const Unit &a = m_units[i];
        const Unit &b = m_units[i + 1];
        if (a.phrase || b.phrase || a.parts.size() > 1 || !SearchFold::isPersian(a.parts.first())
            || !SearchFold::isPersian(b.parts.first()))
            continue;
        Unit pair{{a.parts.first(), b.parts.first()}, false, {}, {}};
        addTerms(pair, pair.parts, b.parts.mid(1));
        m_pairs[i] = std::move(pair.terms);
        for (Unit *member : {&m_units[i], &m_units[i + 1]})
            member->nameForms.append(pair.nameForms);
    }
}

DescriptionQuery::Term DescriptionQuery::term(const QStringList &parts) const
{
    return Term{parts, SearchFold::isPersian(parts.first()), SearchFold::isPersian(parts.last())};
}

void DescriptionQuery::addTerms(Unit &unit, const QStringList &head, const QStringList &tail) const
{
    const QString joined = head.join(QString());
    if (!SearchFold::isPersian(joined)) {
        unit.terms.push_back(term(head + tail));
        unit.nameForms.append(joined);
        return;
    }
    const SearchWords::Group *group = m_words.groupOf(joined);
    if (!group) {
        unit.terms.push_back(term(head + tail));
        return;
    }
    for (const SearchWords::Form &form : group->persian)
        unit.terms.push_back(term(form + tail));
    unit.nameForms.append(group->latin);
}

qsizetype DescriptionQuery::hitEnd(const Term &term, QStringView text, qsizetype at) const
{
    if (term.wholeStart && at > 0 && text[at - 1].isLetterOrNumber())
        return -1;
    qsizetype end = at + term.parts.first().size();
    for (qsizetype k = 1; k < term.parts.size(); ++k) {
        const QString &part = term.parts[k];
        if (text.sliced(end).startsWith(part))
            end += part.size();
        else if (end < text.size() && text[end] == u' ' && text.sliced(end + 1).startsWith(part))
            end += 1 + part.size();
        else
            return -1;
    }
    if (term.wholeEnd) {
        qsizetype wordEnd = end;
        while (wordEnd < text.size() && text[wordEnd].isLetterOrNumber())
            ++wordEnd;
        if (wordEnd > end && !m_words.isSuffixChain(text.sliced(end, wordEnd - end)))
            return -1;
    }
    return end;
}

qsizetype DescriptionQuery::firstHit(const Term &term, QStringView text) const
{
    const QString &first = term.parts.first();
    for (qsizetype at = findFrom(text, first, 0); at >= 0; at = findFrom(text, first, at + 1)) {
        if (hitEnd(term, text, at) >= 0)
            return at;
    }
    return -1;
}

bool DescriptionQuery::anyHit(const std::vector<Term> &terms, QStringView text) const
{
    return std::any_of(terms.begin(), terms.end(), [&](const Term &t) { return firstHit(t, text) >= 0; });
}

bool DescriptionQuery::matches(QStringView text) const
{
    for (size_t i = 0; i < m_units.size(); ++i) {
        // A word that does not occur on its own may occur joined with a neighbour.
        if (!anyHit(m_units[i].terms, text) && !(i > 0 && anyHit(m_pairs[i - 1], text))
            && !(i < m_pairs.size() && anyHit(m_pairs[i], text)))
            return false;
    }
    return true;
}

bool DescriptionQuery::nameSays(QStringView name) const
{
    // A form counts where a word of the name starts: at its start, at a capital, after a
    // digit or "_" (CreateFile, mouse_event), not inside another word (GetProfileString
    // does not say "file").
    const auto says = [name](const QString &form) {
        for (qsizetype at = name.indexOf(form, 0, Qt::CaseInsensitive); at >= 0;
             at = name.indexOf(form, at + 1, Qt::CaseInsensitive)) {
            if (at == 0 || name[at].isUpper() || !name[at - 1].isLetter())
                return true;
        }
        return false;
    };
    return !m_units.empty() && std::all_of(m_units.begin(), m_units.end(), [&](const Unit &unit) {
        return std::any_of(unit.nameForms.begin(), unit.nameForms.end(), says);
    });
}

std::optional<DescriptionQuery::Place> DescriptionQuery::match(QStringView folded, QStringView name) const
{
    if (m_units.empty())
        return Place::Elsewhere;
    if (!matches(folded))
        return std::nullopt;
    if (nameSays(name))
        return Place::Name;
    return matches(folded.first(firstSentenceEnd(folded))) ? Place::FirstSentence : Place::Elsewhere;
}

FoldedDescriptions FoldedDescriptions::of(const QStringList &descriptions)
{
    FoldedDescriptions all;
    all.starts.reserve(static_cast<size_t>(descriptions.size()));
    all.firstSentenceEnds.reserve(static_cast<size_t>(descriptions.size()));
    qsizetype size = 0;
    for (const QString &description : descriptions)
        size += description.size() + 1;
    all.text.reserve(size); // folding never lengthens a text
    for (const QString &description : descriptions) {
        const QString folded = SearchFold::text(description);
        all.starts.push_back(all.text.size());
        all.firstSentenceEnds.push_back(all.text.size() + firstSentenceEnd(folded));
        all.text.append(folded);
        all.text.append(QChar(0));
    }
    return all;
}

QStringView FoldedDescriptions::at(size_t index) const
{
    const qsizetype start = starts[index];
    const qsizetype end = index + 1 < starts.size() ? starts[index + 1] - 1 : text.size() - 1;
    return QStringView(text).sliced(start, end - start);
}

std::vector<signed char> DescriptionQuery::matchAll(const FoldedDescriptions &all) const
{
    const size_t count = all.starts.size();
    std::vector<signed char> places(count, static_cast<signed char>(Place::Elsewhere));
    if (m_units.empty())
        return places;
    // For every term, one look through all the text: bit 1 where a description holds it,
    // bit 2 where its first sentence does.
    const auto mark = [&](const std::vector<Term> &terms) {
        std::vector<unsigned char> bits(count, 0);
        for (const Term &t : terms) {
            size_t record = 0;
            const QString &first = t.parts.first();
            for (qsizetype at = findFrom(all.text, first, 0); at >= 0; at = findFrom(all.text, first, at + 1)) {
                const qsizetype end = hitEnd(t, all.text, at);
                if (end < 0)
                    continue;
                while (record + 1 < count && all.starts[record + 1] <= at)
                    ++record;
                bits[record] |= end <= all.firstSentenceEnds[record] ? 3 : 1;
            }
        }
        return bits;
    };
    std::vector<std::vector<unsigned char>> units, pairs;
    for (const Unit &unit : m_units)
        units.push_back(mark(unit.terms));
    for (const std::vector<Term> &pair : m_pairs)
        pairs.push_back(mark(pair));
    for (size_t r = 0; r < count; ++r) {
        unsigned char every = 3;
        for (size_t i = 0; i < units.size(); ++i)
            every &= units[i][r] | (i > 0 ? pairs[i - 1][r] : 0) | (i < pairs.size() ? pairs[i][r] : 0);
        places[r] = every == 0 ? -1 : static_cast<signed char>(every == 3 ? Place::FirstSentence : Place::Elsewhere);
    }
    return places;
}
