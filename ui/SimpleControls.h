#pragma once
// The simple intrinsic controls: label, frame, shape, line, plain text box
// and command button, with the constants of their properties.
#include "ui/Colors.h"
#include "ui/Control.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace vb {

// Alignment of text.
enum AlignmentConstants { vbLeftJustify = 0, vbRightJustify = 1, vbCenter = 2 };
// BackStyle.
enum BackStyleConstants { vbTransparent = 0, vbOpaque = 1 };
// Shape types and fill styles.
enum ShapeConstants {
    vbShapeRectangle = 0,
    vbShapeSquare = 1,
    vbShapeOval = 2,
    vbShapeCircle = 3,
    vbShapeRoundedRectangle = 4,
    vbShapeRoundedSquare = 5
};
enum FillStyleConstants { vbFSSolid = 0, vbFSTransparent = 1 };

// ---------------------------------------------------------------- Label
class Label : public QLabel, public Control, public FontMembers {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(long ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(long BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(int BackStyle READ BackStyle WRITE setBackStyle)
    Q_PROPERTY(int Alignment READ Alignment WRITE setAlignment)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE setAutoSize)
    Q_PROPERTY(bool WordWrap READ WordWrap WRITE setWordWrap)
    Q_PROPERTY(bool FontBold READ FontBold WRITE setFontBold)
    Q_PROPERTY(bool FontItalic READ FontItalic WRITE setFontItalic)
    Q_PROPERTY(bool FontUnderline READ FontUnderline WRITE setFontUnderline)
    Q_PROPERTY(QString FontName READ FontName WRITE setFontName)
    Q_PROPERTY(double FontSize READ FontSize WRITE setFontSize)
    Q_PROPERTY(QString ToolTipText READ ToolTipText WRITE setToolTipText)
    Q_PROPERTY(bool Visible READ Visible WRITE setVisible)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    VB_CONTROL_WIDGET(QLabel)
public:
    Label(QWidget *parent, const QString &name, const QString &caption = QString());

    QString Caption() const { return m_caption; }
    void setCaption(const QString &c);
    long ForeColor() const { return m_foreColor; }
    void setForeColor(long c);
    long BackColor() const { return m_backColor; }
    void setBackColor(long c);
    int BackStyle() const { return m_backStyle; }
    void setBackStyle(int s);
    int Alignment() const { return m_alignment; }
    void setAlignment(int a);
    bool AutoSize() const { return m_autoSize; }
    void setAutoSize(bool a);
    bool WordWrap() const { return m_wordWrap; }
    void setWordWrap(bool w);
    // A caption wider than the label (AutoSize off, no word wrap) is shown cut
    // with "…" where `mode` says; Caption keeps the whole text. ElideNone (the
    // default) shows it as it is, clipped at the label's edge.
    void setElideMode(Qt::TextElideMode mode);

    void setWidth(int twips) override;

signals:
    void Click();
    void DblClick();
    void MouseDown(int &Button, int &Shift, float &X, float &Y);
    void MouseMove(int &Button, int &Shift, float &X, float &Y);
    void MouseUp(int &Button, int &Shift, float &X, float &Y);

protected:
    void fontChanged() override;
    void resizeEvent(QResizeEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;

private:
    void applyColors();
    void applyAlignment();
    void fitToText();
    void showCaption();

    QString m_caption;
    long m_foreColor = vbButtonText;
    long m_backColor = vbButtonFace;
    int m_backStyle = vbOpaque;
    int m_alignment = vbLeftJustify;
    bool m_autoSize = false;
    bool m_wordWrap = false;
    bool m_pressed = false;
    Qt::TextElideMode m_elide = Qt::ElideNone;
};

// ---------------------------------------------------------------- Frame
class Frame : public QGroupBox, public Control, public FontMembers {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(long BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(long ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(bool Visible READ Visible WRITE setVisible)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    VB_CONTROL_WIDGET(QGroupBox)
public:
    Frame(QWidget *parent, const QString &name, const QString &caption = QString());

    QString Caption() const { return title(); }
    void setCaption(const QString &c) { setTitle(c); }
    long BackColor() const { return m_backColor; }
    void setBackColor(long c);
    long ForeColor() const { return m_foreColor; }
    void setForeColor(long c);

signals:
    void Click();
    void MouseMove(int &Button, int &Shift, float &X, float &Y);

protected:
    void mouseMoveEvent(QMouseEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    void applyColors();
    long m_backColor = vbButtonFace;
    long m_foreColor = vbButtonText;
    bool m_pressed = false;
};
// ---------------------------------------------------------------- Shape
class Shape : public QWidget, public Control {
    Q_OBJECT
    Q_PROPERTY(long BorderColor READ BorderColor WRITE setBorderColor)
    Q_PROPERTY(long BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(long FillColor READ FillColor WRITE setFillColor)
    Q_PROPERTY(int BackStyle READ BackStyle WRITE setBackStyle)
    Q_PROPERTY(int FillStyle READ FillStyle WRITE setFillStyle)
    Q_PROPERTY(int BorderWidth READ BorderWidth WRITE setBorderWidth)
    Q_PROPERTY(int ShapeType READ ShapeType WRITE setShapeType)
    Q_PROPERTY(bool Visible READ Visible WRITE setVisible)
    VB_CONTROL_WIDGET(QWidget)
public:
    Shape(QWidget *parent, const QString &name);

    long BorderColor() const { return m_borderColor; }
    void setBorderColor(long c)
    {
        m_borderColor = c;
        update();
    }
    long BackColor() const { return m_backColor; }
    void setBackColor(long c)
    {
        m_backColor = c;
        update();
    }
    long FillColor() const { return m_fillColor; }
    void setFillColor(long c)
    {
        m_fillColor = c;
        update();
    }
    int BackStyle() const { return m_backStyle; }  // 0 transparent (default), 1 opaque
    void setBackStyle(int s)
    {
        m_backStyle = s;
        update();
    }
    int FillStyle() const { return m_fillStyle; }  // 0 solid, 1 transparent (default)
    void setFillStyle(int s)
    {
        m_fillStyle = s;
        update();
    }
    int BorderWidth() const { return m_borderWidth; }  // pixels
    void setBorderWidth(int w)
    {
        m_borderWidth = qMax(1, w);
        update();
    }
    int ShapeType() const { return m_shape; }
    void setShapeType(int s)
    {
        m_shape = s;
        update();
    }

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    long m_borderColor = vbWindowText;
    long m_backColor = vbWindowBackground;
    long m_fillColor = kBlack;
    int m_backStyle = vbTransparent;
    int m_fillStyle = vbFSTransparent;
    int m_borderWidth = 1;
    int m_shape = vbShapeRectangle;
};

// ---------------------------------------------------------------- LineControl
// A line from (X1, Y1) to (X2, Y2), in twips of its container. The widget
// covers the line's bounding box; it lets the mouse through.
class LineControl : public QWidget, public Control {
    Q_OBJECT
    Q_PROPERTY(long BorderColor READ BorderColor WRITE setBorderColor)
    Q_PROPERTY(int BorderWidth READ BorderWidth WRITE setBorderWidth)
    Q_PROPERTY(bool Visible READ Visible WRITE setVisible)
    VB_CONTROL_WIDGET(QWidget)
public:
    LineControl(QWidget *parent, const QString &name);

    int X1() const { return m_x1; }
    int X2() const { return m_x2; }
    int Y2() const { return m_y2; }
    void setX2(int t)
    {
        m_x2 = t;
        place();
    }
    void setLine(int x1, int y1, int x2, int y2);
    long BorderColor() const { return m_color; }
    void setBorderColor(long c)
    {
        m_color = c;
        update();
    }
    int BorderWidth() const { return m_width; }
    void setBorderWidth(int w)
    {
        m_width = qMax(1, w);
        place();
    }

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    void place();
    int m_x1 = 0, m_y1 = 0, m_x2 = 0, m_y2 = 0;
    long m_color = vbWindowText;
    int m_width = 1;
};
// ---------------------------------------------------------------- TextBox
class TextBox : public QLineEdit, public Control, public FontMembers {
    Q_OBJECT
    Q_PROPERTY(QString Text READ Text WRITE setText_)
    Q_PROPERTY(bool Visible READ Visible WRITE setVisible)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    VB_CONTROL_WIDGET(QLineEdit)
public:
    TextBox(QWidget *parent, const QString &name);
    QString Text() const { return text(); }
    void setText_(const QString &t) { setText(t); }
    bool Locked() const { return isReadOnly(); }
    void setLocked(bool l) { setReadOnly(l); }

signals:
    void Change();
    void KeyDown(int &KeyCode, int &Shift);
    void KeyPress(int &KeyAscii);

protected:
    void keyPressEvent(QKeyEvent *e) override;
};

// ---------------------------------------------------------------- CommandButton
class CommandButton : public QPushButton, public Control, public FontMembers {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(bool Visible READ Visible WRITE setVisible)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    VB_CONTROL_WIDGET(QPushButton)
public:
    CommandButton(QWidget *parent, const QString &name, const QString &caption = QString());
    QString Caption() const { return text(); }
    void setCaption(const QString &c) { setText(c); }

signals:
    void Click();
};

}  // namespace vb
