#include "ui/Colors.h"

namespace vb {

namespace {
// The system colours of a classic desktop scheme, fixed.
QColor systemColor(int index)
{
    switch (index) {
    case 0x04: return QColor(240, 240, 240);  // menu background
    case 0x05: return QColor(255, 255, 255);  // window background
    case 0x08: return QColor(0, 0, 0);        // window text
    case 0x0F: return QColor(240, 240, 240);  // button face
    case 0x10: return QColor(160, 160, 160);  // button shadow
    case 0x11: return QColor(109, 109, 109);  // grey text
    case 0x12: return QColor(0, 0, 0);        // button text
    case 0x14: return QColor(255, 255, 255);  // button highlight
    case 0x0D: return QColor(0, 120, 215);    // highlight
    case 0x0E: return QColor(255, 255, 255);  // highlight text
    default: return QColor(240, 240, 240);
    }
}
}  // namespace

QColor toQColor(long oleColor)
{
    const auto v = static_cast<std::uint32_t>(oleColor);
    if (v & 0x80000000u) return systemColor(int(v & 0xFFu));
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

QString cssColor(long oleColor) { return toQColor(oleColor).name(); }

}  // namespace vb
