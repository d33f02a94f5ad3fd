#pragma once
// Fonts of the custom controls. Families of the original desktop that this
// system lacks (Tahoma, 宋体 ...) are replaced by an available face, and every
// font falls back to a CJK face so Chinese captions render.
#include <QFont>
#include <QWidget>

namespace controls {

// The font as the controls use it: the family mapped and the CJK fallback added.
QFont usableFont(const QFont &f);
// The host's ambient font: the parent's font, or the application font.
QFont ambientFont(const QWidget *host);

}  // namespace controls
