#include "ui/SimpleControls.h"

#include "ui/ControlSupport.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

namespace vb {

// ---------------------------------------------------------------- Label

Label::Label(QWidget *parent, const QString &name, const QString &caption)
    : QLabel(parent), Control(this), FontMembers(this)
{
    setObjectName(name);
    setTextFormat(Qt::PlainText);
    setMouseTracking(true);
    setAutoFillBackground(true);
    applyColors();
    applyAlignment();
    setCaption(caption);
    show();
}

void Label::setCaption(const QString &c)
{
    m_caption = c;
    showCaption();
    fitToText();
}

void Label::showCaption()
{
    const QString shown = displayText(m_caption);
    if (m_elide == Qt::ElideNone || m_autoSize || m_wordWrap)
        setText(shown);
    else
        setText(QFontMetrics(font()).elidedText(shown, m_elide, width()));
}

void Label::setElideMode(Qt::TextElideMode mode)
{
    m_elide = mode;
    showCaption();
}

void Label::resizeEvent(QResizeEvent *e)
{
    QLabel::resizeEvent(e);
    if (m_elide != Qt::ElideNone) showCaption();
}

void Label::setForeColor(long c)
{
    m_foreColor = c;
    applyColors();
}

void Label::setBackColor(long c)
{
    m_backColor = c;
    applyColors();
}

void Label::setBackStyle(int s)
{
    m_backStyle = s;
    applyColors();
}

void Label::applyColors()
{
    setRoleColor(this, QPalette::WindowText, m_foreColor);
    setRoleColor(this, QPalette::Window, m_backColor);
    setAutoFillBackground(m_backStyle != vbTransparent);
    update();
}

void Label::setAlignment(int a)
{
    m_alignment = a;
    applyAlignment();
}

void Label::applyAlignment()
{
    Qt::Alignment h = Qt::AlignLeft;
    if (m_alignment == vbRightJustify)
        h = Qt::AlignRight;
    else if (m_alignment == vbCenter)
        h = Qt::AlignHCenter;
    QLabel::setAlignment(h | Qt::AlignTop);
}

void Label::setAutoSize(bool a)
{
    m_autoSize = a;
    fitToText();
}

void Label::setWordWrap(bool w)
{
    m_wordWrap = w;
    QLabel::setWordWrap(w);
    fitToText();
}

void Label::setWidth(int twips)
{
    Control::setWidth(twips);
    fitToText();
}

void Label::fontChanged()
{
    showCaption();
    fitToText();
}

void Label::fitToText()
{
    if (!m_autoSize) return;
    const QFontMetrics fm(font());
    const QString t = text();
    if (t.isEmpty()) {
        resize(m_wordWrap ? width() : 0, fm.height());
        return;
    }
    if (m_wordWrap) {
        const QRect r = fm.boundingRect(QRect(0, 0, qMax(1, width()), 100000), Qt::TextWordWrap, t);
        resize(width(), r.height());
    } else {
        const QRect r = fm.boundingRect(QRect(0, 0, 100000, 100000), 0, t);
        resize(r.width(), r.height());
    }
}

void Label::mousePressEvent(QMouseEvent *e)
{
    m_pressed = true;
    auto a = mouseArgs(e, QPoint(), true);
    QPointer<Label> self(this);
    emit MouseDown(a.button, a.shift, a.x, a.y);
    if (self) e->accept();
}

void Label::mouseMoveEvent(QMouseEvent *e)
{
    auto a = mouseArgs(e);
    QPointer<Label> self(this);
    emit MouseMove(a.button, a.shift, a.x, a.y);
    if (self) e->accept();
}

void Label::mouseReleaseEvent(QMouseEvent *e)
{
    const bool wasPressed = m_pressed;
    m_pressed = false;
    auto a = mouseArgs(e, QPoint(), true);
    QPointer<Label> self(this);
    emit MouseUp(a.button, a.shift, a.x, a.y);
    if (!self) return;
    e->accept();
    if (wasPressed && rect().contains(e->position().toPoint())) emit Click();
}

void Label::mouseDoubleClickEvent(QMouseEvent *e)
{
    m_pressed = true;
    e->accept();
    emit DblClick();
}

// ---------------------------------------------------------------- Frame

Frame::Frame(QWidget *parent, const QString &name, const QString &caption)
    : QGroupBox(caption, parent), Control(this), FontMembers(this)
{
    setObjectName(name);
    setMouseTracking(true);
    setAutoFillBackground(true);
    setFlat(false);
    applyColors();
    show();
}

void Frame::setBackColor(long c)
{
    m_backColor = c;
    applyColors();
}

void Frame::setForeColor(long c)
{
    m_foreColor = c;
    applyColors();
}

void Frame::applyColors()
{
    setRoleColor(this, QPalette::Window, m_backColor);
    setRoleColor(this, QPalette::WindowText, m_foreColor);
}

void Frame::mouseMoveEvent(QMouseEvent *e)
{
    auto a = mouseArgs(e);
    QPointer<Frame> self(this);
    emit MouseMove(a.button, a.shift, a.x, a.y);
    if (self) e->accept();
}

void Frame::mousePressEvent(QMouseEvent *e)
{
    m_pressed = true;
    e->accept();
}

void Frame::mouseReleaseEvent(QMouseEvent *e)
{
    const bool was = m_pressed;
    m_pressed = false;
    e->accept();
    if (was && rect().contains(e->position().toPoint())) emit Click();
}

// ---------------------------------------------------------------- Shape

Shape::Shape(QWidget *parent, const QString &name) : QWidget(parent), Control(this)
{
    setObjectName(name);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    show();
}

void Shape::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const qreal bw = m_borderWidth;
    const QRectF r = QRectF(rect()).adjusted(bw / 2, bw / 2, -bw / 2, -bw / 2);
    const bool rounded = m_shape == vbShapeRoundedRectangle || m_shape == vbShapeRoundedSquare;
    const bool oval = m_shape == vbShapeOval || m_shape == vbShapeCircle;
    QRectF shapeRect = r;
    if (m_shape == vbShapeSquare || m_shape == vbShapeCircle || m_shape == vbShapeRoundedSquare) {
        const qreal side = qMin(r.width(), r.height());
        shapeRect = QRectF(r.center().x() - side / 2, r.center().y() - side / 2, side, side);
    }
    auto draw = [&](QPainter &pp) {
        if (oval)
            pp.drawEllipse(shapeRect);
        else if (rounded) {
            const qreal rad = qMin(shapeRect.width(), shapeRect.height()) / 6;
            pp.drawRoundedRect(shapeRect, rad, rad);
        } else
            pp.drawRect(shapeRect);
    };
    if (rounded || oval) p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    if (m_backStyle == vbOpaque) {
        p.setBrush(toQColor(m_backColor));
        draw(p);
    }
    if (m_fillStyle == vbFSSolid) {
        p.setBrush(toQColor(m_fillColor));
        draw(p);
    }
    QPen pen(toQColor(m_borderColor));
    pen.setWidthF(bw);
    pen.setJoinStyle(Qt::MiterJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    draw(p);
}

// ---------------------------------------------------------------- LineControl

LineControl::LineControl(QWidget *parent, const QString &name) : QWidget(parent), Control(this)
{
    setObjectName(name);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    place();
    show();
}

void LineControl::setLine(int x1, int y1, int x2, int y2)
{
    m_x1 = x1;
    m_y1 = y1;
    m_x2 = x2;
    m_y2 = y2;
    place();
}

void LineControl::place()
{
    const int l = toPx(qMin(m_x1, m_x2));
    const int t = toPx(qMin(m_y1, m_y2));
    const int r = toPx(qMax(m_x1, m_x2));
    const int b = toPx(qMax(m_y1, m_y2));
    QPoint o;
    if (QWidget *p = parentWidget(); p && p->property("vbClientOrigin").toBool()) o = p->contentsRect().topLeft();
    setGeometry(l + o.x(), t + o.y(), r - l + m_width, b - t + m_width);
    update();
}

void LineControl::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    QPen pen(toQColor(m_color));
    pen.setWidth(m_width);
    pen.setCapStyle(Qt::SquareCap);
    p.setPen(pen);
    const int l = toPx(qMin(m_x1, m_x2));
    const int t = toPx(qMin(m_y1, m_y2));
    const qreal half = (m_width - 1) / 2.0;
    p.drawLine(QPointF(toPx(m_x1) - l + half, toPx(m_y1) - t + half),
               QPointF(toPx(m_x2) - l + half, toPx(m_y2) - t + half));
}

// ---------------------------------------------------------------- TextBox

TextBox::TextBox(QWidget *parent, const QString &name) : QLineEdit(parent), Control(this), FontMembers(this)
{
    setObjectName(name);
    connect(this, &QLineEdit::textChanged, this, &TextBox::Change);
    show();
}

void TextBox::keyPressEvent(QKeyEvent *e)
{
    int code = keyCodeOf(e->key());
    int shift = shiftOf(e->modifiers());
    QPointer<TextBox> self(this);
    bool keyTaken = false;  // KeyDown set KeyCode to 0
    if (code) {
        emit KeyDown(code, shift);
        if (!self) return;
        keyTaken = (code == 0);
    }
    int ascii = keyAsciiOf(e->key(), e->modifiers(), e->text());
    if (ascii) {
        const int before = ascii;
        emit KeyPress(ascii);
        if (!self) return;
        if (ascii == 0) {
            e->accept();
            return;
        }
        if (ascii != before && ascii >= 32) {
            insert(QString(QChar(ascii)));
            e->accept();
            return;
        }
    } else if (keyTaken) {
        e->accept();
        return;
    }
    QLineEdit::keyPressEvent(e);
}

// ---------------------------------------------------------------- CommandButton

CommandButton::CommandButton(QWidget *parent, const QString &name, const QString &caption)
    : QPushButton(caption, parent), Control(this), FontMembers(this)
{
    setObjectName(name);
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this, &CommandButton::Click);
    show();
}

}  // namespace vb
