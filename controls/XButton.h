#pragma once
// XButton: the drawn push button of every window. It paints its own face:
// a background in one of three colours (idle, hover, pressed), an optional
// style frame, a one-pixel 3-D edge while hovered or pressed, and a picture
// and/or caption laid out by `style`. Leaving the button is found by polling
// the cursor every 50 ms.
//
// Properties carry their design names both as C++ members (getter = the name,
// setter = "set" + the name) and as Qt properties for look-up by name.
// Events are signals with arguments by reference: connect them with
// Qt::DirectConnection (the default for same-thread objects) so a handler may
// change a value before the button acts on it.
//
// A button that appears under a resting pointer, or that the pointer enters,
// takes its hover from where the pointer is: X sends no motion when a window
// is mapped under a still pointer, and without a hover the first click would
// be lost.
//
// The keyboard: a button reached by Tab (or given the focus by code) shows a
// dotted mark inside its face; Enter clicks it, and so does Space on its
// release, with the pressed look while it is held.
#include "ui/Colors.h"
#include "ui/Control.h"

#include <QFont>
#include <QImage>
#include <QPixmap>
#include <QPoint>
#include <QString>
#include <QWidget>

class QTimer;
class PropertyBag;

class XButton : public QWidget, public vb::Control {
    Q_OBJECT
    Q_PROPERTY(bool IfDraw READ IfDraw WRITE setIfDraw)
    Q_PROPERTY(long BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(QString Tag READ Tag WRITE setTag)
    Q_PROPERTY(QString ToolTip READ ToolTip WRITE setToolTip)
    Q_PROPERTY(long ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(long MouseOnColor READ MouseOnColor WRITE setMouseOnColor)
    Q_PROPERTY(long MouseDownColor READ MouseDownColor WRITE setMouseDownColor)
    Q_PROPERTY(long Style3DColor1 READ Style3DColor1 WRITE setStyle3DColor1)
    Q_PROPERTY(long Style3DColor2 READ Style3DColor2 WRITE setStyle3DColor2)
    Q_PROPERTY(long StyleColor READ StyleColor WRITE setStyleColor)
    Q_PROPERTY(long StyleColor2 READ StyleColor2 WRITE setStyleColor2)
    Q_PROPERTY(QPixmap Picture READ Picture WRITE setPicture)
    Q_PROPERTY(int style READ Style WRITE setStyle)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(QFont Font READ Font WRITE setFont)
    // Shared control members.
    Q_PROPERTY(int Left READ Left WRITE setLeft)
    Q_PROPERTY(int Top READ Top WRITE setTop)
    Q_PROPERTY(int Width READ Width WRITE setWidth)
    Q_PROPERTY(int Height READ Height WRITE setHeight)
    Q_PROPERTY(bool Visible READ Visible WRITE setVisible)
    Q_PROPERTY(QString ToolTipText READ ToolTipText WRITE setToolTipText)

public:
    explicit XButton(QWidget *parent = nullptr, const QString &name = QString());
    ~XButton() override;

    bool IfDraw() const { return m_ifDraw; }
    void setIfDraw(bool v);
    long BackColor() const { return m_backColor; }
    void setBackColor(long c);
    QString Tag() const { return m_tag; }
    void setTag(const QString &t);
    QString ToolTip() const;
    void setToolTip(const QString &t);
    long ForeColor() const { return m_foreColor; }
    void setForeColor(long c);
    long MouseOnColor() const { return m_mouseOnColor; }
    void setMouseOnColor(long c);
    long MouseDownColor() const { return m_mouseDownColor; }
    void setMouseDownColor(long c);
    long Style3DColor1() const { return m_style3DColor1; }
    void setStyle3DColor1(long c);
    long Style3DColor2() const { return m_style3DColor2; }
    void setStyle3DColor2(long c);
    long StyleColor() const { return m_styleColor; }
    void setStyleColor(long c);
    long StyleColor2() const { return m_styleColor2; }
    void setStyleColor2(long c);
    QPixmap Picture() const { return m_picture; }
    void setPicture(const QPixmap &p);
    // `style`, for a button with both a picture and a caption: 0 picture left of
    // the caption, 1 picture above it, any other value draws neither.
    int Style() const { return m_style; }
    void setStyle(int s);
    using QWidget::setStyle;
    bool Enabled() const { return isEnabled(); }
    void setEnabled(bool e) override;
    // `caption`: stored only; shown at the next repaint.
    QString caption() const { return m_caption; }
    void setCaption(const QString &c);
    QString Caption() const { return m_caption; }
    QFont Font() const { return font(); }
    void setFont(const QFont &f);

    void setVisible(bool v) override;
    void setToolTipText(const QString &t) override;

    // Faces (the button calls these itself).
    void DrawMouseOn();
    void DrawMouseOut();
    void SetButton();

    // Saved properties.
    void InitProperties();
    void ReadProperties(const PropertyBag &bag);
    void WriteProperties(PropertyBag &bag) const;

    // What is drawn now (the persistent face), for inspection.
    QImage faceImage() const { return m_face; }
    bool isHovering() const { return m_hover; }

signals:
    void Click();
    void MouseOn();
    void MouseOut();
    void MouseDown(int &Button, int &Shift, float &X, float &Y);
    void MouseUp(int &Button, int &Shift, float &X, float &Y);
    // A property was changed (its saved name).
    void PropertyChanged(const QString &name);

protected:
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void showEvent(QShowEvent *e) override;
    void enterEvent(QEnterEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void keyReleaseEvent(QKeyEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    void changeEvent(QEvent *e) override;

private:
    void onTick();
    void drawEdges(long leftTop, long rightBottom);
    void drawOutline(long color);
    void drawPictureAt(int x, int y);
    void printCaptionAt(int x, int y);
    void ensureFace();
    void handleMove(int button, int shift, float x, float y);
    void hoverAt(const QPoint &pixel);

    bool m_ifDraw = false;
    long m_backColor = vb::vbButtonFace;
    long m_foreColor = vb::vbButtonText;
    long m_mouseOnColor = vb::vbMenuBar;
    long m_mouseDownColor = vb::vbMenuBar;
    long m_style3DColor1 = vb::kButtonEdgeLight;
    long m_style3DColor2 = vb::kGrey;
    long m_styleColor = vb::kBlack;
    long m_styleColor2 = -1;
    QString m_tag;
    QPixmap m_picture;
    long m_pictureBack = vb::vbButtonFace;  // the picture holder's background
    int m_style = 0;
    QString m_caption;

    long m_curColor = 0;
    bool m_hover = false;
    int m_pressed = 0;
    int m_lastButton = 0;
    QPoint m_hoverOrigin;
    QPoint m_cursorOrigin;
    QTimer *m_timer = nullptr;
    QImage m_face;             // the persistent drawing surface
    bool m_focusMark = false;  // the keyboard is here (not put here by a click)
    bool m_spaceDown = false;  // Space held: pressed look until its release clicks
};
