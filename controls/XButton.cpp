#include "controls/XButton.h"
#include "controls/PropertyBag.h"

#include <QTimer>

XButton::XButton(QWidget *parent, const QString &name) : QWidget(parent), vb::Control(this)
{
    setObjectName(name);
    m_timer = new QTimer(this);
}
XButton::~XButton() = default;
void XButton::setIfDraw(bool v) { m_ifDraw = v; }
void XButton::setBackColor(long c) { m_backColor = c; }
void XButton::setTag(const QString &t) { m_tag = t; }
QString XButton::ToolTip() const { return toolTip(); }
void XButton::setToolTip(const QString &t) { QWidget::setToolTip(t); }
void XButton::setForeColor(long c) { m_foreColor = c; }
void XButton::setMouseOnColor(long c) { m_mouseOnColor = c; }
void XButton::setMouseDownColor(long c) { m_mouseDownColor = c; }
void XButton::setStyle3DColor1(long c) { m_style3DColor1 = c; }
void XButton::setStyle3DColor2(long c) { m_style3DColor2 = c; }
void XButton::setStyleColor(long c) { m_styleColor = c; }
void XButton::setStyleColor2(long c) { m_styleColor2 = c; }
void XButton::setPicture(const QPixmap &p) { m_picture = p; }
void XButton::setStyle(int s) { m_style = s; }
void XButton::setEnabled(bool e) { QWidget::setEnabled(e); }
void XButton::setCaption(const QString &c) { m_caption = c; }
void XButton::setFont(const QFont &f) { QWidget::setFont(f); }
void XButton::setVisible(bool v) { QWidget::setVisible(v); }
void XButton::setToolTipText(const QString &t) { QWidget::setToolTip(t); }
void XButton::DrawMouseOn() {}
void XButton::DrawMouseOut() {}
void XButton::SetButton() {}
void XButton::InitProperties() {}
void XButton::ReadProperties(const PropertyBag &) {}
void XButton::WriteProperties(PropertyBag &) const {}
void XButton::paintEvent(QPaintEvent *) {}
void XButton::resizeEvent(QResizeEvent *) {}
void XButton::showEvent(QShowEvent *) {}
void XButton::mousePressEvent(QMouseEvent *) {}
void XButton::mouseReleaseEvent(QMouseEvent *) {}
void XButton::mouseMoveEvent(QMouseEvent *) {}
void XButton::mouseDoubleClickEvent(QMouseEvent *) {}
void XButton::onTick() {}
void XButton::drawEdges(long, long) {}
void XButton::drawOutline(long) {}
void XButton::drawPictureAt(int, int) {}
void XButton::printCaptionAt(int, int) {}
void XButton::ensureFace() {}
void XButton::handleMove(int, int, float, float) {}
