#include "ui/Control.h"

#include <QMetaProperty>
#include <stdexcept>

namespace vb {

int buttonOf(Qt::MouseButton b)
{
    switch (b) {
    case Qt::LeftButton: return vbLeftButton;
    case Qt::RightButton: return vbRightButton;
    case Qt::MiddleButton: return vbMiddleButton;
    default: return 0;
    }
}

int buttonsOf(Qt::MouseButtons b)
{
    int r = 0;
    if (b & Qt::LeftButton) r |= vbLeftButton;
    if (b & Qt::RightButton) r |= vbRightButton;
    if (b & Qt::MiddleButton) r |= vbMiddleButton;
    return r;
}

int shiftOf(Qt::KeyboardModifiers m)
{
    int r = 0;
    if (m & Qt::ShiftModifier) r |= vbShiftMask;
    if (m & Qt::ControlModifier) r |= vbCtrlMask;
    if (m & Qt::AltModifier) r |= vbAltMask;
    return r;
}

int keyCodeOf(int k)
{
    if (k >= Qt::Key_A && k <= Qt::Key_Z) return k;  // 65..90
    if (k >= Qt::Key_0 && k <= Qt::Key_9) return k;  // 48..57
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24) return 112 + (k - Qt::Key_F1);
    switch (k) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 9;
    case Qt::Key_Clear: return 12;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Pause: return 19;
    case Qt::Key_CapsLock: return 20;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Print: return 42;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    case Qt::Key_Help: return 47;
    case Qt::Key_NumLock: return 144;
    case Qt::Key_ScrollLock: return 145;
    case Qt::Key_Semicolon:
    case Qt::Key_Colon: return 186;
    case Qt::Key_Equal:
    case Qt::Key_Plus: return 187;
    case Qt::Key_Comma:
    case Qt::Key_Less: return 188;
    case Qt::Key_Minus:
    case Qt::Key_Underscore: return 189;
    case Qt::Key_Period:
    case Qt::Key_Greater: return 190;
    case Qt::Key_Slash:
    case Qt::Key_Question: return 191;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde: return 192;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft: return 219;
    case Qt::Key_Backslash:
    case Qt::Key_Bar: return 220;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight: return 221;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl: return 222;
    default: return 0;
    }
}

int keyAsciiOf(int k, Qt::KeyboardModifiers mods, const QString &text)
{
    switch (k) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab: return (mods & (Qt::ControlModifier | Qt::AltModifier)) ? 0 : 9;
    case Qt::Key_Return:
    case Qt::Key_Enter: return (mods & Qt::ControlModifier) ? 10 : 13;
    case Qt::Key_Escape: return 27;
    default: break;
    }
    if (mods & Qt::AltModifier) return 0;
    if (mods & Qt::ControlModifier) {
        // Control characters come from the key, whatever text the platform delivers.
        if (k >= Qt::Key_A && k <= Qt::Key_Z) return k - Qt::Key_A + 1;
        switch (k) {
        case Qt::Key_BracketLeft: return 27;
        case Qt::Key_Backslash: return 28;
        case Qt::Key_BracketRight: return 29;
        default: return 0;
        }
    }
    if (text.isEmpty()) return 0;
    const QChar c = text.at(0);
    if (c.unicode() < 32 && c.unicode() != 8 && c.unicode() != 13) return 0;
    return c.unicode();
}

// Containers whose children are placed from the inner edge of their border
// (picture boxes) mark themselves with this property.
static QPoint originOf(const QWidget *w)
{
    const QWidget *p = w->parentWidget();
    if (p && p->property("vbClientOrigin").toBool()) return p->contentsRect().topLeft();
    return QPoint(0, 0);
}

int Control::Left() const { return toTwips(m_self->x() - originOf(m_self).x()); }
int Control::Top() const { return toTwips(m_self->y() - originOf(m_self).y()); }
int Control::Width() const { return toTwips(m_self->width()); }
int Control::Height() const { return toTwips(m_self->height()); }

void Control::setLeft(int twips) { m_self->move(toPx(twips) + originOf(m_self).x(), m_self->y()); }
void Control::setTop(int twips) { m_self->move(m_self->x(), toPx(twips) + originOf(m_self).y()); }
void Control::setWidth(int twips) { m_self->resize(qMax(0, toPx(twips)), m_self->height()); }
void Control::setHeight(int twips) { m_self->resize(m_self->width(), qMax(0, toPx(twips))); }

void Control::Move(int left, int top, int width, int height)
{
    const QPoint o = originOf(m_self);
    m_self->move(toPx(left) + o.x(), top < 0 ? m_self->y() : toPx(top) + o.y());
    if (width >= 0) setWidth(width);
    if (height >= 0) setHeight(height);
}

bool Control::Visible() const { return !m_self->isHidden(); }
void Control::setVisible(bool v) { m_self->setVisible(v); }
bool Control::Enabled() const { return m_self->isEnabled(); }
void Control::setEnabled(bool e) { m_self->setEnabled(e); }
QString Control::ToolTipText() const { return m_self->toolTip(); }
void Control::setToolTipText(const QString &t) { m_self->setToolTip(t); }
void Control::SetFocus() { m_self->setFocus(Qt::OtherFocusReason); }

// ---- font members

QString FontMembers::FontName() const { return m_w->font().family(); }
void FontMembers::setFontName(const QString &name)
{
    QFont f = m_w->font();
    f.setFamily(name);
    apply(f);
}
double FontMembers::FontSize() const
{
    const QFont f = m_w->font();
    if (f.pixelSize() > 0) return f.pixelSize() * 72.0 / 96.0;
    return f.pointSizeF();
}
void FontMembers::setFontSize(double points)
{
    QFont f = m_w->font();
    f.setPixelSize(qMax(1, qRound(points * 96.0 / 72.0)));
    apply(f);
}
bool FontMembers::FontBold() const { return m_w->font().bold(); }
void FontMembers::setFontBold(bool b)
{
    QFont f = m_w->font();
    f.setBold(b);
    apply(f);
}
bool FontMembers::FontItalic() const { return m_w->font().italic(); }
void FontMembers::setFontItalic(bool b)
{
    QFont f = m_w->font();
    f.setItalic(b);
    apply(f);
}
bool FontMembers::FontUnderline() const { return m_w->font().underline(); }
void FontMembers::setFontUnderline(bool b)
{
    QFont f = m_w->font();
    f.setUnderline(b);
    apply(f);
}
void FontMembers::apply(const QFont &f)
{
    m_w->setFont(f);
    fontChanged();
}

void SetProp(QObject *obj, const char *name, const QVariant &value)
{
    if (!obj) throw std::runtime_error(std::string("SetProp: no object for property ") + name);
    const QMetaObject *mo = obj->metaObject();
    const int idx = mo->indexOfProperty(name);
    if (idx < 0)
        throw std::runtime_error(std::string("unknown property ") + name + " of " + obj->objectName().toStdString());
    const QMetaProperty p = mo->property(idx);
    if (!p.isWritable() || !p.write(obj, value))
        throw std::runtime_error(std::string("cannot set property ") + name + " of " + obj->objectName().toStdString());
}

QVariant GetProp(const QObject *obj, const char *name)
{
    if (!obj) throw std::runtime_error(std::string("GetProp: no object for property ") + name);
    const QMetaObject *mo = obj->metaObject();
    const int idx = mo->indexOfProperty(name);
    if (idx < 0)
        throw std::runtime_error(std::string("unknown property ") + name + " of " + obj->objectName().toStdString());
    return mo->property(idx).read(obj);
}

}  // namespace vb
