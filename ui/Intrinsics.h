#pragma once
// The intrinsic controls a window is built of: label, picture box, frame,
// check box, option button, shape, line, timer, image list, common dialog,
// plain text box and command button. Each is created with its parent and its
// name (the objectName, so windows find it by name); positions are in twips.
// Events are signals with by-reference arguments, meant for direct connections:
// a handler may change a key code or a button before the control acts on it.
#include "ui/Colors.h"
#include "ui/Control.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVector>
#include <exception>
#include <functional>

namespace vb {

// Alignment of text.
enum AlignmentConstants { vbLeftJustify = 0, vbRightJustify = 1, vbCenter = 2 };
// Docking of a picture box to a side of its container.
enum AlignConstants { vbAlignNone = 0, vbAlignTop = 1, vbAlignBottom = 2, vbAlignLeft = 3, vbAlignRight = 4 };
// BackStyle.
enum BackStyleConstants { vbTransparent = 0, vbOpaque = 1 };
// CheckBox.Value.
enum CheckBoxConstants { vbUnchecked = 0, vbChecked = 1, vbGrayed = 2 };
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

// A picture from a file; "" (or a file that cannot be read) gives no picture.
QPixmap LoadPicture(const QString &path = QString());

// Makes w fill what its parent's docked picture boxes leave free (the main
// window's child area, for instance), following every change of them.
void DockFill(QWidget *w);

// Font members shared by the controls that show text. FontSize is in points
// (at 96 pixels per inch, so 9 points are 12 pixels whatever the screen says).
class FontMembers {
public:
    explicit FontMembers(QWidget *self) : m_w(self) { }
    virtual ~FontMembers() = default;
    QString FontName() const;
    void setFontName(const QString &name);
    double FontSize() const;
    void setFontSize(double points);
    bool FontBold() const;
    void setFontBold(bool b);
    bool FontItalic() const;
    void setFontItalic(bool b);
    bool FontUnderline() const;
    void setFontUnderline(bool b);

protected:
    virtual void fontChanged() { }

private:
    void apply(const QFont &f);
    QWidget *m_w;
};

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

    void setWidth(int twips) override;

signals:
    void Click();
    void DblClick();
    void MouseDown(int &Button, int &Shift, float &X, float &Y);
    void MouseMove(int &Button, int &Shift, float &X, float &Y);
    void MouseUp(int &Button, int &Shift, float &X, float &Y);

protected:
    void fontChanged() override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;

private:
    void applyColors();
    void applyAlignment();
    void fitToText();

    QString m_caption;
    long m_foreColor = vbButtonText;
    long m_backColor = vbButtonFace;
    int m_backStyle = vbOpaque;
    int m_alignment = vbLeftJustify;
    bool m_autoSize = false;
    bool m_wordWrap = false;
    bool m_pressed = false;
};

// ---------------------------------------------------------------- PictureBox
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

    // Focus: a picture box takes the keyboard when clicked (and by Tab) unless set off.
    void setTabStop(bool on);

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

private:
    void applyColors();
    void fitToPicture();

    long m_backColor = vbButtonFace;
    long m_foreColor = vbButtonText;
    int m_align = vbAlignNone;
    int m_borderStyle = 1;
    bool m_autoSize = false;
    bool m_pressed = false;
    QPixmap m_picture;
    struct Printed {
        QPointF at;
        QString text;
        QFont font;
        QColor color;
    };
    QVector<Printed> m_printed;
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

// ---------------------------------------------------------------- CaptionButton
// What check boxes and option buttons share: the caption, the two colours and
// the fonts. Created with its parent, name and caption; the button's own
// constructor paints the colours and shows it.
template <class Button> class CaptionButton : public Button, public Control, public FontMembers {
public:
    CaptionButton(QWidget *parent, const QString &name, const QString &caption)
        : Button(caption, parent), Control(this), FontMembers(this)
    {
        this->setObjectName(name);
        this->setMouseTracking(true);
    }

    QString Caption() const { return this->text(); }
    void setCaption(const QString &c) { this->setText(c); }
    long BackColor() const { return m_backColor; }
    void setBackColor(long c)
    {
        m_backColor = c;
        applyColors();
    }
    long ForeColor() const { return m_foreColor; }
    void setForeColor(long c)
    {
        m_foreColor = c;
        applyColors();
    }

protected:
    void applyColors();

private:
    long m_backColor = vbButtonFace;
    long m_foreColor = vbButtonText;
};
extern template class CaptionButton<QCheckBox>;
extern template class CaptionButton<QRadioButton>;

// ---------------------------------------------------------------- CheckBox
class CheckBox : public CaptionButton<QCheckBox> {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(int Value READ Value WRITE setValue)
    Q_PROPERTY(long BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(long ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(bool Visible READ Visible WRITE setVisible)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    VB_CONTROL_WIDGET(QCheckBox)
public:
    CheckBox(QWidget *parent, const QString &name, const QString &caption = QString());

    // 0 unchecked, 1 checked, 2 grayed. A change from code runs Click.
    int Value() const { return m_value; }
    void setValue(int v);

signals:
    void Click();
    void KeyPress(int &KeyAscii);
    void MouseMove(int &Button, int &Shift, float &X, float &Y);

protected:
    void nextCheckState() override;
    void keyPressEvent(QKeyEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;

private:
    int m_value = vbUnchecked;
};

// ---------------------------------------------------------------- OptionButton
class OptionButton : public CaptionButton<QRadioButton> {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(bool Value READ Value WRITE setValue)
    Q_PROPERTY(long BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(long ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(bool Visible READ Visible WRITE setVisible)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    VB_CONTROL_WIDGET(QRadioButton)
public:
    OptionButton(QWidget *parent, const QString &name, const QString &caption = QString());

    // Setting true (from code or by a click) clears the other options of the
    // same container and runs Click.
    bool Value() const { return isChecked(); }
    void setValue(bool v);

signals:
    void Click();
    void MouseMove(int &Button, int &Shift, float &X, float &Y);

protected:
    void nextCheckState() override;
    void mouseMoveEvent(QMouseEvent *e) override;
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
    int Y1() const { return m_y1; }
    int X2() const { return m_x2; }
    int Y2() const { return m_y2; }
    void setX1(int t)
    {
        m_x1 = t;
        place();
    }
    void setY1(int t)
    {
        m_y1 = t;
        place();
    }
    void setX2(int t)
    {
        m_x2 = t;
        place();
    }
    void setY2(int t)
    {
        m_y2 = t;
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

// ---------------------------------------------------------------- Timer
// Not a widget. Interval in milliseconds (0 means off); Timer fires on every tick while enabled.
class Timer : public QObject {
    Q_OBJECT
    Q_PROPERTY(int Interval READ Interval WRITE setInterval)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
public:
    Timer(QObject *parent, const QString &name, int intervalMs = 0, bool enabled = true);

    int Interval() const { return m_interval; }
    void setInterval(int ms);
    bool Enabled() const { return m_enabled; }
    void setEnabled(bool e);

signals:
    void Tick();  // the Timer event

private:
    void sync();
    QTimer m_timer;
    int m_interval = 0;
    bool m_enabled = true;
};

// ---------------------------------------------------------------- ImageList
class ImageList : public QObject {
    Q_OBJECT
public:
    ImageList(QObject *parent, const QString &name);

    // ListImages.Add: returns the new picture's 1-based index.
    int Add(const QPixmap &picture);
    int AddFile(const QString &path);
    int Count() const { return int(m_images.size()); }
    // ListImages(i).Picture, 1-based; a null pixmap out of range.
    QPixmap ListImage(int index) const;
    void Clear() { m_images.clear(); }

private:
    QVector<QPixmap> m_images;
};

// ---------------------------------------------------------------- CommonDialog
// The file dialog: ShowOpen with Filter "description|*.a;*.b|...", FileName the choice.
// With CancelError, cancelling throws CancelError (cdlCancel = 32755); otherwise
// FileName is left empty.
class CommonDialog : public QObject {
    Q_OBJECT
public:
    CommonDialog(QObject *parent, const QString &name);

    static constexpr int cdlCancel = 32755;
    struct Cancelled : std::exception {
        const char *what() const noexcept override { return "Cancel was selected."; }
    };

    QString Filter;
    QString FileName;
    QString DialogTitle;
    QString InitDir;
    int FilterIndex = 1;
    bool CancelError = false;
    // cdlOFNOverwritePrompt (2) and cdlOFNFileMustExist (4096): the Qt dialogs
    // always ask before overwriting and always insist on an existing file to open.
    static constexpr long cdlOFNOverwritePrompt = 2;
    static constexpr long cdlOFNFileMustExist = 4096;
    long Flags = 0;

    void ShowOpen();
    void ShowSave();

    // Name filters for a Qt file dialog from a Filter text.
    static QStringList qtFilters(const QString &filter);

    // Test seam: while set, ShowOpen/ShowSave ask the hook instead of showing
    // a dialog; an empty answer is a cancel.
    using Hook = std::function<QString(const CommonDialog &dlg, bool save)>;
    static void setHook(Hook hook);

private:
    void run(bool save);
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
