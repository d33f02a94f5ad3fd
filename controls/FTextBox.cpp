#include "controls/FTextBox.h"
#include "controls/PropertyBag.h"

#include <QTimer>

int FilterNumericKey(const NumericKeyInput &in) { return in.keyAscii; }

FTextBoxEdit::FTextBoxEdit(FTextBox *owner) : QLineEdit(owner), m_owner(owner) {}
void FTextBoxEdit::keyPressEvent(QKeyEvent *e) { QLineEdit::keyPressEvent(e); }
void FTextBoxEdit::keyReleaseEvent(QKeyEvent *e) { QLineEdit::keyReleaseEvent(e); }
void FTextBoxEdit::mousePressEvent(QMouseEvent *e) { QLineEdit::mousePressEvent(e); }
void FTextBoxEdit::mouseReleaseEvent(QMouseEvent *e) { QLineEdit::mouseReleaseEvent(e); }
void FTextBoxEdit::mouseMoveEvent(QMouseEvent *e) { QLineEdit::mouseMoveEvent(e); }
void FTextBoxEdit::focusInEvent(QFocusEvent *e) { QLineEdit::focusInEvent(e); }
void FTextBoxEdit::focusOutEvent(QFocusEvent *e) { QLineEdit::focusOutEvent(e); }

FTextBox::FTextBox(QWidget *parent, const QString &name) : QWidget(parent), vb::Control(this)
{
    setObjectName(name);
    m_text = new FTextBoxEdit(this);
    m_timer = new QTimer(this);
}
FTextBox::~FTextBox() = default;
void FTextBox::setBackColor(long c) { m_backColor = c; }
QFont FTextBox::Font() const { return m_text->font(); }
void FTextBox::setFont(const QFont &f) { m_text->setFont(f); }
bool FTextBox::FontBold() const { return m_text->font().bold(); }
void FTextBox::setFontBold(bool) {}
bool FTextBox::FontItalic() const { return false; }
void FTextBox::setFontItalic(bool) {}
QString FTextBox::FontName() const { return m_text->font().family(); }
void FTextBox::setFontName(const QString &) {}
float FTextBox::FontSize() const { return float(m_text->font().pointSizeF()); }
void FTextBox::setFontSize(float) {}
bool FTextBox::FontStrikethru() const { return false; }
void FTextBox::setFontStrikethru(bool) {}
bool FTextBox::FontUnderline() const { return false; }
void FTextBox::setFontUnderline(bool) {}
void FTextBox::setForeColor(long c) { m_foreColor = c; }
bool FTextBox::Locked() const { return m_text->isReadOnly(); }
void FTextBox::setLocked(bool v) { m_text->setReadOnly(v); }
QString FTextBox::Text() const { return m_text->text(); }
void FTextBox::setText(const QString &t) { m_text->setText(t); }
int FTextBox::SelLength() const { return 0; }
void FTextBox::setSelLength(int) {}
int FTextBox::SelStart() const { return 0; }
void FTextBox::setSelStart(int) {}
QString FTextBox::SelText() const { return {}; }
void FTextBox::setSelText(const QString &) {}
void FTextBox::setPasswordChar(const QString &c) { m_passwordChar = c; }
bool FTextBox::Enabled() const { return m_text->isEnabled(); }
void FTextBox::setEnabled(bool e) { m_text->setEnabled(e); }
void FTextBox::setAutoSelAll(bool v) { m_autoSelAll = v; }
void FTextBox::setAlignment(int a) { m_alignment = a; }
void FTextBox::setIsNumber(bool v) { m_isNumber = v; }
void FTextBox::setMaxLength(int n) { m_maxLength = n; }
void FTextBox::setAfterdecimal(int d) { m_afterDecimal = d; }
void FTextBox::setHeight(int) {}
void FTextBox::setVisible(bool v) { QWidget::setVisible(v); }
void FTextBox::InitProperties() {}
void FTextBox::ReadProperties(const PropertyBag &) {}
void FTextBox::WriteProperties(PropertyBag &) const {}
QLineEdit *FTextBox::textBox() const { return m_text; }
void FTextBox::paintEvent(QPaintEvent *) {}
void FTextBox::resizeEvent(QResizeEvent *) {}
void FTextBox::layoutParts() {}
void FTextBox::onTextChanged() {}
void FTextBox::onTick() {}
void FTextBox::text1KeyPress(QKeyEvent *) {}
void FTextBox::text1KeyRelease(QKeyEvent *) {}
void FTextBox::text1MouseMove(QMouseEvent *) {}
void FTextBox::text1MouseDown(QMouseEvent *) {}
void FTextBox::text1MouseUp(QMouseEvent *) {}
void FTextBox::text1GotFocus() {}
void FTextBox::text1LostFocus() {}
void FTextBox::applyColors() {}
void FTextBox::changed(const QString &) {}
