#pragma once
// Faces for texts that must fit places laid out in twips. Those places were
// measured for the original desktop's font, whose Latin letters and digits
// were half as wide as a Chinese character; a program-wide sans face is wider
// and cuts long numbers (a 13-digit ISBN in a 1200-twip column). The compact
// face takes its Latin letters and digits from a narrow face and its Chinese
// from the CJK face, so every such text needs no more room than it did there.
#include <QFont>
#include <QString>

namespace vb {

// The narrow Latin face (empty when the system has none).
QString NarrowLatinFamily();
// The CJK face (empty when the system has none).
QString CjkFamily();
// The compact face at a size in pixels: the lists, the chart's labels and
// other texts with no room to spare.
QFont CompactFont(int pixelSize = 12);

}  // namespace vb
