#pragma once
// Colours as the windows give them: Long values &HBBGGRR (red in the low byte),
// or &H80000000 plus a system-colour index, resolved from a fixed table so the
// look does not depend on the desktop's palette.
#include <QColor>
#include <cstdint>

namespace vb {

constexpr long RGB(int r, int g, int b) { return long(r) + 256L * g + 65536L * b; }

// System colours used by the windows.
constexpr long vbMenuBar = 0x80000004L;  // menu background
constexpr long vbWindowBackground = 0x80000005L;
constexpr long vbWindowText = 0x80000008L;
constexpr long vbButtonFace = 0x8000000FL;
constexpr long vbButtonText = 0x80000012L;

// &HBBGGRR or a system colour -> QColor.
QColor toQColor(long oleColor);
// QColor -> &HBBGGRR.
long fromQColor(const QColor &c);

}  // namespace vb
