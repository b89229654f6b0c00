#include "OleColor.h"

#include <QPalette>

#include <array>

namespace OleColor {

QColor toColor(qint32 value, const QPalette &palette)
{
    const quint32 bits = quint32(value);
    if ((bits & 0x80000000u) == 0)
        return QColor(int(bits & 0xFF), int(bits >> 8 & 0xFF), int(bits >> 16 & 0xFF));

    // The system colours by index, each with the palette role that plays its part here.
    static constexpr std::array<QPalette::ColorRole, 25> roles{
        QPalette::Button,          // 0 scroll bar
        QPalette::Window,          // 1 desktop
        QPalette::Highlight,       // 2 active caption
        QPalette::Mid,             // 3 inactive caption
        QPalette::Window,          // 4 menu
        QPalette::Base,            // 5 window background
        QPalette::Shadow,          // 6 window frame
        QPalette::WindowText,      // 7 menu text
        QPalette::Text,            // 8 window text
        QPalette::HighlightedText, // 9 caption text
        QPalette::Button,          // 10 active border
        QPalette::Button,          // 11 inactive border
        QPalette::Dark,            // 12 application workspace
        QPalette::Highlight,       // 13 highlight
        QPalette::HighlightedText, // 14 highlighted text
        QPalette::Button,          // 15 button face
        QPalette::Mid,             // 16 button shadow
        QPalette::PlaceholderText, // 17 grey text
        QPalette::ButtonText,      // 18 button text
        QPalette::WindowText,      // 19 inactive caption text
        QPalette::Light,           // 20 button highlight
        QPalette::Shadow,          // 21 dark 3D shadow
        QPalette::Midlight,        // 22 3D light
        QPalette::ToolTipText,     // 23 tooltip text
        QPalette::ToolTipBase,     // 24 tooltip background
    };
    const quint32 index = bits & 0x7FFFFFFFu;
    if (index < roles.size())
        return palette.color(roles[index]);
    return palette.color(QPalette::Window);
}

} // namespace OleColor
