#pragma once
// The intrinsic controls a window is built of: label, picture box, frame,
// check box, option button, shape, line, timer, image list, common dialog,
// plain text box and command button. Each is created with its parent and its
// name (the objectName, so windows find it by name); positions are in twips.
// Events are signals with by-reference arguments, meant for direct connections:
// a handler may change a key code or a button before the control acts on it.
#include "ui/CaptionButtons.h"
#include "ui/Components.h"
#include "ui/PictureBox.h"
#include "ui/SimpleControls.h"
