#include "ui/Intrinsics.h"

#include "ui/Colors.h"

#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <algorithm>

namespace vb {

namespace {

void setRoleColor(QWidget *w, QPalette::ColorRole role, long ole)
{
    QPalette pal = w->palette();
    const QColor c = toQColor(ole);
    pal.setColor(QPalette::Active, role, c);
    pal.setColor(QPalette::Inactive, role, c);
    if (role != QPalette::WindowText && role != QPalette::ButtonText && role != QPalette::Text)
        pal.setColor(QPalette::Disabled, role, c);
    w->setPalette(pal);
}

struct MouseArgs {
    int button, shift;
    float x, y;
};

MouseArgs mouseArgs(const QMouseEvent *e, const QPoint &origin = QPoint(), bool pressedButton = false)
{
    MouseArgs a;
    a.button = pressedButton ? buttonOf(e->button()) : buttonsOf(e->buttons());
    a.shift = shiftOf(e->modifiers());
    a.x = twipsF(e->position().x() - origin.x());
    a.y = twipsF(e->position().y() - origin.y());
    return a;
}

QString displayText(const QString &caption)
{
    QString t = caption;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}

// Lays out the docked picture boxes of one container, in the order they were
// docked: each takes the full free length of its side, the next one what is left.
class DockLayout : public QObject {
public:
    static DockLayout *of(QWidget *parent, bool create)
    {
        if (!parent) return nullptr;
        auto *d = parent->findChild<DockLayout *>(QStringLiteral("__docklayout"), Qt::FindDirectChildrenOnly);
        if (!d && create) d = new DockLayout(parent);
        return d;
    }

    void dock(QWidget *w, int align)
    {
        auto it = std::find(m_docked.begin(), m_docked.end(), w);
        if (align == vbAlignNone) {
            if (it != m_docked.end()) m_docked.erase(it);
        } else if (it == m_docked.end()) {
            m_docked.push_back(w);
            w->installEventFilter(this);
        }
        relayout();
    }

    void setFill(QWidget *w)
    {
        m_fill = w;
        w->installEventFilter(this);
        relayout();
    }

    void relayout()
    {
        if (m_busy) return;
        m_busy = true;
        QRect r = m_parent->contentsRect();
        m_docked.erase(
            std::remove_if(m_docked.begin(), m_docked.end(), [](const QPointer<QWidget> &p) { return p.isNull(); }),
            m_docked.end());
        for (const QPointer<QWidget> &p : m_docked) {
            QWidget *w = p;
            auto *pb = qobject_cast<PictureBox *>(w);
            if (!pb || w->isHidden() || w->parentWidget() != m_parent) continue;
            switch (pb->Align()) {
            case vbAlignTop: {
                const int h = qMin(w->height(), qMax(0, r.height()));
                w->setGeometry(r.left(), r.top(), qMax(0, r.width()), h);
                r.setTop(r.top() + h);
                break;
            }
            case vbAlignBottom: {
                const int h = qMin(w->height(), qMax(0, r.height()));
                w->setGeometry(r.left(), r.bottom() + 1 - h, qMax(0, r.width()), h);
                r.setBottom(r.bottom() - h);
                break;
            }
            case vbAlignLeft: {
                const int wd = qMin(w->width(), qMax(0, r.width()));
                w->setGeometry(r.left(), r.top(), wd, qMax(0, r.height()));
                r.setLeft(r.left() + wd);
                break;
            }
            case vbAlignRight: {
                const int wd = qMin(w->width(), qMax(0, r.width()));
                w->setGeometry(r.right() + 1 - wd, r.top(), wd, qMax(0, r.height()));
                r.setRight(r.right() - wd);
                break;
            }
            default: break;
            }
        }
        if (m_fill && m_fill->parentWidget() == m_parent)
            m_fill->setGeometry(QRect(r.topLeft(), QSize(qMax(0, r.width()), qMax(0, r.height()))));
        m_busy = false;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        switch (e->type()) {
        case QEvent::Resize:
        case QEvent::ShowToParent:
        case QEvent::HideToParent:
        case QEvent::LayoutRequest:
            if (watched == m_parent || watched != m_fill || e->type() != QEvent::Resize) relayout();
            break;
        default: break;
        }
        return false;
    }

private:
    explicit DockLayout(QWidget *parent) : QObject(parent), m_parent(parent)
    {
        setObjectName(QStringLiteral("__docklayout"));
        parent->installEventFilter(this);
    }

    QWidget *m_parent;
    std::vector<QPointer<QWidget>> m_docked;
    QPointer<QWidget> m_fill;
    bool m_busy = false;
};

}  // namespace

QPixmap LoadPicture(const QString &path)
{
    if (path.isEmpty()) return QPixmap();
    QPixmap p;
    if (!QFileInfo(path).isFile() || !p.load(path)) return QPixmap();
    return p;
}

void DockFill(QWidget *w)
{
    if (w && w->parentWidget()) DockLayout::of(w->parentWidget(), true)->setFill(w);
}

// ---------------------------------------------------------------- fonts

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
    setText(displayText(c));
    fitToText();
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

void Label::fontChanged() { fitToText(); }

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

// ---------------------------------------------------------------- PictureBox

PictureBox::PictureBox(QWidget *parent, const QString &name) : QFrame(parent), Control(this), FontMembers(this)
{
    setObjectName(name);
    setProperty("vbClientOrigin", true);
    setMouseTracking(true);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);
    setBorderStyle(1);
    applyColors();
    show();
}

PictureBox::~PictureBox() = default;

void PictureBox::setBackColor(long c)
{
    m_backColor = c;
    applyColors();
}

void PictureBox::setForeColor(long c)
{
    m_foreColor = c;
    applyColors();
}

void PictureBox::applyColors()
{
    setRoleColor(this, QPalette::Window, m_backColor);
    setRoleColor(this, QPalette::WindowText, m_foreColor);
    update();
}

void PictureBox::setAlign(int a)
{
    if (a < vbAlignNone || a > vbAlignRight) a = vbAlignNone;
    const int old = m_align;
    m_align = a;
    if (DockLayout *d = DockLayout::of(parentWidget(), a != vbAlignNone || old != vbAlignNone)) d->dock(this, a);
}

void PictureBox::setBorderStyle(int s)
{
    m_borderStyle = s ? 1 : 0;
    if (m_borderStyle) {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setLineWidth(2);
    } else {
        setFrameStyle(QFrame::NoFrame);
    }
    fitToPicture();
}

void PictureBox::setAutoSize(bool a)
{
    m_autoSize = a;
    fitToPicture();
}

void PictureBox::setPicture(const QPixmap &p)
{
    m_picture = p;
    m_printed.clear();
    fitToPicture();
    update();
}

void PictureBox::fitToPicture()
{
    if (!m_autoSize || m_picture.isNull()) return;
    const QMargins m = contentsMargins();
    resize(m_picture.width() + m.left() + m.right(), m_picture.height() + m.top() + m.bottom());
}

int PictureBox::ScaleWidth() const { return toTwips(contentsRect().width()); }
int PictureBox::ScaleHeight() const { return toTwips(contentsRect().height()); }

void PictureBox::Print(const QString &text)
{
    Printed p;
    p.at = QPointF(CurrentX / TwipsPerPixel, CurrentY / TwipsPerPixel);
    p.text = displayText(text);
    p.font = font();
    p.color = toQColor(m_foreColor);
    m_printed.push_back(p);
    const QFontMetrics fm(font());
    CurrentX = 0;
    CurrentY += toTwips(fm.height() * int(p.text.count(QLatin1Char('\n')) + 1));
    update();
}

void PictureBox::Cls()
{
    m_printed.clear();
    CurrentX = 0;
    CurrentY = 0;
    update();
}

void PictureBox::setTabStop(bool on) { setFocusPolicy(on ? Qt::StrongFocus : Qt::ClickFocus); }

void PictureBox::paintEvent(QPaintEvent *e)
{
    QFrame::paintEvent(e);
    if (m_picture.isNull() && m_printed.isEmpty()) return;
    QPainter p(this);
    const QRect cr = contentsRect();
    p.setClipRect(cr);
    if (!m_picture.isNull()) p.drawPixmap(cr.topLeft(), m_picture);
    for (const Printed &t : m_printed) {
        p.setFont(t.font);
        p.setPen(t.color);
        const QFontMetrics fm(t.font);
        p.drawText(QRectF(cr.topLeft() + t.at, QSizeF(100000, 100000)), Qt::AlignLeft | Qt::AlignTop, t.text);
    }
}

void PictureBox::resizeEvent(QResizeEvent *e)
{
    QFrame::resizeEvent(e);
    emit Resize();
}

void PictureBox::mousePressEvent(QMouseEvent *e)
{
    m_pressed = true;
    auto a = mouseArgs(e, contentsRect().topLeft(), true);
    QPointer<PictureBox> self(this);
    emit MouseDown(a.button, a.shift, a.x, a.y);
    if (self) e->accept();
}

void PictureBox::mouseMoveEvent(QMouseEvent *e)
{
    auto a = mouseArgs(e, contentsRect().topLeft());
    QPointer<PictureBox> self(this);
    emit MouseMove(a.button, a.shift, a.x, a.y);
    if (self) e->accept();
}

void PictureBox::mouseReleaseEvent(QMouseEvent *e)
{
    const bool wasPressed = m_pressed;
    m_pressed = false;
    auto a = mouseArgs(e, contentsRect().topLeft(), true);
    QPointer<PictureBox> self(this);
    emit MouseUp(a.button, a.shift, a.x, a.y);
    if (!self) return;
    e->accept();
    if (wasPressed && rect().contains(e->position().toPoint())) emit Click();
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent *e)
{
    m_pressed = true;
    e->accept();
    emit DblClick();
}

void PictureBox::keyPressEvent(QKeyEvent *e)
{
    int code = keyCodeOf(e->key());
    int shift = shiftOf(e->modifiers());
    QPointer<PictureBox> self(this);
    if (code) {
        emit KeyDown(code, shift);
        if (!self) return;
    }
    int ascii = keyAsciiOf(e->key(), e->modifiers(), e->text());
    if (ascii) {
        emit KeyPress(ascii);
        if (!self) return;
    }
    e->accept();
}

void PictureBox::keyReleaseEvent(QKeyEvent *e)
{
    int code = keyCodeOf(e->key());
    int shift = shiftOf(e->modifiers());
    if (code) emit KeyUp(code, shift);
    e->accept();
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

// ---------------------------------------------------------------- CaptionButton

template <class Button> void CaptionButton<Button>::applyColors()
{
    this->setAutoFillBackground(true);
    // Buttons fill their background from the Button role, not Window.
    this->setBackgroundRole(QPalette::Window);
    setRoleColor(this, QPalette::Window, m_backColor);
    setRoleColor(this, QPalette::WindowText, m_foreColor);
}

template class CaptionButton<QCheckBox>;
template class CaptionButton<QRadioButton>;

namespace {

// Runs w's MouseMove; false when a handler destroyed w, so the caller
// must not touch it any more.
template <class W> bool emitMouseMove(W *w, QMouseEvent *e)
{
    auto a = mouseArgs(e);
    QPointer<W> self(w);
    emit w->MouseMove(a.button, a.shift, a.x, a.y);
    return !self.isNull();
}

}  // namespace

// ---------------------------------------------------------------- CheckBox

CheckBox::CheckBox(QWidget *parent, const QString &name, const QString &caption) : CaptionButton(parent, name, caption)
{
    setTristate(false);
    applyColors();
    show();
}

void CheckBox::setValue(int v)
{
    if (v < vbUnchecked || v > vbGrayed) v = vbUnchecked;
    if (v == m_value) return;
    m_value = v;
    setCheckState(v == vbChecked ? Qt::Checked : v == vbGrayed ? Qt::PartiallyChecked : Qt::Unchecked);
    emit Click();
}

void CheckBox::nextCheckState()
{
    // A click: grayed and checked go to unchecked, unchecked to checked.
    m_value = (m_value == vbUnchecked) ? vbChecked : vbUnchecked;
    setCheckState(m_value == vbChecked ? Qt::Checked : Qt::Unchecked);
    emit Click();
}

void CheckBox::keyPressEvent(QKeyEvent *e)
{
    int ascii = keyAsciiOf(e->key(), e->modifiers(), e->text());
    if (ascii) {
        QPointer<CheckBox> self(this);
        emit KeyPress(ascii);
        if (!self) return;
        if (ascii == 0) {
            e->accept();
            return;
        }
    }
    QCheckBox::keyPressEvent(e);
}

void CheckBox::mouseMoveEvent(QMouseEvent *e)
{
    if (emitMouseMove(this, e)) QCheckBox::mouseMoveEvent(e);
}

// ---------------------------------------------------------------- OptionButton

OptionButton::OptionButton(QWidget *parent, const QString &name, const QString &caption)
    : CaptionButton(parent, name, caption)
{
    setAutoExclusive(true);
    applyColors();
    show();
}

void OptionButton::setValue(bool v)
{
    if (v == isChecked()) return;
    if (v) {
        setChecked(true);
        emit Click();
    } else {
        setAutoExclusive(false);
        setChecked(false);
        setAutoExclusive(true);
    }
}

void OptionButton::nextCheckState()
{
    const bool was = isChecked();
    QRadioButton::nextCheckState();
    if (!was && isChecked()) emit Click();
}

void OptionButton::mouseMoveEvent(QMouseEvent *e)
{
    if (emitMouseMove(this, e)) QRadioButton::mouseMoveEvent(e);
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

// ---------------------------------------------------------------- Timer

Timer::Timer(QObject *parent, const QString &name, int intervalMs, bool enabled)
    : QObject(parent), m_timer(this), m_interval(qMax(0, intervalMs)), m_enabled(enabled)
{
    setObjectName(name);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &Timer::Tick);
    sync();
}

void Timer::setInterval(int ms)
{
    m_interval = qMax(0, ms);
    m_timer.stop();  // a new interval counts from now
    sync();
}

void Timer::setEnabled(bool e)
{
    if (e == m_enabled) return;
    m_enabled = e;
    m_timer.stop();
    sync();
}

void Timer::sync()
{
    if (m_enabled && m_interval > 0) {
        if (!m_timer.isActive()) m_timer.start(m_interval);
    } else {
        m_timer.stop();
    }
}

// ---------------------------------------------------------------- ImageList

ImageList::ImageList(QObject *parent, const QString &name) : QObject(parent) { setObjectName(name); }

int ImageList::Add(const QPixmap &picture)
{
    m_images.push_back(picture);
    return int(m_images.size());
}

int ImageList::AddFile(const QString &path) { return Add(LoadPicture(path)); }

QPixmap ImageList::ListImage(int index) const
{
    if (index < 1 || index > m_images.size()) return QPixmap();
    return m_images.at(index - 1);
}

// ---------------------------------------------------------------- CommonDialog

namespace {
CommonDialog::Hook &dialogHook()
{
    static CommonDialog::Hook h;
    return h;
}
}  // namespace

CommonDialog::CommonDialog(QObject *parent, const QString &name) : QObject(parent) { setObjectName(name); }

void CommonDialog::setHook(Hook hook) { dialogHook() = std::move(hook); }

QStringList CommonDialog::qtFilters(const QString &filter)
{
    QStringList out;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList pats = parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString &p : pats) p = p.trimmed();
        // "BMP格式 (*.bmp)": the description may show the patterns itself.
        QString desc = parts.at(i).trimmed();
        if (desc.endsWith(QLatin1Char(')')) && desc.contains(QLatin1Char('(')))
            desc = desc.left(desc.lastIndexOf(QLatin1Char('('))).trimmed();
        out << desc + QLatin1String(" (") + pats.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return out;
}

void CommonDialog::ShowOpen() { run(false); }
void CommonDialog::ShowSave() { run(true); }

void CommonDialog::run(bool save)
{
    QString chosen;
    if (dialogHook()) {
        chosen = dialogHook()(*this, save);
    } else {
        const QStringList filters = qtFilters(Filter);
        QString selected =
            (FilterIndex >= 1 && FilterIndex <= filters.size()) ? filters.at(FilterIndex - 1) : QString();
        QString dir = InitDir;
        if (!FileName.isEmpty()) dir = FileName;
        if (save)
            chosen =
                QFileDialog::getSaveFileName(nullptr, DialogTitle, dir, filters.join(QLatin1String(";;")), &selected);
        else
            chosen =
                QFileDialog::getOpenFileName(nullptr, DialogTitle, dir, filters.join(QLatin1String(";;")), &selected);
        const int idx = filters.indexOf(selected);
        if (!chosen.isEmpty() && idx >= 0) FilterIndex = idx + 1;
    }
    if (chosen.isEmpty()) {
        if (CancelError) throw Cancelled();
        return;
    }
    FileName = chosen;
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
