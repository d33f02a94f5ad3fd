#pragma once
// FTextBox: the single-line text box of every window, an inner text box in a
// flat frame that is always 300 twips high and outlined in dark blue while the
// pointer is over it. Adds select-all on focus (`AutoSelAll`), numeric entry
// (`isNumber`, at most `afterdecimal` decimals within `MaxLength` characters)
// and the rule that an emptied numeric box holds "0".
//
// Whatever way the user puts text in (typing, a paste by key, menu or middle
// button, a drop, an input method), it reaches the box as if typed: each
// character through the window's KeyPress and, in a numeric box, the numeric
// rule. A paste or drop of which any character would be dropped is refused
// whole, so "-250" never becomes "250". Text set by the program is not filtered.
//
// Properties: getter = the design name, setter = "set" + the name with its
// first letter in upper case; the same names are Qt properties for look-up at
// run time. Events are signals with arguments by reference (direct
// connections), so a KeyPress handler that sets KeyAscii to 0 drops the key.
#include "ui/Colors.h"
#include "ui/Control.h"

#include <QFont>
#include <QLineEdit>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <functional>

class QTimer;
class PropertyBag;
class FTextBox;

// The numeric-entry rule, alone: given the text, the selection, the typed
// character code, MaxLength and afterdecimal, the code that goes on to the text
// box (0 = the key is dropped).
struct NumericKeyInput {
    QString text;
    int selStart = 0;
    int selLength = 0;
    int keyAscii = 0;
    int maxLength = 0;
    int afterDecimal = 2;
};
int FilterNumericKey(const NumericKeyInput &in);

// The X primary selection, which a middle click pastes. A platform without
// one (offscreen) pastes nothing; a test sets the text a middle click finds.
void SetPrimarySelectionHook(std::function<QString()> hook);

// The inner text box (`Text1`).
class FTextBoxEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit FTextBoxEdit(FTextBox *owner);
    // The text box's own handling of a key.
    void baseKeyPress(QKeyEvent *e) { QLineEdit::keyPressEvent(e); }

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void keyReleaseEvent(QKeyEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;

private:
    FTextBox *m_owner;
};

class FTextBoxInputFilter;

class FTextBox : public QWidget, public vb::Control {
    Q_OBJECT
    Q_PROPERTY(long BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(QFont Font READ Font WRITE setFont)
    Q_PROPERTY(bool FontBold READ FontBold WRITE setFontBold)
    Q_PROPERTY(bool FontItalic READ FontItalic WRITE setFontItalic)
    Q_PROPERTY(QString FontName READ FontName WRITE setFontName)
    Q_PROPERTY(float FontSize READ FontSize WRITE setFontSize)
    Q_PROPERTY(bool FontStrikethru READ FontStrikethru WRITE setFontStrikethru)
    Q_PROPERTY(bool FontUnderline READ FontUnderline WRITE setFontUnderline)
    Q_PROPERTY(long ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(bool Locked READ Locked WRITE setLocked)
    Q_PROPERTY(QString Text READ Text WRITE setText)
    Q_PROPERTY(int SelLength READ SelLength WRITE setSelLength)
    Q_PROPERTY(int SelStart READ SelStart WRITE setSelStart)
    Q_PROPERTY(QString SelText READ SelText WRITE setSelText)
    Q_PROPERTY(QString PasswordChar READ PasswordChar WRITE setPasswordChar)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(bool AutoSelAll READ AutoSelAll WRITE setAutoSelAll)
    Q_PROPERTY(int Alignment READ Alignment WRITE setAlignment)
    Q_PROPERTY(bool isNumber READ isNumber WRITE setIsNumber)
    Q_PROPERTY(int MaxLength READ MaxLength WRITE setMaxLength)
    Q_PROPERTY(int afterdecimal READ afterdecimal WRITE setAfterdecimal)
    // Shared control members.
    Q_PROPERTY(int Left READ Left WRITE setLeft)
    Q_PROPERTY(int Top READ Top WRITE setTop)
    Q_PROPERTY(int Width READ Width WRITE setWidth)
    Q_PROPERTY(int Height READ Height WRITE setHeight)
    Q_PROPERTY(bool Visible READ Visible WRITE setVisible)
    Q_PROPERTY(QString ToolTipText READ ToolTipText WRITE setToolTipText)

public:
    static constexpr int FixedHeight = 300;  // twips

    explicit FTextBox(QWidget *parent = nullptr, const QString &name = QString());
    ~FTextBox() override;

    long BackColor() const { return m_backColor; }
    void setBackColor(long c);
    QFont Font() const;
    void setFont(const QFont &f);
    bool FontBold() const;
    void setFontBold(bool v);
    bool FontItalic() const;
    void setFontItalic(bool v);
    QString FontName() const;
    void setFontName(const QString &v);
    float FontSize() const;
    void setFontSize(float v);
    bool FontStrikethru() const;
    void setFontStrikethru(bool v);
    bool FontUnderline() const;
    void setFontUnderline(bool v);
    long ForeColor() const { return m_foreColor; }
    void setForeColor(long c);
    bool Locked() const;
    void setLocked(bool v);
    QString Text() const;
    void setText(const QString &t);
    int SelLength() const;
    void setSelLength(int n);
    int SelStart() const;
    void setSelStart(int n);
    QString SelText() const;
    void setSelText(const QString &t);
    QString PasswordChar() const { return m_passwordChar; }
    void setPasswordChar(const QString &c);
    bool Enabled() const;              // the inner text box's state
    void setEnabled(bool e) override;  // only the inner text box
    bool AutoSelAll() const { return m_autoSelAll; }
    void setAutoSelAll(bool v);
    // 0 left, 1 right, 2 centre.
    int Alignment() const { return m_alignment; }
    void setAlignment(int a);
    bool isNumber() const { return m_isNumber; }
    void setIsNumber(bool v);
    // 0 = no limit.
    int MaxLength() const { return m_maxLength; }
    void setMaxLength(int n);
    int afterdecimal() const { return m_afterDecimal; }
    void setAfterdecimal(int d);

    // Geometry: the height stays 300 twips whatever is asked.
    void setHeight(int twips) override;
    void setVisible(bool v) override;

    // Saved properties.
    void InitProperties();
    void ReadProperties(const PropertyBag &bag);
    void WriteProperties(PropertyBag &bag) const;

    QLineEdit *textBox() const;  // the inner text box
    bool isHovering() const { return m_hover; }
    bool frameDrawn() const { return m_frameDrawn; }

signals:
    void KeyDown(int &KeyCode, int &Shift);
    void KeyPress(int &KeyAscii);
    void KeyUp(int &KeyCode, int &Shift);
    void Change();
    void MouseDown(int &Button, int &Shift, float &X, float &Y);
    void MouseMove(int &Button, int &Shift, float &X, float &Y);
    void MouseUp(int &Button, int &Shift, float &X, float &Y);
    void Click();
    // The host's focus events of the control.
    void GotFocus();
    void LostFocus();
    void PropertyChanged(const QString &name);

protected:
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;

private:
    friend class FTextBoxEdit;
    friend class FTextBoxInputFilter;
    // An edit of the inner box by the user: true when it may land (`input`
    // and `pos` may be changed to what lands).
    bool filterEdit(QString &input, int &pos);
    bool typeInserted(QString &text, int &caret, int from, int to, const QString &inserted);
    bool limitTypedLength(QString &input, int &pos) const;
    void layoutParts();
    void onTextChanged();
    void onTick();
    // Text1's events.
    void text1KeyPress(QKeyEvent *e);
    void text1KeyRelease(QKeyEvent *e);
    void text1MouseMove(QMouseEvent *e);
    void text1MouseDown(QMouseEvent *e);
    void text1MouseUp(QMouseEvent *e);
    void text1GotFocus();
    void text1LostFocus();
    void applyColors();
    void changed(const QString &name);

    FTextBoxEdit *m_text = nullptr;
    QWidget *m_sh1 = nullptr;
    QTimer *m_timer = nullptr;
    long m_backColor = vb::vbWindowBackground;
    long m_foreColor = vb::vbWindowText;
    QString m_passwordChar;
    int m_alignment = 0;
    bool m_autoSelAll = false;
    bool m_isNumber = false;
    int m_maxLength = 0;
    int m_afterDecimal = 2;
    bool m_hover = false;
    bool m_frameDrawn = false;
    bool m_pressedInside = false;
    bool m_keyFiltered = false;  // the edit under way is a typed key, already filtered
    QString m_textBefore;        // the inner box's text before the edit under way
    QString m_passOnce;          // a text the filter made itself, let through once
    QPoint m_hoverOrigin;
    QPoint m_cursorOrigin;
};
