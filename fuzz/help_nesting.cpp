// The help pages' nesting measure: the limit only stops the count early (below it the
// depth is exact, past it the result says so), a container around the page adds at most
// one level (exactly one to a page without end tags), and no page nests deeper than it
// has tags.
#include "FuzzCheck.h"
#include "platform/HtmlNesting.h"

#include <QByteArray>

#include <climits>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray html(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const int full = HtmlNesting::depth(html, INT_MAX);
    check(full <= html.count('<'), "deeper than the page has tags");
    for (int limit = 0; limit <= full + 1; ++limit) {
        const int stopped = HtmlNesting::depth(html, limit);
        check(limit >= full ? stopped == full : stopped > limit, "the limit changed the count");
    }
    // The page's own end tags may close the container around it; without any, it is one
    // level deeper.
    QByteArray wrapped("<DIV>");
    wrapped.append(html).append("</div>");
    const int around = HtmlNesting::depth(wrapped, INT_MAX);
    check(around >= full && around <= full + 1 && (html.contains('/') || around == full + 1), "a container around it");
    return 0;
}
