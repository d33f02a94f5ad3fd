#pragma once
// The picture box: a container with a picture, printed text and its own
// keyboard and mouse events, which can dock to a side of its container.
#include "ui/Colors.h"
#include "ui/Control.h"

#include <QFont>
#include <QFrame>
#include <QPixmap>
#include <QPointF>
#include <QVector>

namespace vb {

// Docking of a picture box to a side of its container.
enum AlignConstants { vbAlignNone = 0, vbAlignTop = 1, vbAlignBottom = 2, vbAlignLeft = 3, vbAlignRight = 4 };

// A picture from a file; "" (or a file that cannot be read) gives no picture.
QPixmap LoadPicture(const QString &path = QString());

// Makes w fill what its parent's docked picture boxes leave free (the main
// window's child area, for instance), following every change of them.
void DockFill(QWidget *w);

class PictureBox : public QFrame, public Control, public FontMembers {
    Q_OBJECT
    Q_PROPERTY(long BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(long ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(int Align READ Align WRITE setAlign)
    Q_PROPERTY(int BorderStyle READ BorderStyle WRITE setBorderStyle)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE setAutoSize)
    Q_PROPERTY(QString ToolTipText READ ToolTipText WRITE setToolTipText)
    Q_PROPERTY(bool Visible READ Visible WRITE setVisible)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    VB_CONTROL_WIDGET(QFrame)
public:
    PictureBox(QWidget *parent, const QString &name);
    ~PictureBox() override;

    long BackColor() const { return m_backColor; }
    void setBackColor(long c);
    long ForeColor() const { return m_foreColor; }
    void setForeColor(long c);
    int Align() const { return m_align; }
    void setAlign(int a);
    int BorderStyle() const { return m_borderStyle; }  // 0 none, 1 fixed single (default)
    void setBorderStyle(int s);
    bool AutoSize() const { return m_autoSize; }
    void setAutoSize(bool a);

    QPixmap Picture() const { return m_picture; }
    void setPicture(const QPixmap &p);  // a null pixmap clears
    void setPicture(const QString &path) { setPicture(LoadPicture(path)); }

    // Inner area in twips (outer size less the border).
    int ScaleWidth() const;
    int ScaleHeight() const;

    // Text drawn into the box at the drawing position (CurrentX/CurrentY, twips);
    // Cls and a new picture clear it.
    double CurrentX = 0;
    double CurrentY = 0;
    void Print(const QString &text);
    void Cls();

    // Focus: a picture box takes the keyboard (by Tab and when clicked) once
    // its window listens to its keys (KeyDown, KeyPress or KeyUp); before that
    // it could do nothing with them and takes no focus. setTabStop decides it
    // for good: true, a Tab stop; false, the keyboard only when clicked.
    void setTabStop(bool on);
    // Whether its window listens to its keys.
    bool AnswersKeys() const;

signals:
    void Click();
    void DblClick();
    void Resize();
    void MouseDown(int &Button, int &Shift, float &X, float &Y);
    void MouseMove(int &Button, int &Shift, float &X, float &Y);
    void MouseUp(int &Button, int &Shift, float &X, float &Y);
    void KeyDown(int &KeyCode, int &Shift);
    void KeyUp(int &KeyCode, int &Shift);
    void KeyPress(int &KeyAscii);

protected:
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void keyReleaseEvent(QKeyEvent *e) override;
    void connectNotify(const QMetaMethod &signal) override;

private:
    void applyColors();
    void fitToPicture();

    long m_backColor = vbButtonFace;
    long m_foreColor = vbButtonText;
    int m_align = vbAlignNone;
    int m_borderStyle = 1;
    bool m_autoSize = false;
    bool m_pressed = false;
    bool m_tabStopSet = false;  // setTabStop called: the focus no longer follows the key listeners
    QPixmap m_picture;
    struct Printed {
        QPointF at;
        QString text;
        QFont font;
        QColor color;
    };
    QVector<Printed> m_printed;
};

}  // namespace vb
