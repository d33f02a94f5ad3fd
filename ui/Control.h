#pragma once
// What every control of a window shares: position and size in twips,
// visibility, enabled state, tool tip, focus. Controls derive from a QWidget
// class and from Control; Control works on that same widget. The controls
// that show text also have the font members (FontMembers).
#include "ui/Twips.h"

#include <QFont>
#include <QString>
#include <QVariant>
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
    explicit Control(QWidget *self) : m_self(self) { }
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

private:
    QWidget *m_self;
};

// A class deriving from a QWidget class and from Control inherits setVisible,
// setEnabled and the tool tip from both; this resolves them to the widget's own.
#define VB_CONTROL_WIDGET(Base)                                                                                        \
public:                                                                                                                \
    void setVisible(bool v) override { Base::setVisible(v); }                                                          \
    void setEnabled(bool e) override { Base::setEnabled(e); }                                                          \
    void setToolTipText(const QString &t) override { Base::setToolTip(t); }

// Font members shared by the controls that show text. FontSize is in points
// (at 96 pixels per inch, so 9 points are 12 pixels whatever the screen says).
class FontMembers {
public:
    explicit FontMembers(QWidget *self) : m_w(self) { }
    virtual ~FontMembers() = default;
    QString FontName() const;
    void setFontName(const QString &name);
    double FontSize() const;
    void setFontSize(double points);
    bool FontBold() const;
    void setFontBold(bool b);
    bool FontItalic() const;
    void setFontItalic(bool b);
    bool FontUnderline() const;
    void setFontUnderline(bool b);

protected:
    virtual void fontChanged() { }

private:
    void apply(const QFont &f);
    QWidget *m_w;
};

// The mouse position of a widget-relative point, in twips.
inline float twipsF(double px) { return float(px * TwipsPerPixel); }

// Sets / reads a declared property by name. Unlike QObject::setProperty, an
// unknown name (or a value the property cannot take) throws std::runtime_error
// instead of creating a dynamic property.
void SetProp(QObject *obj, const char *name, const QVariant &value);
QVariant GetProp(const QObject *obj, const char *name);

}  // namespace vb
