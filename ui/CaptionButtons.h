#pragma once
// Check box and option button, and what they share (CaptionButton).
#include "ui/Colors.h"
#include "ui/Control.h"

#include <QCheckBox>
#include <QRadioButton>

namespace vb {

// CheckBox.Value.
enum CheckBoxConstants { vbUnchecked = 0, vbChecked = 1, vbGrayed = 2 };

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

}  // namespace vb
