#include "HtmlNesting.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

namespace HtmlNesting {

namespace {

bool isContainer(std::string_view name)
{
    static constexpr std::array<std::string_view, 6> containers{"table", "ul", "ol", "dl", "div", "blockquote"};
    for (const std::string_view container : containers) {
        if (name.size() == container.size()
            && std::equal(name.begin(), name.end(), container.begin(),
                          [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; }))
            return true;
    }
    return false;
}

} // namespace

int depth(QByteArrayView bytes, int limit)
{
    const std::string_view html(bytes.data(), static_cast<size_t>(bytes.size()));
    int now = 0;
    int deepest = 0;
    for (size_t i = html.find('<'); i != std::string_view::npos && deepest <= limit; i = html.find('<', i)) {
        ++i;
        if (html.substr(i, 3) == "!--") {
            i = html.find("-->", i + 3);
            if (i == std::string_view::npos)
                break;
            continue;
        }
        const bool closing = i < html.size() && html[i] == '/';
        if (closing)
            ++i;
        size_t end = i;
        while (end < html.size() && std::isalnum(static_cast<unsigned char>(html[end])))
            ++end;
        if (!isContainer(html.substr(i, end - i)))
            continue;
        if (!closing && ++now > deepest)
            deepest = now;
        else if (closing && now > 0)
            --now;
        i = end;
    }
    return deepest;
}

} // namespace HtmlNesting
