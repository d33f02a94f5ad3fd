#include "ui/PictureBox.h"

#include "ui/ControlSupport.h"

#include <QEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMetaMethod>
#include <QPainter>
#include <QPointer>
#include <algorithm>
#include <vector>

namespace vb {

namespace {

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

PictureBox::PictureBox(QWidget *parent, const QString &name) : QFrame(parent), Control(this), FontMembers(this)
{
    setObjectName(name);
    setProperty("vbClientOrigin", true);
    setMouseTracking(true);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::NoFocus);
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

void PictureBox::setTabStop(bool on)
{
    m_tabStopSet = true;
    setFocusPolicy(on ? Qt::StrongFocus : Qt::ClickFocus);
}

bool PictureBox::AnswersKeys() const
{
    return isSignalConnected(QMetaMethod::fromSignal(&PictureBox::KeyDown))
           || isSignalConnected(QMetaMethod::fromSignal(&PictureBox::KeyPress))
           || isSignalConnected(QMetaMethod::fromSignal(&PictureBox::KeyUp));
}

void PictureBox::connectNotify(const QMetaMethod &signal)
{
    QFrame::connectNotify(signal);
    if (!m_tabStopSet && AnswersKeys()) setFocusPolicy(Qt::StrongFocus);
}

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

}  // namespace vb
