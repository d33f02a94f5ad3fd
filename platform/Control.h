#pragma once
// What every control of a window shares: position and size in twips,
// visibility, enabled state, tool tip, focus. Controls derive from a QWidget
// class and from Control; Control works on that same widget.
#include "platform/Twips.h"

#include <QString>
#include <QWidget>

namespace vb {

// Mouse buttons and shift states as the event handlers receive them.
enum MouseButton { vbLeftButton = 1, vbRightButton = 2, vbMiddleButton = 4 };
enum ShiftState { vbShiftMask = 1, vbCtrlMask = 2, vbAltMask = 4 };

int buttonOf(Qt::MouseButton b);
int buttonsOf(Qt::MouseButtons b);
int shiftOf(Qt::KeyboardModifiers m);
// The key code a key event stands for (vbKeyReturn = 13, vbKeyDelete = 46, vbKeyUp = 38,
// vbKeyDown = 40, letters as upper-case ASCII, F1 = 112 ...).
int keyCodeOf(int qtKey);
// The character code of a typed key (KeyPress): 8 Backspace, 13 Enter, 22 Ctrl+V ..., 0 when none.
int keyAsciiOf(int qtKey, Qt::KeyboardModifiers mods, const QString &text);

class Control {
public:
    explicit Control(QWidget *self) : m_self(self) {}
    virtual ~Control() = default;

    QWidget *widget() const { return m_self; }

    int Left() const;
    int Top() const;
    virtual int Width() const;
    virtual int Height() const;
    void setLeft(int twips);
    void setTop(int twips);
    virtual void setWidth(int twips);
    virtual void setHeight(int twips);
    // Move(left, top, width, height); -1 keeps a value.
    void Move(int left, int top = -1, int width = -1, int height = -1);

    bool Visible() const;
    virtual void setVisible(bool v);
    bool Enabled() const;
    virtual void setEnabled(bool e);
    QString ToolTipText() const;
    virtual void setToolTipText(const QString &t);
    void SetFocus();
    QString Name() const;  // the control's name (objectName)

private:
    QWidget *m_self;
};

}  // namespace vb
