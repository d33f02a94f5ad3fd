#include "ui/Form.h"

#include "ui/Colors.h"
#include "ui/Components.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPalette>
#include <QResizeEvent>
#include <QScreen>
#include <QTimer>
#include <algorithm>

namespace vb {

struct Form::ValidateEntry {
    QPointer<QWidget> control;
    std::function<void(bool &)> handler;
};

namespace {

QPointer<QWidget> g_mdiHost;

// After a cancelled Validate, the mouse press that moved the focus must not
// reach the control it was aimed at: its Click must not run. That press is
// being delivered right now (the focus moves before the press arrives), so
// only it is taken; a press after this turn of the event loop is a new click.
// Its release is taken too when it is still to come; when Validate put up a
// message, the message took the release already and nothing more is awaited.
class PressSwallower : public QObject {
public:
    static PressSwallower &instance()
    {
        static PressSwallower *s = [] {
            auto *p = new PressSwallower;
            qApp->installEventFilter(p);
            return p;
        }();
        return *s;
    }

    void arm(QWidget *target, bool releaseToCome)
    {
        m_target = target;
        m_pressPending = true;
        m_releaseToCome = releaseToCome;
        const quint64 arming = ++m_arming;
        QTimer::singleShot(0, this, [this, arming] {
            if (arming != m_arming || !m_pressPending) return;
            // The press never came: nothing to take.
            m_pressPending = false;
            m_target = nullptr;
        });
    }

protected:
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        if (!m_target) return false;
        const auto t = e->type();
        if (t != QEvent::MouseButtonPress && t != QEvent::MouseButtonRelease && t != QEvent::MouseButtonDblClick)
            return false;
        auto *w = qobject_cast<QWidget *>(watched);
        if (!w) return false;
        const bool onTarget = (w == m_target || m_target->isAncestorOf(w));
        if (t == QEvent::MouseButtonRelease) {
            if (!m_releaseToCome || m_pressPending) return false;
            // The release of the swallowed press, wherever the pointer went.
            m_target = nullptr;
            return true;
        }
        if (onTarget && m_pressPending) {
            m_pressPending = false;
            if (!m_releaseToCome) m_target = nullptr;
            return true;
        }
        // Another press: nothing is pending any more.
        m_target = nullptr;
        return false;
    }

private:
    QPointer<QWidget> m_target;
    bool m_pressPending = false;
    bool m_releaseToCome = false;
    quint64 m_arming = 0;
};

// Whether w is `outer` itself or lies inside it.
bool isSameOrInside(QWidget *outer, QWidget *w) { return w && outer && (w == outer || outer->isAncestorOf(w)); }

}  // namespace

Form::Form(const QString &className, QWidget *parent) : QWidget(parent), m_className(className)
{
    setObjectName(className);
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("__client"));
    m_client->setMouseTracking(true);
    m_client->installEventFilter(this);
    setMouseTracking(true);
    setAutoFillBackground(true);
    setBackColor(m_backColor);
    for (QObject *c : children()) m_ownChildren.push_back(c);
}

Form::~Form()
{
    if (m_modalLoop) m_modalLoop->quit();
}

void Form::registerCtl(CtlBase *c) { m_ctls.push_back(c); }

void Form::unregisterCtl(CtlBase *c) { m_ctls.erase(std::remove(m_ctls.begin(), m_ctls.end(), c), m_ctls.end()); }

void Form::ensureLoaded()
{
    if (m_loaded || m_loading) return;
    // Whatever the window holds now (made by its constructor) outlives unloads.
    m_ownChildren.clear();
    for (QObject *c : children()) m_ownChildren.push_back(c);
    m_loading = true;
    // The controls are made in a client area of the window's size: docked
    // bars take their design sizes only where there is room for them.
    layoutClient();
    try {
        CreateControls();
    } catch (...) {
        m_loading = false;
        throw;
    }
    m_loading = false;
    m_loaded = true;
    m_laidOut = false;  // new controls at their design places
    layoutClient();
    Form_Load();
}

bool Form::Unload(int unloadMode)
{
    if (!m_loaded) return true;
    int cancel = 0;
    Form_QueryUnload(cancel, unloadMode);
    if (cancel) return false;
    cancel = 0;
    Form_Unload(cancel);
    if (cancel) return false;
    m_loaded = false;
    hide();
    if (m_mdiChild && parentWidget()) {
        // Back to a hidden top-level window: the host may go away before us.
        setParent(nullptr);
    }
    destroyControls();
    ControlsDestroyed();
    return true;
}

void Form::destroyControls()
{
    m_validate.clear();
    for (CtlBase *c : m_ctls) c->reset();

    // The controls leave the window at once, silenced and stopped; they are
    // deleted when control returns to the event loop, so that an unload from
    // inside a control's own event handler is safe.
    auto *grave = new QWidget;
    grave->setObjectName(QStringLiteral("__unloaded"));
    QList<QObject *> doomed;
    for (QObject *c : m_client->children()) doomed.push_back(c);
    for (QObject *c : children()) {
        if (c == m_client) continue;
        if (std::find(m_ownChildren.begin(), m_ownChildren.end(), c) != m_ownChildren.end()) continue;
        doomed.push_back(c);
    }
    // Windows shown inside this one (child windows in its child area) are
    // unloaded first and leave it: they are default instances and outlive it.
    for (QObject *o : doomed) {
        const QList<Form *> inner = o->findChildren<Form *>();
        for (Form *child : inner) {
            QPointer<Form> guard(child);
            child->Unload(vbFormMDIForm);
            if (guard && guard->parentWidget()) {
                guard->hide();
                guard->setParent(nullptr);
            }
        }
    }
    for (QObject *o : doomed) {
        QList<QObject *> all = o->findChildren<QObject *>();
        all.prepend(o);
        for (QObject *x : all) {
            x->blockSignals(true);
            if (auto *t = qobject_cast<QTimer *>(x))
                t->stop();
            else if (auto *vt = qobject_cast<Timer *>(x))
                vt->setEnabled(false);
        }
        if (auto *w = qobject_cast<QWidget *>(o)) {
            w->hide();
            w->setParent(grave);
        } else {
            o->setParent(grave);
        }
    }
    grave->deleteLater();
    m_menuBar = nullptr;
    layoutClient();
}

void Form::Show(int modal)
{
    ensureLoaded();
    if (!m_loaded) return;
    if (m_mdiChild && g_mdiHost) {
        if (parentWidget() != g_mdiHost) {
            setParent(g_mdiHost, Qt::Widget);
            g_mdiHost->installEventFilter(this);
        }
        fitToMdiHost();
        show();
        raise();
    } else {
        if (modal == vbModal && !isVisible()) setWindowModality(Qt::ApplicationModal);
        if (!m_placed && !isVisible()) {
            // First opening of a window nobody placed: centred over the active
            // window, or on the screen.
            const QWidget *over = QApplication::activeWindow();
            const QRect area =
                over && over != this ? over->frameGeometry() : (screen() ? screen()->availableGeometry() : QRect());
            if (area.isValid()) {
                const QMargins m = frameMargins();
                const QSize outer(width() + m.left() + m.right(), height() + m.top() + m.bottom());
                move(area.center() - QPoint(outer.width() / 2, outer.height() / 2));
            }
        }
        m_placed = true;
        show();
        if (QGuiApplication::platformName() != QLatin1String("offscreen")) raise();
        activateWindow();
    }
    if (modal != vbModal || !isVisible()) return;
    QEventLoop loop;
    QEventLoop *outer = m_modalLoop;
    m_modalLoop = &loop;
    ++m_modalDepth;
    QPointer<Form> self(this);
    loop.exec(QEventLoop::DialogExec);
    if (!self) return;
    --m_modalDepth;
    m_modalLoop = outer;
    if (!isVisible()) setWindowModality(Qt::NonModal);
}

void Form::Hide() { hide(); }

void Form::setVisible(bool visible)
{
    if (visible && !m_loaded && !m_loading) {
        ensureLoaded();
        if (!m_loaded) return;  // Form_Load unloaded the window again
    }
    QWidget::setVisible(visible);
}

// Every showing lays the window out. A window shown again keeps its size, so
// the window system sends no resize, while its controls may be new ones at
// their design places (an unload and a new load in between) or may have been
// moved while it was hidden.
void Form::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    if (m_loaded && !m_laidOut) {
        m_laidOut = true;
        Form_Resize();
    }
}

void Form::hideEvent(QHideEvent *e)
{
    QWidget::hideEvent(e);
    if (!e->spontaneous()) m_laidOut = false;
    if (m_modalLoop && !e->spontaneous()) m_modalLoop->quit();
}

void Form::fitToMdiHost()
{
    if (g_mdiHost && parentWidget() == g_mdiHost) setGeometry(g_mdiHost->rect());
}

void Form::setMdiHost(QWidget *childArea) { g_mdiHost = childArea; }
QWidget *Form::mdiHost() { return g_mdiHost; }

bool Form::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == m_client && e->type() == QEvent::MouseMove) {
        if (m_loaded) {
            auto *me = static_cast<QMouseEvent *>(e);
            int button = buttonsOf(me->buttons());
            int shift = shiftOf(me->modifiers());
            float x = twipsF(me->position().x());
            float y = twipsF(me->position().y());
            Form_MouseMove(button, shift, x, y);
        }
        return false;
    }
    if (watched == g_mdiHost && watched == parentWidget() && e->type() == QEvent::Resize) fitToMdiHost();
    return QWidget::eventFilter(watched, e);
}

// --- geometry -------------------------------------------------------------

// The native frame around a top-level window. A window that is not on screen
// yet has none; it is taken as the frame the last shown window had, so that
// sizes set before the first show mean the same as after it.
QMargins Form::frameMargins()
{
    static QMargins learned;
    if (!isWindow() || (windowFlags() & Qt::FramelessWindowHint)) return QMargins();
    if (isVisible()) {
        const QRect f = frameGeometry(), g = geometry();
        learned = QMargins(g.left() - f.left(), g.top() - f.top(), f.right() - g.right(), f.bottom() - g.bottom());
    }
    return learned;
}

int Form::Left() { return toTwips(x()); }  // pos() of a window is its frame's
int Form::Top() { return toTwips(y()); }
int Form::Width()
{
    const QMargins m = frameMargins();
    return toTwips(width() + m.left() + m.right());
}
int Form::Height()
{
    const QMargins m = frameMargins();
    return toTwips(height() + m.top() + m.bottom());
}

void Form::setLeft(int twips)
{
    m_placed = true;
    move(toPx(twips), pos().y());
}

void Form::setTop(int twips)
{
    m_placed = true;
    move(pos().x(), toPx(twips));
}

void Form::setWidth(int twips)
{
    if (m_mdiChild && parentWidget() && parentWidget() == g_mdiHost)
        return;  // a child window stays maximized in the host
    const QMargins m = frameMargins();
    resize(qMax(0, toPx(twips) - m.left() - m.right()), height());
}

void Form::setHeight(int twips)
{
    if (m_mdiChild && parentWidget() && parentWidget() == g_mdiHost) return;
    const QMargins m = frameMargins();
    resize(width(), qMax(0, toPx(twips) - m.top() - m.bottom()));
}

void Form::Move(int left, int top, int width, int height)
{
    m_placed = true;
    move(toPx(left), top < 0 ? pos().y() : toPx(top));
    if (width >= 0) setWidth(width);
    if (height >= 0) setHeight(height);
}

int Form::ScaleWidth() { return toTwips(width()); }

int Form::ScaleHeight()
{
    const int bar = (m_menuBar && !m_menuBar->isHidden()) ? m_menuBar->sizeHint().height() : 0;
    return toTwips(qMax(0, height() - bar));
}

QString Form::Caption() { return windowTitle(); }
void Form::setCaption(const QString &caption) { setWindowTitle(caption); }

int Form::WindowStateValue()
{
    if (m_mdiChild && parentWidget() && parentWidget() == g_mdiHost) return vbMaximized;
    const Qt::WindowStates s = windowState();
    if (s & Qt::WindowMinimized) return vbMinimized;
    if (s & Qt::WindowMaximized) return vbMaximized;
    return vbNormal;
}

void Form::setBackColor(long color)
{
    m_backColor = color;
    QPalette pal = palette();
    pal.setColor(QPalette::Window, toQColor(color));
    setPalette(pal);
}

void Form::SetLayeredAlpha(int alpha)
{
    m_alpha = qBound(0, alpha, 255);
    setWindowOpacity(m_alpha / 255.0);
}

void Form::setMinTrackSize(const QSize &px) { setMinimumSize(px); }

void Form::layoutClient()
{
    int top = 0;
    if (m_menuBar && !m_menuBar->isHidden()) {
        top = m_menuBar->sizeHint().height();
        m_menuBar->setGeometry(0, 0, width(), top);
    }
    m_client->setGeometry(0, top, width(), qMax(0, height() - top));
}

QMenuBar *Form::MenuBar()
{
    if (!m_menuBar) {
        m_menuBar = new QMenuBar(this);
        m_menuBar->setObjectName(QStringLiteral("__menubar"));
        m_menuBar->setNativeMenuBar(false);
        m_menuBar->show();
        layoutClient();
    }
    return m_menuBar;
}

void Form::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    layoutClient();
    if (m_loaded) {
        // A resize that arrives while the window is being shown (a size set
        // while it was hidden is delivered then, just before the show) or
        // while it is shown lays it out for this showing.
        if (!isHidden()) m_laidOut = true;
        Form_Resize();
    }
}

void Form::closeEvent(QCloseEvent *e)
{
    if (m_closingByCode || !m_loaded) {
        e->accept();
        return;
    }
    if (Unload(vbFormControlMenu))
        e->accept();
    else
        e->ignore();
}

void Form::mouseMoveEvent(QMouseEvent *e) { QWidget::mouseMoveEvent(e); }

// --- Validate -------------------------------------------------------------

void Form::setValidateHandler(QWidget *control, std::function<void(bool &cancel)> handler)
{
    if (!control) return;
    if (ValidateEntry *e = validateEntryFor(control)) {
        e->handler = std::move(handler);
    } else {
        auto entry = std::make_unique<ValidateEntry>();
        entry->control = control;
        entry->handler = std::move(handler);
        m_validate.push_back(std::move(entry));
    }
    if (!m_focusHooked) {
        m_focusHooked = true;
        connect(qApp, &QApplication::focusChanged, this, &Form::onFocusChanged);
    }
}

Form::ValidateEntry *Form::validateEntryFor(QWidget *w)
{
    ValidateEntry *best = nullptr;
    for (auto &e : m_validate) {
        if (!e->control) continue;
        if (isSameOrInside(e->control, w)) {
            // The innermost registered control wins.
            if (!best || best->control->isAncestorOf(e->control)) best = e.get();
        }
    }
    return best;
}

bool Form::runValidate(QWidget *control)
{
    if (m_inValidate) return true;
    ValidateEntry *e = validateEntryFor(control);
    if (!e || !e->handler) return true;
    bool cancel = false;
    m_inValidate = true;
    auto handler = e->handler;  // the handler may replace its own entry
    try {
        handler(cancel);
    } catch (...) {
        m_inValidate = false;
        throw;
    }
    m_inValidate = false;
    return !cancel;
}

void Form::onFocusChanged(QWidget *old, QWidget *now)
{
    if (m_inValidate || !m_loaded || !old || !now) return;
    ValidateEntry *e = validateEntryFor(old);
    if (!e) return;
    QPointer<QWidget> control = e->control;
    if (isSameOrInside(control, now)) return;
    if (now->window() != control->window()) return;  // another window (a message box) took the keyboard
    const bool byMouse = QGuiApplication::mouseButtons() != Qt::NoButton;
    QPointer<QWidget> oldp(old);
    QPointer<QWidget> nowp(now);
    if (runValidate(control)) return;
    // Whether the button is still held: a message shown by Validate took the release.
    if (byMouse && nowp) PressSwallower::instance().arm(nowp, QGuiApplication::mouseButtons() != Qt::NoButton);
    if (oldp)
        oldp->setFocus(Qt::OtherFocusReason);
    else if (control)
        control->setFocus(Qt::OtherFocusReason);
}

QWidget *Form::ControlByName(const QString &name)
{
    if (name.isEmpty()) return nullptr;
    return findChild<QWidget *>(name);
}

QObject *Form::ObjectByName(const QString &name)
{
    if (name.isEmpty()) return nullptr;
    return findChild<QObject *>(name);
}

}  // namespace vb
