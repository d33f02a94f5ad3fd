#pragma once
// Colours as the windows give them: Long values &HBBGGRR (red in the low byte),
// or &H80000000 plus a system-colour index, resolved from a fixed table so the
// look does not depend on the desktop's palette.
//
// Every colour the program uses has its name here; windows and controls use
// the names, never a literal. Each value is given in the &HBBGGRR form, with
// the red, green and blue it stands for.
#include <QColor>
#include <QString>
#include <cstdint>

namespace vb {

constexpr long RGB(int r, int g, int b) { return long(r) + 256L * g + 65536L * b; }

// System colours used by the windows.
constexpr long vbMenuBar = 0x80000004L;  // menu background
constexpr long vbWindowBackground = 0x80000005L;
constexpr long vbWindowText = 0x80000008L;
constexpr long vbButtonFace = 0x8000000FL;
constexpr long vbButtonText = 0x80000012L;

// Black, white and greys.
constexpr long kBlack = 0x000000L;
constexpr long kWhite = 0xFFFFFFL;
constexpr long kPaleGrey = 0xF0F0F0L;       // RGB(240, 240, 240): light panels and line shadows
constexpr long kLightGrey = 0xE0E0E0L;      // RGB(224, 224, 224): grey buttons, bars, header cells
constexpr long kSilver = 0xC0C0C0L;         // RGB(192, 192, 192): pressed buttons, panel frames
constexpr long kChildAreaGrey = 0xABABABL;  // RGB(171, 171, 171): behind the main window's child windows
constexpr long kFrameGrey = 0xB0B0B0L;      // RGB(176, 176, 176): the outline of the dialogs' buttons
constexpr long kShadowGrey = 0xA0A0A0L;     // RGB(160, 160, 160): the grid's header lines
constexpr long kGrey = 0x808080L;           // RGB(128, 128, 128): notes, outlines, separators
constexpr long kDarkGreyText = 0x404040L;   // RGB(64, 64, 64): the usual text of the white dialogs

// Reds.
constexpr long kRed = 0x0000FFL;      // RGB(255, 0, 0): warnings and refusals
constexpr long kDarkRed = 0x0000C0L;  // RGB(192, 0, 0)

// Blues.
constexpr long kBlue = 0xFF0000L;                 // RGB(0, 0, 255)
constexpr long kDarkBlue = 0xC00000L;             // RGB(0, 0, 192)
constexpr long kNavy = 0x800000L;                 // RGB(0, 0, 128): titles and headings
constexpr long kLinkBlue = 0xC06000L;             // RGB(0, 96, 192): the links of the login window
constexpr long kLightBlue = 0xFFC0C0L;            // RGB(192, 192, 255): highlights and hovered links
constexpr long kSlateBlue = 0xFF8080L;            // RGB(128, 128, 255): the navigator buttons' outline
constexpr long kTitleBarBlue = 0x592E0BL;         // RGB(11, 46, 89): behind the login logo and the about banner
constexpr long kWelcomeTitleBlue = 0x6B3A1BL;     // RGB(27, 58, 107): the home page's title bar
constexpr long kTrademarkShadowBlue = 0x3A1A08L;  // RGB(8, 26, 58): the shadow under the trademark
constexpr long kPaleBlueText = 0xF5E0CFL;         // RGB(207, 224, 245): text on the dark blue banners
constexpr long kBannerDeepBlue = 0x502A0FL;       // RGB(15, 42, 80): the about banner's left end
constexpr long kBannerLightBlue = 0xC2783AL;      // RGB(58, 120, 194): the about banner's right end
constexpr long kMessageBandBlue = 0xF0E0D0L;      // RGB(208, 224, 240): the band down a message's left side
constexpr long kLogoOutlineBlue = 0x8B4513L;      // RGB(19, 69, 139): the library logo's hover outline
constexpr long kHoverBlue = 0x6A240AL;            // RGB(10, 36, 106): the text box and combo box hover frame
constexpr long kComboHoverFace = 0xD2BDB6L;       // RGB(182, 189, 210): a hovered combo box's button
constexpr long kComboPressedFace = 0xB59285L;     // RGB(133, 146, 181): a pressed combo box's button
constexpr long kButtonEdgeLight = 0xFCF2EBL;      // RGB(235, 242, 252): the light edge of a hovered button

// &HBBGGRR or a system colour -> QColor.
QColor toQColor(long oleColor);
// A colour as a style sheet writes it ("#rrggbb").
QString cssColor(long oleColor);

}  // namespace vb
