#pragma once
// What the sources of the intrinsic controls share: palette colours from
// &HBBGGRR values, the arguments of a mouse event as the handlers receive
// them, and captions with their line breaks. Not meant for the windows.
#include <QMouseEvent>
#include <QPalette>
#include <QPoint>
#include <QString>
#include <QWidget>

namespace vb {

// Sets one palette role of w for the active and inactive states; the
// background roles also for the disabled state (disabled text stays grey).
void setRoleColor(QWidget *w, QPalette::ColorRole role, long ole);

struct MouseArgs {
    int button, shift;
    float x, y;
};

// Button, shift state and position (twips from `origin`) of a mouse event;
// `pressedButton` gives the button that changed rather than those held down.
MouseArgs mouseArgs(const QMouseEvent *e, const QPoint &origin = QPoint(), bool pressedButton = false);

// A caption as shown: "\r\n" and a lone "\r" become line feeds.
QString displayText(const QString &caption);

}  // namespace vb
