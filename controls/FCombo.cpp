#include "controls/FCombo.h"

#include "controls/ControlFont.h"
#include "controls/PropertyBag.h"
#include "ui/Colors.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QSignalBlocker>
#include <QStringListModel>
#include <cmath>
#include <stdexcept>

namespace {

constexpr int kMinWidthPx = FCombo::MinWidth / vb::TwipsPerPixel;

int px(double twips) { return int(std::floor(twips / vb::TwipsPerPixel + 1e-9)); }

QVariant colorValue(long c) { return QVariant::fromValue<qlonglong>(c); }

// The inner combo box's height for a font.
int comboHeightFor(const QFont &f) { return qMax(20, QFontMetrics(f).height() + 6); }

bool isWithin(const QWidget *w, const QWidget *container)
{
    for (; w; w = w->parentWidget())
        if (w == container) return true;
    return false;
}

}  // namespace

// The face (`P1`): everything visible is drawn on its persistent surface, and
// it receives the mouse.
class FComboFace : public QWidget {
public:
    explicit FComboFace(FCombo *owner) : QWidget(owner), m_owner(owner)
    {
        setMouseTracking(true);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

    QImage surface;

    void ensureSurface()
    {
        if (surface.size() != size()) {
            surface = QImage(size(), QImage::Format_RGB32);
            surface.fill(vb::toQColor(vb::kWhite));
        }
    }
    // Outline and filled rectangle between two corners, in twips.
    void outline(double x1, double y1, double x2, double y2, long color)
    {
        QPainter p(&surface);
        p.setPen(vb::toQColor(color));
        p.setBrush(Qt::NoBrush);
        p.drawRect(px(x1), px(y1), px(x2) - px(x1), px(y2) - px(y1));
    }
    void filled(double x1, double y1, double x2, double y2, long color)
    {
        QPainter p(&surface);
        p.fillRect(QRect(QPoint(px(x1), px(y1)), QPoint(px(x2), px(y2))), vb::toQColor(color));
    }
    // The arrow: a black triangle 7 pixels wide in its top row, then 5, 3 and 1.
    void arrow()
    {
        const double W = vb::toTwips(width());
        const double H = vb::toTwips(height());
        const int x0 = px(W - 255 + 125.0 / 2);
        const int y0 = px((H - 60) / 2);
        for (int row = 0; row < 4; ++row)
            for (int col = row; col < 7 - row; ++col) {
                const int x = x0 + col, y = y0 + row;
                if (x >= 0 && y >= 0 && x < surface.width() && y < surface.height())
                    surface.setPixel(x, y, vb::toQColor(vb::kBlack).rgb());
            }
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        if (surface.size() == size())
            p.drawImage(0, 0, surface);
        else
            p.fillRect(rect(), vb::toQColor(m_owner->BackColor()));
        // A pick-only box holding the keyboard: a dotted mark round its text
        // area, over the drawn face (which stays as drawn).
        if (hasFocus()) {
            const int right = px(vb::toTwips(width()) - 270) - 2;
            if (right > 4 && height() > 6) {
                QPen pen(vb::toQColor(vb::kBlack));
                pen.setStyle(Qt::DotLine);
                p.setPen(pen);
                p.setBrush(Qt::NoBrush);
                p.drawRect(QRect(2, 2, right - 2, height() - 5));
            }
        }
    }
    void focusInEvent(QFocusEvent *e) override
    {
        QWidget::focusInEvent(e);
        update();
    }
    void focusOutEvent(QFocusEvent *e) override
    {
        QWidget::focusOutEvent(e);
        update();
    }
    void keyPressEvent(QKeyEvent *e) override
    {
        if (!m_owner->faceKeyPress(e->key(), e->modifiers())) QWidget::keyPressEvent(e);
    }
    void mouseMoveEvent(QMouseEvent *e) override
    {
        m_owner->faceMouseMove(vb::buttonsOf(e->buttons()), float(e->position().x() * vb::TwipsPerPixel),
                               float(e->position().y() * vb::TwipsPerPixel));
    }
    void mousePressEvent(QMouseEvent *e) override
    {
        m_owner->faceMouseDown(vb::buttonOf(e->button()), float(e->position().x() * vb::TwipsPerPixel),
                               float(e->position().y() * vb::TwipsPerPixel));
    }
    void mouseDoubleClickEvent(QMouseEvent *e) override { mousePressEvent(e); }
    void mouseReleaseEvent(QMouseEvent *e) override
    {
        m_owner->faceMouseUp(vb::buttonOf(e->button()), float(e->position().x() * vb::TwipsPerPixel),
                             float(e->position().y() * vb::TwipsPerPixel));
    }
    void leaveEvent(QEvent *) override
    {
        // The pointer left the control: as a move outside its bounds.
        m_owner->faceMouseMove(0, -1, -1);
    }

private:
    FCombo *m_owner;
};

FCombo::FCombo(QWidget *parent, const QString &name) : QWidget(parent), vb::Control(this)
{
    setObjectName(name);
    const QFont font = controls::ambientFont(this);

    m_combo = new QComboBox(this);
    // Entries are plain texts: a list model holds them in a fraction of the
    // memory of the default item model (a filter of 100,000 ISBNs).
    m_combo->setModel(new QStringListModel(m_combo));
    m_combo->setFont(font);
    m_combo->setFocusPolicy(Qt::NoFocus);
    m_combo->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    // Adding the first item must not choose it: the list starts with no current item.
    m_combo->setPlaceholderText(QStringLiteral(" "));
    m_combo->installEventFilter(this);
    connect(m_combo, &QComboBox::activated, this, [this](int) { comboClick(); });

    m_face = new FComboFace(this);
    m_face->setFocusPolicy(Qt::NoFocus);

    m_label = new QLabel(m_face);
    m_label->setFont(font);
    m_label->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_label->setTextFormat(Qt::PlainText);
    m_label->move(3, 0);

    m_text = new QLineEdit(m_face);
    m_text->setFont(font);
    m_text->setFrame(false);
    m_text->setTextMargins(0, 0, 0, 0);
    m_text->move(3, 0);
    m_text->installEventFilter(this);
    connect(m_text, &QLineEdit::textChanged, this, [this] {
        if (!m_text->isHidden()) emit Change();
    });
    setFocusProxy(m_text);

    // The host's focus events: the keyboard entering or leaving the control
    // (its dropped list counts as inside; a moment with no focus widget, as
    // while windows change, counts as neither).
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        if (!now) return;
        const bool isIn = isWithin(now, this);
        if (isIn == m_focusInside) return;
        m_focusInside = isIn;
        if (isIn)
            emit GotFocus();
        else
            emit LostFocus();
    });

    setForeColor(m_foreColor);
    setBackColor(m_backColor);
    updateTextMouseRouting();
    setMinimumWidth(kMinWidthPx);
    layoutParts();
}

FCombo::~FCombo() = default;

QWidget *FCombo::face() const { return m_face; }
QImage FCombo::faceImage() const { return m_face->surface; }

// ---- properties ----

QFont FCombo::Font() const { return m_combo->font(); }

void FCombo::setFont(const QFont &f)
{
    const QFont font = controls::usableFont(f);
    m_combo->setFont(font);
    m_label->setFont(font);
    m_text->setFont(font);
    layoutParts();
    emit PropertyChanged(QStringLiteral("Font"));
}

void FCombo::setForeColor(long c)
{
    m_foreColor = c;
    const QColor color = vb::toQColor(c);
    QPalette pc = m_combo->palette();
    pc.setColor(QPalette::Text, color);
    pc.setColor(QPalette::ButtonText, color);
    pc.setColor(QPalette::WindowText, color);
    m_combo->setPalette(pc);
    QPalette pl = m_label->palette();
    pl.setColor(QPalette::WindowText, color);
    m_label->setPalette(pl);
    QPalette pt = m_text->palette();
    pt.setColor(QPalette::Active, QPalette::Text, color);
    pt.setColor(QPalette::Inactive, QPalette::Text, color);
    m_text->setPalette(pt);
    emit PropertyChanged(QStringLiteral("ForeColor"));
}

void FCombo::setBackColor(long c)
{
    m_backColor = c;
    const QColor color = vb::toQColor(c);
    QPalette pc = m_combo->palette();
    pc.setColor(QPalette::Base, color);
    pc.setColor(QPalette::Button, color);
    m_combo->setPalette(pc);
    QPalette pl = m_label->palette();
    pl.setColor(QPalette::Window, color);
    m_label->setPalette(pl);
    QPalette pt = m_text->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        pt.setColor(group, QPalette::Base, color);
    m_text->setPalette(pt);
    SetIt();
    emit PropertyChanged(QStringLiteral("BackColor"));
}

void FCombo::setEnabledText(bool v)
{
    m_enabledText = v;
    m_text->setHidden(!v);
    setFocusProxy(v ? static_cast<QWidget *>(m_text) : static_cast<QWidget *>(m_face));
    m_face->setFocusPolicy(v ? Qt::NoFocus : Qt::StrongFocus);
    emit PropertyChanged(QStringLiteral("EnabledText"));
}

QString FCombo::Text() const { return m_text->isHidden() ? m_label->text() : m_text->text(); }

void FCombo::setText(const QString &t)
{
    takeDeferredItems();
    m_text->setText(t);
    m_combo->setCurrentIndex(m_combo->findText(t, Qt::MatchFixedString));
    syncLabelText();
    emit PropertyChanged(QStringLiteral("Text"));
}

QString FCombo::List(int index) const
{
    takeDeferredItems();
    return index >= 0 && index < m_combo->count() ? m_combo->itemText(index) : QString();
}

void FCombo::setList(int index, const QString &text)
{
    takeDeferredItems();
    if (index >= 0 && index < m_combo->count()) m_combo->setItemText(index, text);
    emit PropertyChanged(QStringLiteral("List"));
}

int FCombo::ListCount() const
{
    takeDeferredItems();
    return m_combo->count();
}

int FCombo::ListIndex() const { return m_combo->currentIndex(); }

void FCombo::setListIndex(int index)
{
    takeDeferredItems();
    if (index < -1 || index >= m_combo->count()) return;  // refused by the list: ignored
    if (index == -1) {
        m_combo->setCurrentIndex(-1);
    } else if (!(m_inClick && index == m_combo->currentIndex())) {
        m_combo->setCurrentIndex(index);
        comboClick();
    }
    emit PropertyChanged(QStringLiteral("ListIndex"));
}

void FCombo::setEnabled(bool e)
{
    QWidget::setEnabled(e);
    emit PropertyChanged(QStringLiteral("Enabled"));
}

void FCombo::setWidth(int twips) { vb::Control::setWidth(twips); }

void FCombo::setHeight(int) { setFixedHeight(m_combo->height()); }

void FCombo::setVisible(bool v) { QWidget::setVisible(v); }

// ---- methods ----

void FCombo::SetF()
{
    if (!m_text->isHidden() && m_text->isVisible()) m_text->setFocus(Qt::OtherFocusReason);
}

void FCombo::SelAll() { m_text->setSelection(0, int(m_text->text().size())); }

void FCombo::AddItem(const QVariant &item, const QVariant &index)
{
    takeDeferredItems();
    const QString text = item.toString();
    if (!index.isValid() || index.isNull()) {
        m_combo->addItem(text);
        return;
    }
    bool ok = false;
    const int i = index.toInt(&ok);
    if (ok && i >= 0 && i <= m_combo->count()) m_combo->insertItem(i, text);
}

void FCombo::RemoveItem(int index)
{
    takeDeferredItems();
    if (index < 0 || index >= m_combo->count())
        throw std::out_of_range("FCombo::RemoveItem: invalid index " + std::to_string(index));
    const bool current = index == m_combo->currentIndex();
    m_combo->removeItem(index);
    if (current) m_combo->setCurrentIndex(-1);
}

void FCombo::AddItemsWhenNeeded(std::function<QStringList()> items)
{
    takeDeferredItems();
    m_deferredItems = std::move(items);
}

void FCombo::takeDeferredItems() const
{
    if (!m_deferredItems) return;
    const std::function<QStringList()> items = std::move(m_deferredItems);
    m_deferredItems = nullptr;
    const QStringList texts = items();
    if (texts.isEmpty()) return;
    // One insertion for them all: the current entry and the text stay.
    QAbstractItemModel *model = m_combo->model();
    const int at = model->rowCount();
    if (auto *list = qobject_cast<QStringListModel *>(model)) {
        QStringList all = list->stringList();
        all += texts;
        const int current = m_combo->currentIndex();
        const QSignalBlocker quiet(m_combo);
        list->setStringList(all);
        m_combo->setCurrentIndex(current);
    } else {
        m_combo->insertItems(at, texts);
    }
}

void FCombo::Clear()
{
    m_deferredItems = nullptr;
    m_combo->clear();
    m_text->clear();
    m_label->clear();
}

// ---- drawing ----

void FCombo::SetIt()
{
    m_face->ensureSurface();
    if (m_face->surface.isNull()) return;
    const double W = vb::toTwips(m_face->width());
    const double H = vb::toTwips(m_face->height());
    m_face->surface.fill(vb::toQColor(m_backColor));
    m_face->outline(0, 0, W - 15, H - 15, vb::vbButtonFace);
    m_face->filled(15, 15, W - 30, H - 30, m_backColor);
    m_face->filled(W - 255, 30, W - 45, H - 45, vb::vbButtonFace);
    m_face->arrow();
    m_face->update();
}

void FCombo::setItHover()
{
    m_face->ensureSurface();
    if (m_face->surface.isNull()) return;
    const double W = vb::toTwips(m_face->width());
    const double H = vb::toTwips(m_face->height());
    m_face->outline(0, 0, W - 15, H - 15, vb::kHoverBlue);
    m_face->outline(W - 270, 15, W - 270, H - 30, vb::kHoverBlue);
    m_face->filled(W - 255, 20, W - 30, H - 30, vb::kComboHoverFace);
    m_face->arrow();
    m_face->update();
}

void FCombo::drawPressed()
{
    m_face->ensureSurface();
    if (m_face->surface.isNull()) return;
    const double W = vb::toTwips(m_face->width());
    const double H = vb::toTwips(m_face->height());
    m_face->filled(W - 255, 20, W - 30, H - 30, vb::kComboPressedFace);
    m_face->arrow();
    m_face->update();
}

void FCombo::syncLabelText()
{
    const int h = m_face->height();
    m_label->setText(m_text->text());
    m_label->adjustSize();
    m_label->move(m_label->x(), (h - m_label->height()) / 2);
    m_text->move(m_text->x(), (h - m_text->height()) / 2);
    const int maxWidth = vb::toPx(vb::toTwips(m_face->width()) - 300);
    if (m_label->width() > maxWidth) m_label->resize(qMax(0, maxWidth), m_label->height());
}

void FCombo::layoutParts()
{
    if (m_layingOut) return;
    m_layingOut = true;
    const int h = comboHeightFor(m_combo->font());
    setFixedHeight(h);
    const int w = qMax(width(), kMinWidthPx);
    m_combo->setGeometry(0, 0, w, h);
    m_face->setGeometry(0, 0, w, h);
    m_face->raise();
    const QFontMetrics fm(m_text->font());
    m_text->resize(qMax(0, w - 21), fm.height() + 2);
    m_label->resize(m_label->width(), fm.height());
    m_label->move(m_label->x(), (h - m_label->height()) / 2);
    m_text->move(m_text->x(), (h - m_text->height()) / 2);
    SetIt();
    m_layingOut = false;
}

void FCombo::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    layoutParts();
}

// ---- events ----

void FCombo::comboClick()
{
    QPointer<FCombo> self(this);
    m_text->setText(m_combo->currentText());
    if (!self) return;
    syncLabelText();
    if (!m_text->isHidden()) {
        if (m_text->isVisible()) m_text->setFocus(Qt::OtherFocusReason);
    } else if (m_face->isVisible()) {
        m_face->setFocus(Qt::OtherFocusReason);
    }
    SetIt();
    m_inClick = true;
    emit Click();
    if (self) m_inClick = false;
}

void FCombo::faceMouseMove(int, float x, float y)
{
    const double W = vb::toTwips(m_face->width());
    const double H = vb::toTwips(m_face->height());
    const bool inside = x >= 0 && x <= W && y >= 0 && y <= H;
    if (!inside) {
        m_hover = false;
        SetIt();
    } else if (!m_hover) {
        m_hover = true;
        setItHover();
    }
}

// The keys of a pick-only box that holds the keyboard: the arrows choose the
// item before or after the current one, Home and End the first and the last,
// each choice as a choice from the list (Click); Alt+Down, Alt+Up and F4 drop
// the list. False for a key the box does not answer.
bool FCombo::faceKeyPress(int key, Qt::KeyboardModifiers mods)
{
    takeDeferredItems();
    const int count = m_combo->count();
    const int current = m_combo->currentIndex();
    const bool alt = mods & Qt::AltModifier;
    if ((alt && (key == Qt::Key_Down || key == Qt::Key_Up)) || key == Qt::Key_F4) {
        QPointer<FCombo> self(this);
        emit Expand();
        if (self) m_combo->showPopup();
        return true;
    }
    int next = -2;
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Left: next = current < 0 ? 0 : current - 1; break;
    case Qt::Key_Down:
    case Qt::Key_Right: next = current + 1; break;
    case Qt::Key_Home: next = 0; break;
    case Qt::Key_End: next = count - 1; break;
    default: return false;
    }
    if (count > 0 && next >= 0 && next < count && next != current) setListIndex(next);
    return true;
}

void FCombo::faceMouseDown(int button, float x, float)
{
    m_hover = false;
    const double W = vb::toTwips(m_face->width());
    if (button == vb::vbLeftButton && x >= W - 15 - 225) drawPressed();
}

void FCombo::faceMouseUp(int button, float x, float)
{
    m_hover = false;
    setItHover();
    if (button != vb::vbLeftButton) return;
    const double W = vb::toTwips(m_face->width());
    if (!m_text->isHidden() && x < W - 300) {
        m_text->setFocus(Qt::MouseFocusReason);
        return;
    }
    QPointer<FCombo> self(this);
    emit Expand();
    if (!self) return;
    takeDeferredItems();
    m_combo->setFocus(Qt::MouseFocusReason);
    m_combo->showPopup();
}

// The text box takes the mouse itself only while it has the focus; before
// that, a press on it is a press on the face (which then focuses it).
void FCombo::updateTextMouseRouting() { m_text->setAttribute(Qt::WA_TransparentForMouseEvents, !m_text->hasFocus()); }

bool FCombo::eventFilter(QObject *o, QEvent *e)
{
    if (o == m_text) {
        switch (e->type()) {
        case QEvent::FocusIn:
        case QEvent::FocusOut:
            QMetaObject::invokeMethod(
                this,
                [self = QPointer<FCombo>(this)] {
                    if (self) self->updateTextMouseRouting();
                },
                Qt::QueuedConnection);
            if (e->type() == QEvent::FocusIn) {
                // The selection runs to the end of the text, as long as the
                // text is then (it may have changed before the call comes).
                const int start = m_text->cursorPosition();
                QMetaObject::invokeMethod(
                    this,
                    [self = QPointer<FCombo>(this), start] {
                        if (!self || !self->m_text->hasFocus() || self->m_text->hasSelectedText()) return;
                        const int len = int(self->m_text->text().size());
                        self->m_text->setSelection(qMin(start, len), len - qMin(start, len));
                    },
                    Qt::QueuedConnection);
            }
            break;
        case QEvent::MouseMove: {
            auto *me = static_cast<QMouseEvent *>(e);
            const QPointF p = m_text->mapTo(m_face, me->position());
            faceMouseMove(vb::buttonsOf(me->buttons()), float(p.x() * vb::TwipsPerPixel),
                          float(p.y() * vb::TwipsPerPixel));
            break;
        }
        default: break;
        }
    } else if (o == m_combo && e->type() == QEvent::FocusOut) {
        SetIt();
    }
    return QWidget::eventFilter(o, e);
}

// ---- saved properties ----

void FCombo::ReadProperties(const PropertyBag &bag)
{
    const QVariant font = bag.ReadProperty(QStringLiteral("Font"));
    m_combo->setFont(controls::usableFont(font.isValid() ? font.value<QFont>() : controls::ambientFont(this)));
    const long fore = long(bag.ReadProperty(QStringLiteral("ForeColor"), colorValue(vb::vbWindowText)).toLongLong());
    setForeColor(fore);
    const long back =
        long(bag.ReadProperty(QStringLiteral("BackColor"), colorValue(vb::vbWindowBackground)).toLongLong());
    setBackColor(back);
    const int index = bag.ReadProperty(QStringLiteral("ListIndex"), 0).toInt();
    if (index >= -1 && index < m_combo->count()) m_combo->setCurrentIndex(index);
    setEnabledText(bag.ReadProperty(QStringLiteral("EnabledText"), true).toBool());
}

void FCombo::WriteProperties(PropertyBag &bag) const
{
    if (m_combo->font() != controls::ambientFont(this))
        bag.WriteProperty(QStringLiteral("Font"), m_combo->font());
    else
        bag.remove(QStringLiteral("Font"));
    bag.WriteProperty(QStringLiteral("ForeColor"), colorValue(m_foreColor), colorValue(vb::vbWindowText));
    bag.WriteProperty(QStringLiteral("BackColor"), colorValue(m_backColor), colorValue(vb::vbWindowBackground));
    bag.WriteProperty(QStringLiteral("Text"), m_combo->currentText(), QStringLiteral("Combo1"));
    bag.WriteProperty(QStringLiteral("EnabledText"), m_enabledText, true);
    bag.WriteProperty(QStringLiteral("ListIndex"), m_combo->currentIndex(), 0);
}
