#pragma once
// The window base. Each window class has one default instance (created on
// first touch, never released). A window is loaded when first shown or when
// one of its controls is touched: its controls are created at their design
// positions and its Form_Load runs. Unload destroys the controls; the next
// touch loads the window again.
#include "ui/Colors.h"
#include "ui/Control.h"

#include <QMargins>
#include <QPointer>
#include <QSize>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

class QEventLoop;
class QMenuBar;

namespace vb {

class Form;

// Lets a window clear all its Ctl members when it unloads.
class CtlBase {
public:
    virtual void reset() = 0;

protected:
    ~CtlBase() = default;
};

// A control member of a window. Touching it (->) loads its window first,
// as touching a control of an unloaded window does.
template <class T> class Ctl final : public CtlBase {
public:
    explicit Ctl(Form *owner);
    ~Ctl();
    Ctl(const Ctl &) = delete;
    Ctl &operator=(const Ctl &) = delete;
    Ctl &operator=(T *p)
    {
        m_p = p;
        return *this;
    }
    T *operator->() const;
    T &operator*() const { return *operator->(); }
    T *get() const;                  // loads the window too
    T *peek() const { return m_p; }  // no load; null while unloaded
    explicit operator bool() const { return m_p != nullptr; }
    void reset() override { m_p = nullptr; }

private:
    Form *m_owner;
    QPointer<T> m_p;
};

enum FormShow { vbModeless = 0, vbModal = 1 };
enum WindowState { vbNormal = 0, vbMinimized = 1, vbMaximized = 2 };
enum UnloadMode { vbFormControlMenu = 0, vbFormCode = 1, vbAppWindows = 2, vbAppTaskManager = 3, vbFormMDIForm = 4 };

class Form : public QWidget {
    Q_OBJECT
public:
    explicit Form(const QString &className, QWidget *parent = nullptr);
    ~Form() override;

    QString ClassName() const { return m_className; }

    // Lifecycle.
    bool IsLoaded() const { return m_loaded; }
    void ensureLoaded();  // loads when not loaded (no-op while loading)
    void Load() { ensureLoaded(); }
    // Form_QueryUnload/Form_Unload may cancel; false when cancelled. True when not loaded.
    bool Unload(int unloadMode = vbFormCode);
    void Show(int modal = vbModeless);  // vbModal runs until the window is hidden or unloaded
    void Hide();
    // Showing the widget by any means loads the window first.
    void setVisible(bool visible) override;
    bool IsModalShowing() const { return m_modalDepth > 0; }

    // Geometry of the window's outer frame, in twips.
    int Left();
    int Top();
    int Width();
    int Height();
    void setLeft(int twips);
    void setTop(int twips);
    void setWidth(int twips);
    void setHeight(int twips);
    void Move(int left, int top = -1, int width = -1, int height = -1);
    int ScaleWidth();  // client area, twips
    int ScaleHeight();

    QString Caption();
    void setCaption(const QString &caption);
    int WindowStateValue();

    // A child window shows inside the main window's child area, maximized.
    static void setMdiHost(QWidget *childArea);
    static QWidget *mdiHost();
    void setMdiChild(bool child) { m_mdiChild = child; }

    // Translucency: alpha 0..255, read back as set (255 opaque).
    void SetLayeredAlpha(int alpha);
    int LayeredAlpha() const { return m_alpha; }

    // Smallest size the user can drag the window to, in pixels.
    void setMinTrackSize(const QSize &px);

    // Validate: when the keyboard leaves `control` for a control that causes
    // validation, the handler runs first; cancel keeps the keyboard in `control`.
    void setValidateHandler(QWidget *control, std::function<void(bool &cancel)> handler);
    bool runValidate(QWidget *control);  // runs the handler (no re-entry); true when not cancelled

    // Window colour (&HBBGGRR or a system colour); vbButtonFace by default.
    long BackColor() const { return m_backColor; }
    void setBackColor(long color);

    // Ctl members register themselves so that an unload clears them at once.
    void registerCtl(CtlBase *c);
    void unregisterCtl(CtlBase *c);

    // Controls by name at run time (any depth); ObjectByName also finds timers and
    // other controls that are not widgets.
    QWidget *ControlByName(const QString &name);
    QObject *ObjectByName(const QString &name);

    // The window's menu bar, created on first call (above the client area).
    // It belongs to the loaded window: an unload destroys it with the controls.
    QMenuBar *MenuBar();

    // The container the controls are created in (the client area).
    QWidget *client() const { return m_client; }

protected:
    // Creates the controls at their design positions. Called by the load, before Form_Load.
    virtual void CreateControls() = 0;
    virtual void Form_Load() { }
    virtual void Form_Resize() { }
    virtual void Form_QueryUnload(int &cancel, int unloadMode)
    {
        (void)cancel;
        (void)unloadMode;
    }
    virtual void Form_Unload(int &cancel) { (void)cancel; }
    virtual void Form_MouseMove(int &button, int &shift, float &x, float &y)
    {
        (void)button;
        (void)shift;
        (void)x;
        (void)y;
    }
    // Called after an unload destroyed the controls. The Ctl members are cleared
    // already; other pointers to controls and per-load state are reset here.
    virtual void ControlsDestroyed() { }

    void resizeEvent(QResizeEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void showEvent(QShowEvent *e) override;
    void hideEvent(QHideEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void layoutClient();
    QMargins frameMargins();
    void fitToMdiHost();
    void destroyControls();
    void onFocusChanged(QWidget *old, QWidget *now);
    struct ValidateEntry;
    ValidateEntry *validateEntryFor(QWidget *w);

    QString m_className;
    QWidget *m_client = nullptr;
    bool m_loaded = false;
    bool m_loading = false;
    bool m_mdiChild = false;
    int m_alpha = 255;
    int m_modalDepth = 0;
    bool m_closingByCode = false;
    std::vector<std::unique_ptr<ValidateEntry>> m_validate;
    bool m_inValidate = false;
    QEventLoop *m_modalLoop = nullptr;
    QPointer<QMenuBar> m_menuBar;
    bool m_focusHooked = false;
    bool m_placed = false;   // Left/Top set by code, or shown once
    bool m_laidOut = false;  // Form_Resize ran for the controls and size now shown
    long m_backColor = vbButtonFace;
    std::vector<CtlBase *> m_ctls;
    std::vector<QObject *> m_ownChildren;  // children of the window that outlive an unload
};

template <class T> Ctl<T>::Ctl(Form *owner) : m_owner(owner)
{
    if (m_owner) m_owner->registerCtl(this);
}

template <class T> Ctl<T>::~Ctl()
{
    if (m_owner) m_owner->unregisterCtl(this);
}

template <class T> T *Ctl<T>::operator->() const
{
    if (!m_p && m_owner) m_owner->ensureLoaded();
    return m_p.data();
}

template <class T> T *Ctl<T>::get() const { return operator->(); }

// The default instance of window class T: created on first touch, never released
// (made again only if something destroyed it).
template <class T> T &Default()
{
    static QPointer<T> instance;
    if (!instance) instance = new T();
    return *instance;
}

}  // namespace vb
