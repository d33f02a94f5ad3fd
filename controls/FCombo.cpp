#include "controls/FCombo.h"
#include "controls/PropertyBag.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

class FComboFace : public QWidget {
public:
    explicit FComboFace(FCombo *owner) : QWidget(owner) {}
    QImage surface;
};

FCombo::FCombo(QWidget *parent, const QString &name) : QWidget(parent), vb::Control(this)
{
    setObjectName(name);
    m_combo = new QComboBox(this);
    m_face = new FComboFace(this);
    m_label = new QLabel(m_face);
    m_text = new QLineEdit(m_face);
}
FCombo::~FCombo() = default;
QFont FCombo::Font() const { return m_combo->font(); }
void FCombo::setFont(const QFont &f) { m_combo->setFont(f); }
void FCombo::setForeColor(long c) { m_foreColor = c; }
void FCombo::setBackColor(long c) { m_backColor = c; }
void FCombo::setEnabledText(bool v) { m_enabledText = v; }
QString FCombo::Text() const { return m_text->text(); }
void FCombo::setText(const QString &t) { m_text->setText(t); }
QString FCombo::List(int index) const { return m_combo->itemText(index); }
void FCombo::setList(int index, const QString &text) { m_combo->setItemText(index, text); }
int FCombo::ListCount() const { return m_combo->count(); }
int FCombo::ListIndex() const { return m_combo->currentIndex(); }
void FCombo::setListIndex(int index) { m_combo->setCurrentIndex(index); }
void FCombo::setEnabled(bool e) { QWidget::setEnabled(e); }
void FCombo::SetDropdownWidth(long &) {}
void FCombo::SetF() {}
void FCombo::SelAll() {}
void FCombo::SetCboWidth(int) {}
void FCombo::AddItem(const QVariant &item, const QVariant &) { m_combo->addItem(item.toString()); }
void FCombo::RemoveItem(int index) { m_combo->removeItem(index); }
void FCombo::SetIt() {}
void FCombo::Clear() { m_combo->clear(); }
void FCombo::ReadProperties(const PropertyBag &) {}
void FCombo::WriteProperties(PropertyBag &) const {}
void FCombo::setWidth(int twips) { vb::Control::setWidth(twips); }
void FCombo::setHeight(int) {}
void FCombo::setVisible(bool v) { QWidget::setVisible(v); }
QWidget *FCombo::face() const { return m_face; }
QImage FCombo::faceImage() const { return {}; }
void FCombo::resizeEvent(QResizeEvent *) {}
bool FCombo::eventFilter(QObject *o, QEvent *e) { return QWidget::eventFilter(o, e); }
void FCombo::layoutParts() {}
void FCombo::syncLabelText() {}
void FCombo::setItHover() {}
void FCombo::drawPressed() {}
void FCombo::comboClick() {}
void FCombo::faceMouseMove(int, float, float) {}
void FCombo::faceMouseDown(int, float, float) {}
void FCombo::faceMouseUp(int, float, float) {}
void FCombo::updateTextMouseRouting() {}
