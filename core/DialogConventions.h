#pragma once
// Conventions the dialogs and windows share:
//  - DialogTitleBar: a dialog's own title bar (Pic_TitleBar, Lbl_TBarText showing
//    the window caption, Cmd_TBarClose) whose close button unloads the dialog;
//  - LayeredDialog: translucent windows (alpha 192 of 255);
//  - ConfirmDelete: the question before a destructive action;
//  - EnterKeySubmit: Enter in a text box runs the window's main action;
//  - HoverByMouseMove: a hover look set on every mouse move over a control and
//    reset by every mouse move over its container;
//  - the numbers an editor writes, checked again when it saves.
#include "ui/Form.h"
#include "ui/Intrinsics.h"

#include <QString>
#include <functional>

class XButton;
class FTextBox;

// The parts of a dialog's title bar.
struct DialogTitleBarParts {
    vb::PictureBox *Pic_TitleBar = nullptr;
    vb::Label *Lbl_TBarText = nullptr;
    XButton *Cmd_TBarClose = nullptr;
};

// Creates the title bar docked at the top of the dialog's client area, `height`
// twips high; its close button runs `onClose` (by default: unload the dialog).
// Call SetDialogTitle after the caption is known (the editors' load).
DialogTitleBarParts DialogTitleBar(vb::Form *dialog, int height = 480, std::function<void()> onClose = {});
// The white dialogs' label: transparent, sized to its caption, dark grey unless told.
vb::Label *DialogLabel(QWidget *parent, const QString &name, const QString &caption, int left, int top,
                       long color = vb::kDarkGreyText);
// The white dialogs' grey button, 1200 x 375 twips.
XButton *DialogButton(QWidget *parent, const QString &name, const QString &caption, int left, int top);
// Copies the window caption into the title label.
void SetDialogTitle(vb::Form *dialog, vb::Label *titleLabel);

// Translucency: the alpha of the change-of-user, lock-screen and about windows.
constexpr int LayeredDialogAlpha = 192;
void LayeredDialog(vb::Form *window, int alpha = LayeredDialogAlpha);

// The second line of most questions before a destructive action.
QString UndoNote();  // "提示：该操作不撤销！"
// Asks `question` (followed by "\r\n" and the note when withNote) with the
// question icon and `title`. True unless the answer is 2 (Cancel).
bool ConfirmDelete(const QString &question, const QString &title, bool withNote = true);

// Enter (13) in `box` runs `action`; other keys pass unchanged.
void EnterKeySubmit(FTextBox *box, std::function<void()> action);
// The KeyPress rule of the boxes that refuse a decimal point: "." becomes 0.
void DropDotKey(int &KeyAscii);
// Connects DropDotKey to the KeyPress of `box`.
void DropDotKeys(FTextBox *box);

// Every number an editor writes is checked again when it saves, whatever got
// into its box (a paste of any kind passes by the key filter). A refusal names
// the box by its label, "`caption`", as a caution ("!", "提示"), and puts the
// keyboard back into the box. True when the number may be written.
//
// Money: the number at the start of the text (as the editors write it), not
// negative and no more than the lists show (9999999.99).
bool AcceptMoney(FTextBox *box, const QString &caption);
// A whole number of digits alone (blanks around them aside), from `min` to
// `max`; the text is written as it stands.
bool AcceptWholeNumber(FTextBox *box, const QString &caption, qint64 min, qint64 max);
// The largest value of an integer column (the server's integer).
constexpr qint64 IntegerColumnMax = 2147483647;

// Hover looks driven by mouse movement: every mouse move over `control` runs
// `hover`, every mouse move over `container` (outside the control) runs `reset`.
// For a window as container pass its client() (the widget its controls lie on).
// Mouse tracking is switched on for both.
void HoverByMouseMove(QWidget *control, QWidget *container, std::function<void()> hover, std::function<void()> reset);
