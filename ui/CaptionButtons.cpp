#include "ui/CaptionButtons.h"

#include "ui/ControlSupport.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>

namespace vb {

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

}  // namespace vb
