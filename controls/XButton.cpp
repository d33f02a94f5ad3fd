#include "controls/XButton.h"

#include "controls/ControlFont.h"
#include "controls/PropertyBag.h"
#include "ui/Colors.h"

#include <QCursor>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <cmath>

namespace {

// Twips to a pixel coordinate.
int px(double twips) { return int(std::floor(twips / vb::TwipsPerPixel + 1e-9)); }

// A whole twip, halves to even.
double roundTwip(double v) { return std::nearbyint(v); }

long grayOf(long c)
{
    const long r = c & 255;
    const long g = (c & 65535) / 256;
    const long b = c / 65536;
    const long y = (r * 9798 + g * 19235 + b * 3735) / 32768;
    return vb::RGB(int(y), int(y), int(y));
}

QVariant colorValue(long c) { return QVariant::fromValue<qlonglong>(c); }

// Stores a property that changes the face: keeps the value, redraws the button
// and tells the container which property changed.
template <class T> void setFaceProperty(XButton *b, T &member, const T &value, const QString &name)
{
    member = value;
    b->SetButton();
    emit b->PropertyChanged(name);
}

}  // namespace

XButton::XButton(QWidget *parent, const QString &name) : QWidget(parent), vb::Control(this)
{
    setObjectName(name);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    m_timer = new QTimer(this);
    m_timer->setInterval(50);
    connect(m_timer, &QTimer::timeout, this, &XButton::onTick);
    QWidget::setFont(controls::ambientFont(this));
    InitProperties();
}

XButton::~XButton() = default;

// ---- properties ----

void XButton::setIfDraw(bool v)
{
    m_ifDraw = v;
    SetButton();
    emit PropertyChanged(QStringLiteral("IfDraw"));
}

void XButton::setBackColor(long c)
{
    m_curColor = c;
    m_backColor = c;
    m_pictureBack = c;
    SetButton();
    emit PropertyChanged(QStringLiteral("BackColor"));
}

void XButton::setTag(const QString &t)
{
    m_tag = t;
    emit PropertyChanged(QStringLiteral("Tag"));
}

QString XButton::ToolTip() const { return toolTip(); }

void XButton::setToolTip(const QString &t)
{
    QWidget::setToolTip(t);
    emit PropertyChanged(QStringLiteral("ToolTip"));
}

void XButton::setToolTipText(const QString &t) { setToolTip(t); }

void XButton::setForeColor(long c) { setFaceProperty(this, m_foreColor, c, QStringLiteral("ForeColor")); }

void XButton::setMouseOnColor(long c) { setFaceProperty(this, m_mouseOnColor, c, QStringLiteral("MouseOnColor")); }

void XButton::setMouseDownColor(long c)
{
    setFaceProperty(this, m_mouseDownColor, c, QStringLiteral("MouseDownColor"));
}

void XButton::setStyle3DColor1(long c) { setFaceProperty(this, m_style3DColor1, c, QStringLiteral("Style3DColor1")); }

void XButton::setStyle3DColor2(long c) { setFaceProperty(this, m_style3DColor2, c, QStringLiteral("Style3DColor2")); }

void XButton::setStyleColor(long c) { setFaceProperty(this, m_styleColor, c, QStringLiteral("StyleColor")); }

void XButton::setStyleColor2(long c) { setFaceProperty(this, m_styleColor2, c, QStringLiteral("StyleColor2")); }

void XButton::setPicture(const QPixmap &p) { setFaceProperty(this, m_picture, p, QStringLiteral("Picture")); }

void XButton::setStyle(int s) { setFaceProperty(this, m_style, s, QStringLiteral("style")); }

void XButton::setEnabled(bool e)
{
    QWidget::setEnabled(e);
    emit PropertyChanged(QStringLiteral("Enabled"));
    SetButton();
}

// A container enabled or disabled around the button changes its face too.
void XButton::changeEvent(QEvent *e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::EnabledChange && !m_face.isNull()) SetButton();
}

void XButton::setCaption(const QString &c)
{
    m_caption = c;
    emit PropertyChanged(QStringLiteral("Caption"));
}

void XButton::setFont(const QFont &f)
{
    QWidget::setFont(controls::usableFont(f));
    emit PropertyChanged(QStringLiteral("Font"));
    SetButton();
}

void XButton::setVisible(bool v) { QWidget::setVisible(v); }

// ---- saved properties ----

void XButton::InitProperties()
{
    m_caption.clear();
    m_backColor = vb::vbButtonFace;
    m_curColor = m_backColor;
    m_foreColor = vb::vbButtonText;
    m_mouseDownColor = vb::vbMenuBar;
    m_mouseOnColor = vb::vbMenuBar;
    m_styleColor = vb::kBlack;
    m_styleColor2 = -1;
    m_style3DColor1 = vb::kButtonEdgeLight;
    m_style3DColor2 = vb::kGrey;
    m_style = 0;
    m_ifDraw = false;
    m_picture = QPixmap();
}

void XButton::ReadProperties(const PropertyBag &bag)
{
    auto color = [&bag](const char *key, long def) {
        return long(bag.ReadProperty(QString::fromLatin1(key), colorValue(def)).toLongLong());
    };
    m_caption = bag.ReadProperty(QStringLiteral("Caption"), QStringLiteral("XButton")).toString();
    QWidget::setToolTip(bag.ReadProperty(QStringLiteral("ToolTip"), QString()).toString());
    m_tag = bag.ReadProperty(QStringLiteral("Tag"), QString()).toString();
    m_backColor = color("BackColor", vb::vbButtonFace);
    m_foreColor = color("ForeColor", vb::vbButtonText);
    m_mouseDownColor = color("MouseDownColor", vb::vbButtonText);
    m_mouseOnColor = color("MouseOnColor", vb::vbButtonText);
    m_styleColor = color("StyleColor", vb::vbButtonText);
    m_styleColor2 = color("StyleColor2", -1);
    m_style3DColor1 = color("Style3dColor1", vb::vbButtonText);
    m_style3DColor2 = color("Style3dColor2", vb::vbButtonText);
    m_style = bag.ReadProperty(QStringLiteral("style"), 0).toInt();
    QWidget::setEnabled(bag.ReadProperty(QStringLiteral("Enabled"), true).toBool());
    const QVariant font = bag.ReadProperty(QStringLiteral("Font"));
    QWidget::setFont(font.canConvert<QFont>() && font.isValid() ? controls::usableFont(font.value<QFont>())
                                                                : controls::ambientFont(this));
    setPicture(bag.ReadProperty(QStringLiteral("Picture")).value<QPixmap>());
    m_ifDraw = bag.ReadProperty(QStringLiteral("IfDraw"), false).toBool();
    SetButton();
}

void XButton::WriteProperties(PropertyBag &bag) const
{
    bag.WriteProperty(QStringLiteral("Caption"), m_caption, QStringLiteral("XButton"));
    bag.WriteProperty(QStringLiteral("ToolTip"), toolTip(), QString());
    bag.WriteProperty(QStringLiteral("Tag"), m_tag, QString());
    bag.WriteProperty(QStringLiteral("BackColor"), colorValue(m_backColor), colorValue(vb::vbButtonFace));
    bag.WriteProperty(QStringLiteral("ForeColor"), colorValue(m_foreColor), colorValue(vb::vbButtonText));
    bag.WriteProperty(QStringLiteral("MouseDownColor"), colorValue(m_mouseDownColor), colorValue(vb::vbButtonText));
    bag.WriteProperty(QStringLiteral("MouseOnColor"), colorValue(m_mouseOnColor), colorValue(vb::vbButtonText));
    bag.WriteProperty(QStringLiteral("StyleColor"), colorValue(m_styleColor), colorValue(vb::vbButtonText));
    bag.WriteProperty(QStringLiteral("StyleColor2"), colorValue(m_styleColor2), colorValue(-1));
    bag.WriteProperty(QStringLiteral("Style3dColor1"), colorValue(m_style3DColor1), colorValue(vb::vbButtonText));
    bag.WriteProperty(QStringLiteral("Style3dColor2"), colorValue(m_style3DColor2), colorValue(vb::vbButtonText));
    if (!m_picture.isNull())
        bag.WriteProperty(QStringLiteral("Picture"), m_picture);
    else
        bag.remove(QStringLiteral("Picture"));
    bag.WriteProperty(QStringLiteral("style"), m_style, 0);
    bag.WriteProperty(QStringLiteral("Enabled"), isEnabled(), true);
    const QFont ambient = controls::ambientFont(this);
    if (font() != ambient)
        bag.WriteProperty(QStringLiteral("Font"), font());
    else
        bag.remove(QStringLiteral("Font"));
    bag.WriteProperty(QStringLiteral("IfDraw"), m_ifDraw, false);
}

// ---- drawing ----

void XButton::ensureFace()
{
    if (m_face.size() == size()) return;
    m_face = QImage(size(), QImage::Format_RGB32);
    m_face.fill(vb::toQColor(m_backColor));
}

void XButton::drawEdges(long leftTop, long rightBottom)
{
    ensureFace();
    if (m_face.isNull()) return;
    const int w = width();
    const int h = height();
    QPainter p(&m_face);
    p.setPen(vb::toQColor(leftTop));
    p.drawLine(0, 0, 0, h);  // left
    p.drawLine(0, 0, w, 0);  // top
    p.setPen(vb::toQColor(rightBottom));
    p.drawLine(w - 1, 0, w - 1, h);  // right, inside the last column
    p.drawLine(0, h - 1, w, h - 1);  // bottom, inside the last row
    update();
}

void XButton::drawOutline(long color)
{
    ensureFace();
    if (m_face.isNull()) return;
    QPainter p(&m_face);
    p.setPen(vb::toQColor(color));
    p.setBrush(Qt::NoBrush);
    p.drawRect(0, 0, width() - 1, height() - 1);
    update();
}

void XButton::drawPictureAt(int x, int y)
{
    if (isEnabled()) {
        QPainter p(&m_face);
        p.drawPixmap(px(x), px(y), m_picture);
        return;
    }
    // Disabled: a grey copy of the picture holder's pixels, leaving out those
    // that match the face's own corner pixel.
    const QRgb key = m_face.pixel(0, 0) & 0xFFFFFF;
    QImage held(m_picture.size(), QImage::Format_RGB32);
    held.fill(vb::toQColor(m_pictureBack));
    {
        QPainter hp(&held);
        hp.drawPixmap(0, 0, m_picture);
    }
    const int x0 = px(x);
    const int y0 = px(y);
    for (int i = 0; i < held.width(); ++i) {
        for (int j = 0; j < held.height(); ++j) {
            const QRgb c = held.pixel(i, j) & 0xFFFFFF;
            if (c == key) continue;
            const int fx = x0 + i;
            const int fy = y0 + j;
            if (fx < 0 || fy < 0 || fx >= m_face.width() || fy >= m_face.height()) continue;
            const long ole = vb::RGB(qRed(c), qGreen(c), qBlue(c));
            m_face.setPixel(fx, fy, vb::toQColor(grayOf(ole)).rgb());
        }
    }
}

void XButton::printCaptionAt(int x, int y)
{
    QPainter p(&m_face);
    p.setFont(font());
    const QFontMetrics fm(font());
    auto print = [&](int tx, int ty, long color) {
        p.setPen(vb::toQColor(color));
        p.drawText(px(tx), px(ty) + fm.ascent(), m_caption);
    };
    if (isEnabled()) {
        print(x, y, m_foreColor);
    } else {
        print(x + 15, y + 15, vb::kWhite);
        print(x, y, vb::kGrey);
    }
}

void XButton::SetButton()
{
    ensureFace();
    if (m_face.isNull()) return;
    const double W = vb::toTwips(width());
    const double H = vb::toTwips(height());
    const double PW = vb::toTwips(m_picture.width());
    const double PH = vb::toTwips(m_picture.height());

    if (m_curColor == 0) m_curColor = m_backColor;
    {
        QPainter p(&m_face);
        p.fillRect(m_face.rect(), vb::toQColor(m_curColor));
    }
    if (m_ifDraw) {
        if (m_styleColor2 != -1)
            drawEdges(m_styleColor, m_styleColor2);
        else
            drawOutline(m_styleColor);
    }

    const bool hasPicture = !m_picture.isNull();
    const bool hasCaption = !m_caption.isEmpty();
    const QFontMetrics fm(font());
    const double TW = vb::toTwips(fm.horizontalAdvance(m_caption));
    const double TH = vb::toTwips(fm.height());
    auto picture = [this](double x, double y) { drawPictureAt(int(roundTwip(x)), int(roundTwip(y))); };
    auto caption = [this](double x, double y) { printCaptionAt(int(roundTwip(x)), int(roundTwip(y))); };

    if (hasPicture && !hasCaption) {
        picture((W - PW) / 2, (H - PH) / 2);
    } else if (!hasPicture && hasCaption) {
        caption((W - TW) / 2, (H - TH) / 2);
    } else if (hasPicture && hasCaption) {
        if (m_style == 0) {
            const double G = W - PW - TW;
            picture(G / 3, (H - PH) / 2);
            caption(PW + G * 2 / 3, (H - TH) / 2);
        } else if (m_style == 1) {
            const double G = H - PH - TH;
            picture((W - PW) / 2, G / 3);
            caption((W - TW) / 2, PH + G * 2 / 3);
        }
    }
    update();
}

void XButton::DrawMouseOn()
{
    SetButton();
    drawEdges(m_style3DColor1, m_style3DColor2);
}

void XButton::DrawMouseOut()
{
    m_curColor = m_backColor;
    drawOutline(m_backColor);
    SetButton();
}

void XButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (m_face.size() == size())
        p.drawImage(0, 0, m_face);
    else
        p.fillRect(rect(), vb::toQColor(m_backColor));
    // The focus mark lies over the face, not in it: the face stays what the
    // button drew.
    if (m_focusMark && hasFocus() && width() > 8 && height() > 8) {
        QPen pen(vb::toQColor(m_foreColor));
        pen.setStyle(Qt::DotLine);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRect(3, 3, width() - 7, height() - 7));
    }
}

void XButton::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    SetButton();
}

void XButton::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    m_curColor = m_backColor;
    DrawMouseOut();
    hoverAt(mapFromGlobal(QCursor::pos()));
}

void XButton::enterEvent(QEnterEvent *e)
{
    QWidget::enterEvent(e);
    hoverAt(e->position().toPoint());
}

// ---- mouse ----

void XButton::handleMove(int, int, float x, float y)
{
    if (m_hover || m_pressed == 1) return;
    QPointer<XButton> self(this);
    emit MouseOn();
    if (!self) return;
    m_hoverOrigin = QPoint(qRound(x / vb::TwipsPerPixel), qRound(y / vb::TwipsPerPixel));
    m_cursorOrigin = QCursor::pos();
    m_hover = true;
    m_curColor = m_mouseOnColor;
    DrawMouseOn();
    m_timer->start();
}

// Hovering as a move to `pixel` would start it, when the pointer is on the button.
void XButton::hoverAt(const QPoint &pixel)
{
    if (!isVisible() || !isEnabled() || !rect().contains(pixel)) return;
    handleMove(0, 0, float(pixel.x() * vb::TwipsPerPixel), float(pixel.y() * vb::TwipsPerPixel));
}

void XButton::onTick()
{
    const QPoint c = QCursor::pos();
    const int left = m_cursorOrigin.x() - m_hoverOrigin.x();
    const int top = m_cursorOrigin.y() - m_hoverOrigin.y();
    const int right = width() + left;
    const int bottom = height() + top;
    if (left <= c.x() && c.x() <= right && top <= c.y() && c.y() <= bottom) {
        if (m_pressed == 0) DrawMouseOn();
        return;
    }
    QPointer<XButton> self(this);
    emit MouseOut();
    if (!self) return;
    m_hover = false;
    DrawMouseOut();
    m_timer->stop();
}

void XButton::mouseMoveEvent(QMouseEvent *e)
{
    handleMove(vb::buttonsOf(e->buttons()), vb::shiftOf(e->modifiers()), float(e->position().x() * vb::TwipsPerPixel),
               float(e->position().y() * vb::TwipsPerPixel));
}

void XButton::mousePressEvent(QMouseEvent *e)
{
    int button = vb::buttonOf(e->button());
    int shift = vb::shiftOf(e->modifiers());
    float x = float(e->position().x() * vb::TwipsPerPixel);
    float y = float(e->position().y() * vb::TwipsPerPixel);
    m_pressed = 1;
    QPointer<XButton> self(this);
    emit MouseDown(button, shift, x, y);
    if (!self) return;
    if (button == vb::vbRightButton) m_hover = false;
    m_lastButton = button;
    if (button == vb::vbLeftButton) {
        m_curColor = m_mouseDownColor;
        SetButton();
        drawEdges(m_style3DColor2, m_style3DColor1);
    }
}

void XButton::mouseReleaseEvent(QMouseEvent *e)
{
    int button = vb::buttonOf(e->button());
    int shift = vb::shiftOf(e->modifiers());
    float x = float(e->position().x() * vb::TwipsPerPixel);
    float y = float(e->position().y() * vb::TwipsPerPixel);
    m_pressed = 0;
    QPointer<XButton> self(this);
    emit MouseUp(button, shift, x, y);
    if (!self) return;
    DrawMouseOut();
    if (m_lastButton == vb::vbLeftButton && m_hover) emit Click();
}

// The second press of a double click counts as a press.
void XButton::mouseDoubleClickEvent(QMouseEvent *e) { mousePressEvent(e); }

// ---- keyboard ----

void XButton::keyPressEvent(QKeyEvent *e)
{
    switch (e->key()) {
    case Qt::Key_Space:
        if (!e->isAutoRepeat() && !m_spaceDown) {
            m_spaceDown = true;
            m_curColor = m_mouseDownColor;
            SetButton();
            drawEdges(m_style3DColor2, m_style3DColor1);
        }
        e->accept();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!e->isAutoRepeat()) emit Click();
        e->accept();
        return;
    default: QWidget::keyPressEvent(e);
    }
}

void XButton::keyReleaseEvent(QKeyEvent *e)
{
    if (e->key() != Qt::Key_Space || e->isAutoRepeat()) {
        QWidget::keyReleaseEvent(e);
        return;
    }
    e->accept();
    if (!m_spaceDown) return;
    m_spaceDown = false;
    DrawMouseOut();
    if (m_hover) DrawMouseOn();
    emit Click();
}

// The mark shows where the keyboard was sent (Tab, a shortcut, the program);
// a click puts no mark, and the window losing and regaining the keyboard
// leaves the mark as it was.
void XButton::focusInEvent(QFocusEvent *e)
{
    QWidget::focusInEvent(e);
    switch (e->reason()) {
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::ShortcutFocusReason:
    case Qt::OtherFocusReason: m_focusMark = true; break;
    case Qt::MouseFocusReason: m_focusMark = false; break;
    default: break;
    }
    update();
}

void XButton::focusOutEvent(QFocusEvent *e)
{
    QWidget::focusOutEvent(e);
    if (e->reason() != Qt::ActiveWindowFocusReason && e->reason() != Qt::PopupFocusReason) m_focusMark = false;
    if (m_spaceDown) {
        // Space let go elsewhere: no click.
        m_spaceDown = false;
        DrawMouseOut();
    }
    update();
}
