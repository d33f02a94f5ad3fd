#include "controls/FTextBox.h"

#include "controls/ControlFont.h"
#include "controls/PropertyBag.h"
#include "ui/Colors.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QValidator>
#include <limits>
#include <utility>

namespace {
// True while the program itself sets a box's text.
bool g_textFromCode = false;

std::function<QString()> g_primarySelection;

QString primarySelectionText()
{
    if (g_primarySelection) return g_primarySelection();
    const QClipboard *cb = QGuiApplication::clipboard();
    return cb->supportsSelection() ? cb->text(QClipboard::Selection) : QString();
}

constexpr int kHeightPx = FTextBox::FixedHeight / vb::TwipsPerPixel;

QVariant colorValue(long c) { return QVariant::fromValue<qlonglong>(c); }

float toTwipsF(qreal px) { return float(px * vb::TwipsPerPixel); }

}  // namespace

// ---- the numeric rule ----

int FilterNumericKey(const NumericKeyInput &in)
{
    int k = in.keyAscii;
    const QString &t = in.text;
    const int L = int(t.size());
    const int S = in.selStart;
    const int SL = in.selLength;
    const int M = in.maxLength;
    const int d = in.afterDecimal;
    const bool wholeSelected = (SL == L && S == 0);

    if (k == 13 || k == 8) return k;
    if (k == 46 && d == 0) return 0;
    if (k != 46 && (k < 48 || k > 57)) return 0;
    if (k == 46) {
        if (t.contains(QLatin1Char('.'))) return 0;
        if (L - S > d) return 0;
    }
    const int p = int(t.indexOf(QLatin1Char('.'))) + 1;  // 1-based, 0 when none
    if (p > 0 && S >= p) {
        if (S - p + 1 > d || L + 1 - p > d) return 0;
    } else if (p == 0) {
        if (L == M - d - 1 && k == 46) return k;
        if (wholeSelected) return k;
        if (L >= M - d - 1) k = 0;
    }
    if (wholeSelected) return k;
    if (L >= M) return 0;
    return k;
}

void SetPrimarySelectionHook(std::function<QString()> hook) { g_primarySelection = std::move(hook); }

// The one door of the user's text into the inner box: the line edit asks its
// validator about every edit it makes for the user (a typed key, a paste by
// key, menu or middle button, a drop, an input method's commit) and takes an
// edit refused as Invalid back.
class FTextBoxInputFilter : public QValidator {
public:
    explicit FTextBoxInputFilter(FTextBox *owner) : QValidator(owner), m_owner(owner) { }
    State validate(QString &input, int &pos) const override
    {
        return m_owner->filterEdit(input, pos) ? Acceptable : Invalid;
    }

private:
    FTextBox *m_owner;
};

// ---- the inner text box ----

FTextBoxEdit::FTextBoxEdit(FTextBox *owner) : QLineEdit(owner), m_owner(owner)
{
    setFrame(false);
    setMouseTracking(true);
    setTextMargins(0, 0, 0, 0);
}

void FTextBoxEdit::keyPressEvent(QKeyEvent *e) { m_owner->text1KeyPress(e); }
void FTextBoxEdit::keyReleaseEvent(QKeyEvent *e)
{
    QPointer<FTextBoxEdit> self(this);
    m_owner->text1KeyRelease(e);
    if (self) QLineEdit::keyReleaseEvent(e);
}

void FTextBoxEdit::mousePressEvent(QMouseEvent *e)
{
    QPointer<FTextBoxEdit> self(this);
    m_owner->text1MouseDown(e);
    if (self) QLineEdit::mousePressEvent(e);
}

// The middle button pastes the primary selection here rather than in the line
// edit, so that a platform without one (offscreen) can be given one to test.
void FTextBoxEdit::mouseReleaseEvent(QMouseEvent *e)
{
    QPointer<FTextBoxEdit> self(this);
    if (e->button() == Qt::MiddleButton) {
        if (!isReadOnly()) {
            deselect();
            const QString text = primarySelectionText();
            if (!text.isEmpty()) insert(text);
        }
        e->accept();
    } else {
        QLineEdit::mouseReleaseEvent(e);
    }
    if (self) m_owner->text1MouseUp(e);
}

void FTextBoxEdit::mouseMoveEvent(QMouseEvent *e)
{
    QPointer<FTextBoxEdit> self(this);
    m_owner->text1MouseMove(e);
    if (self) QLineEdit::mouseMoveEvent(e);
}

void FTextBoxEdit::focusInEvent(QFocusEvent *e)
{
    QLineEdit::focusInEvent(e);
    m_owner->text1GotFocus();
    if (e->reason() != Qt::ActiveWindowFocusReason && e->reason() != Qt::PopupFocusReason) emit m_owner->GotFocus();
}

void FTextBoxEdit::focusOutEvent(QFocusEvent *e)
{
    QLineEdit::focusOutEvent(e);
    m_owner->text1LostFocus();
    if (e->reason() != Qt::ActiveWindowFocusReason && e->reason() != Qt::PopupFocusReason) emit m_owner->LostFocus();
}

// ---- the control ----

FTextBox::FTextBox(QWidget *parent, const QString &name) : QWidget(parent), vb::Control(this)
{
    setObjectName(name);
    setFixedHeight(kHeightPx);
    setFocusPolicy(Qt::NoFocus);

    m_sh1 = new QWidget(this);
    m_sh1->setAutoFillBackground(true);
    m_sh1->setAttribute(Qt::WA_TransparentForMouseEvents);

    m_text = new FTextBoxEdit(this);
    m_text->setFont(controls::ambientFont(this));
    setFocusProxy(m_text);
    // The inner box is never given MaxLength itself: it would also cut texts
    // set by the program. The filter keeps the limit for the user's edits.
    m_text->setMaxLength(std::numeric_limits<int>::max());
    m_text->setValidator(new FTextBoxInputFilter(this));
    // The first of the text's listeners: the filter compares each edit with the text before it.
    connect(m_text, &QLineEdit::textChanged, this, [this](const QString &t) { m_textBefore = t; });
    connect(m_text, &QLineEdit::textChanged, this, &FTextBox::onTextChanged);

    m_timer = new QTimer(this);
    m_timer->setInterval(50);
    connect(m_timer, &QTimer::timeout, this, &FTextBox::onTick);

    setMaxLength(0);
    applyColors();
    layoutParts();
    InitProperties();
}

FTextBox::~FTextBox() = default;

QLineEdit *FTextBox::textBox() const { return m_text; }

void FTextBox::changed(const QString &name) { emit PropertyChanged(name); }

void FTextBox::applyColors()
{
    QPalette pal = m_text->palette();
    const QColor back = vb::toQColor(m_backColor);
    const QColor fore = vb::toQColor(m_foreColor);
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        pal.setColor(group, QPalette::Base, back);
        pal.setColor(group, QPalette::Window, back);
    }
    pal.setColor(QPalette::Active, QPalette::Text, fore);
    pal.setColor(QPalette::Inactive, QPalette::Text, fore);
    m_text->setPalette(pal);
    QPalette sp = m_sh1->palette();
    sp.setColor(QPalette::Window, back);
    m_sh1->setPalette(sp);
}

// Sh1 at (15, 15) with height 270 and width W - 30; Text1 at (45, 45) with
// width W - 90. Text1 is one pixel taller above and below than its design
// height of 210 (still inside Sh1, in the same colour) so that descenders are
// not cut; a taller font gets the whole inside of the frame.
void FTextBox::layoutParts()
{
    const int w = width();
    m_sh1->setGeometry(1, 1, qMax(0, w - 2), 18);
    const int lineHeight = QFontMetrics(m_text->font()).height();
    if (lineHeight <= 16)
        m_text->setGeometry(3, 2, qMax(0, w - 6), 16);
    else
        m_text->setGeometry(3, 1, qMax(0, w - 6), 18);
}

void FTextBox::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    layoutParts();
}

void FTextBox::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), vb::toQColor(vb::vbButtonFace));
    if (m_frameDrawn) {
        p.setPen(vb::toQColor(vb::kHoverBlue));
        p.setBrush(Qt::NoBrush);
        p.drawRect(0, 0, width() - 1, height() - 1);
    }
}

void FTextBox::setHeight(int) { setFixedHeight(kHeightPx); }

void FTextBox::setVisible(bool v) { QWidget::setVisible(v); }

// ---- properties ----

void FTextBox::setBackColor(long c)
{
    m_backColor = c;
    applyColors();
    changed(QStringLiteral("BackColor"));
}

QFont FTextBox::Font() const { return m_text->font(); }

void FTextBox::setFont(const QFont &f)
{
    m_text->setFont(controls::usableFont(f));
    layoutParts();
    changed(QStringLiteral("Font"));
}

bool FTextBox::FontBold() const { return m_text->font().bold(); }
void FTextBox::setFontBold(bool v)
{
    QFont f = m_text->font();
    f.setBold(v);
    m_text->setFont(f);
    changed(QStringLiteral("FontBold"));
}

bool FTextBox::FontItalic() const { return m_text->font().italic(); }
void FTextBox::setFontItalic(bool v)
{
    QFont f = m_text->font();
    f.setItalic(v);
    m_text->setFont(f);
    changed(QStringLiteral("FontItalic"));
}

QString FTextBox::FontName() const { return m_text->font().family(); }
void FTextBox::setFontName(const QString &v)
{
    QFont f = m_text->font();
    f.setFamilies({v});
    m_text->setFont(controls::usableFont(f));
    layoutParts();
    changed(QStringLiteral("FontName"));
}

float FTextBox::FontSize() const { return float(m_text->font().pointSizeF()); }
void FTextBox::setFontSize(float v)
{
    if (v > 0) {
        QFont f = m_text->font();
        f.setPointSizeF(v);
        m_text->setFont(f);
        layoutParts();
    }
    changed(QStringLiteral("FontSize"));
}

bool FTextBox::FontStrikethru() const { return m_text->font().strikeOut(); }
void FTextBox::setFontStrikethru(bool v)
{
    QFont f = m_text->font();
    f.setStrikeOut(v);
    m_text->setFont(f);
    changed(QStringLiteral("FontStrikethru"));
}

bool FTextBox::FontUnderline() const { return m_text->font().underline(); }
void FTextBox::setFontUnderline(bool v)
{
    QFont f = m_text->font();
    f.setUnderline(v);
    m_text->setFont(f);
    changed(QStringLiteral("FontUnderline"));
}

void FTextBox::setForeColor(long c)
{
    m_foreColor = c;
    applyColors();
    changed(QStringLiteral("ForeColor"));
}

bool FTextBox::Locked() const { return m_text->isReadOnly(); }
void FTextBox::setLocked(bool v)
{
    m_text->setReadOnly(v);
    changed(QStringLiteral("Locked"));
}

QString FTextBox::Text() const { return m_text->text(); }
void FTextBox::setText(const QString &t)
{
    g_textFromCode = true;
    m_text->setText(t);
    g_textFromCode = false;
    changed(QStringLiteral("Text"));
}

int FTextBox::SelStart() const
{
    return m_text->hasSelectedText() ? m_text->selectionStart() : m_text->cursorPosition();
}

void FTextBox::setSelStart(int n)
{
    m_text->setCursorPosition(qBound(0, n, int(m_text->text().size())));
    changed(QStringLiteral("SelStart"));
}

int FTextBox::SelLength() const { return int(m_text->selectedText().size()); }

void FTextBox::setSelLength(int n)
{
    const int start = SelStart();
    const int len = qBound(0, n, int(m_text->text().size()) - start);
    if (len > 0)
        m_text->setSelection(start, len);
    else
        m_text->setCursorPosition(start);
    changed(QStringLiteral("SelLength"));
}

QString FTextBox::SelText() const { return m_text->selectedText(); }

void FTextBox::setSelText(const QString &t)
{
    g_textFromCode = true;
    m_text->insert(t);
    g_textFromCode = false;
    changed(QStringLiteral("SelText"));
}

void FTextBox::setPasswordChar(const QString &c)
{
    m_passwordChar = c;
    if (c.isEmpty()) {
        m_text->setEchoMode(QLineEdit::Normal);
        m_text->setStyleSheet(QString());
    } else {
        m_text->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: %1; }").arg(c.at(0).unicode()));
        m_text->setEchoMode(QLineEdit::Password);
    }
    changed(QStringLiteral("PasswordChar"));
}

bool FTextBox::Enabled() const { return m_text->isEnabled(); }
void FTextBox::setEnabled(bool e)
{
    m_text->setEnabled(e);
    changed(QStringLiteral("Enabled"));
}

void FTextBox::setAutoSelAll(bool v)
{
    m_autoSelAll = v;
    changed(QStringLiteral("AutoSelAll"));
}

void FTextBox::setAlignment(int a)
{
    m_alignment = a;
    Qt::Alignment h = Qt::AlignLeft;
    if (a == 1)
        h = Qt::AlignRight;
    else if (a == 2)
        h = Qt::AlignHCenter;
    m_text->setAlignment(h | Qt::AlignVCenter);
    changed(QStringLiteral("Alignment"));
}

void FTextBox::setIsNumber(bool v)
{
    m_isNumber = v;
    changed(QStringLiteral("isNumber"));
}

void FTextBox::setMaxLength(int n)
{
    m_maxLength = qMax(0, n);  // 0 means no limit
    changed(QStringLiteral("MaxLength"));
}

// ---- what the user puts in ----

bool FTextBox::filterEdit(QString &input, int &pos)
{
    if (g_textFromCode) return true;
    if (!m_passOnce.isNull() && std::exchange(m_passOnce, QString()) == input) return true;
    const QString asked = input;
    if (!m_keyFiltered) {
        // The edit replaced before[from, b - kept) by what now lies between
        // `from` and the caret; where the texts agree, the caret decides.
        const QString &before = m_textBefore;
        const int n = int(input.size());
        const int b = int(before.size());
        int kept = 0;
        const int keptMax = qMin(b, n - pos);
        while (kept < keptMax && before.at(b - 1 - kept) == input.at(n - 1 - kept)) ++kept;
        int from = 0;
        const int fromMax = qMin(b, n) - kept;
        while (from < fromMax && before.at(from) == input.at(from)) ++from;
        const QString inserted = input.mid(from, n - kept - from);
        if (!inserted.isEmpty()) {
            QString text = before;
            int caret = 0;
            if (!typeInserted(text, caret, from, b - kept, inserted)) return false;
            input = text;
            pos = caret;
        }
    }
    if (!limitTypedLength(input, pos)) return false;
    // The line edit asks again about a text the filter changed.
    if (input != asked) m_passOnce = input;
    return true;
}

// Types `inserted` over before[from, to) as the keyboard would, one character
// after the other: through the window's KeyPress and, in a numeric box, the
// numeric rule. False when any character would be dropped: a paste is taken
// whole or not at all, never turned into another value. Control characters
// raise no KeyPress (a pasted line break is no Enter).
bool FTextBox::typeInserted(QString &text, int &caret, int from, int to, const QString &inserted)
{
    QPointer<FTextBox> self(this);
    int selStart = from;
    int selLength = to - from;
    for (const uint c : inserted.toUcs4()) {
        int k = int(c);
        if (k >= 32) {
            emit KeyPress(k);
            if (!self || k < 32) return false;
        } else if (m_isNumber) {
            return false;
        }
        if (m_isNumber) {
            NumericKeyInput in;
            in.text = text;
            in.selStart = selStart;
            in.selLength = selLength;
            in.keyAscii = k;
            in.maxLength = m_maxLength;
            in.afterDecimal = m_afterDecimal;
            if (FilterNumericKey(in) == 0) return false;
        }
        const char32_t typed = char32_t(k);
        const QString one = QString::fromUcs4(&typed, 1);
        text.replace(selStart, selLength, one);
        selStart += int(one.size());
        selLength = 0;
    }
    caret = selStart;
    return true;
}

// MaxLength limits what the user types or pastes, never a text set by the
// program: a stored value longer than the box keeps every character. Typed
// or pasted text is cut to what still fits, as the original box did.
bool FTextBox::limitTypedLength(QString &input, int &pos) const
{
    const int max = m_maxLength;
    if (max <= 0 || input.size() <= max) return true;
    const int before = int(m_textBefore.size());
    if (input.size() <= before) return true;  // shortening a text already longer than the limit
    if (before > max) return false;           // a longer text set by the program takes no more characters
    const int over = int(input.size()) - max;
    const int cut = qMin(over, pos);
    input.remove(pos - cut, cut);
    pos -= cut;
    return input.size() <= max;
}

void FTextBox::setAfterdecimal(int d)
{
    m_afterDecimal = d;
    changed(QStringLiteral("afterdecimal"));
}

// ---- saved properties ----

void FTextBox::InitProperties()
{
    m_afterDecimal = 2;
    m_isNumber = false;
    m_autoSelAll = false;
}

void FTextBox::ReadProperties(const PropertyBag &bag)
{
    auto read = [&bag](const char *key, const QVariant &def) {
        return bag.ReadProperty(QString::fromLatin1(key), def);
    };
    setBackColor(long(read("BackColor", colorValue(vb::vbWindowBackground)).toLongLong()));
    const QVariant font = read("Font", QVariant());
    setFont(font.isValid() ? font.value<QFont>() : controls::ambientFont(this));
    setFontBold(read("FontBold", false).toBool());
    setFontItalic(read("FontItalic", false).toBool());
    const QString fontName = read("FontName", QString()).toString();
    if (!fontName.isEmpty()) setFontName(fontName);
    setFontSize(read("FontSize", 0.0f).toFloat());
    setFontStrikethru(read("FontStrikethru", false).toBool());
    setFontUnderline(read("FontUnderline", false).toBool());
    setForeColor(long(read("ForeColor", colorValue(vb::vbWindowText)).toLongLong()));
    setLocked(read("Locked", false).toBool());
    setText(read("Text", QString()).toString());
    setSelLength(read("SelLength", 0).toInt());
    setSelStart(read("SelStart", 0).toInt());
    const QString selText = read("SelText", QString()).toString();
    if (!selText.isEmpty()) setSelText(selText);
    setPasswordChar(read("PasswordChar", QString()).toString());
    setEnabled(read("Enabled", true).toBool());
    setAutoSelAll(read("AutoSelAll", false).toBool());
    setAlignment(read("Alignment", 0).toInt());
    setIsNumber(read("isNumber", false).toBool());
    setMaxLength(read("MaxLength", 0).toInt());
    setAfterdecimal(read("afterdecimal", 2).toInt());
}

void FTextBox::WriteProperties(PropertyBag &bag) const
{
    bag.WriteProperty(QStringLiteral("BackColor"), colorValue(m_backColor), colorValue(vb::vbWindowBackground));
    if (Font() != controls::ambientFont(this))
        bag.WriteProperty(QStringLiteral("Font"), Font());
    else
        bag.remove(QStringLiteral("Font"));
    bag.WriteProperty(QStringLiteral("FontBold"), FontBold(), false);
    bag.WriteProperty(QStringLiteral("FontItalic"), FontItalic(), false);
    bag.WriteProperty(QStringLiteral("FontName"), FontName(), QString());
    bag.WriteProperty(QStringLiteral("FontSize"), FontSize(), 0.0f);
    bag.WriteProperty(QStringLiteral("FontStrikethru"), FontStrikethru(), false);
    bag.WriteProperty(QStringLiteral("FontUnderline"), FontUnderline(), false);
    bag.WriteProperty(QStringLiteral("ForeColor"), colorValue(m_foreColor), colorValue(vb::vbWindowText));
    bag.WriteProperty(QStringLiteral("Locked"), Locked(), false);
    bag.WriteProperty(QStringLiteral("Text"), Text(), QString());
    bag.WriteProperty(QStringLiteral("SelLength"), SelLength(), 0);
    bag.WriteProperty(QStringLiteral("SelStart"), SelStart(), 0);
    bag.WriteProperty(QStringLiteral("SelText"), SelText(), QString());
    bag.WriteProperty(QStringLiteral("PasswordChar"), m_passwordChar, QString());
    bag.WriteProperty(QStringLiteral("Enabled"), Enabled(), true);
    bag.WriteProperty(QStringLiteral("AutoSelAll"), m_autoSelAll, false);
    bag.WriteProperty(QStringLiteral("Alignment"), m_alignment, 0);
    bag.WriteProperty(QStringLiteral("isNumber"), m_isNumber, false);
    bag.WriteProperty(QStringLiteral("MaxLength"), m_maxLength, 0);
    bag.WriteProperty(QStringLiteral("afterdecimal"), m_afterDecimal, 2);
}

// ---- Text1's events ----

void FTextBox::text1KeyPress(QKeyEvent *e)
{
    QPointer<FTextBox> self(this);
    const int originalCode = vb::keyCodeOf(e->key());
    int keyCode = originalCode;
    int shift = vb::shiftOf(e->modifiers());
    emit KeyDown(keyCode, shift);
    if (!self) return;

    const int ascii = vb::keyAsciiOf(e->key(), e->modifiers(), e->text());
    if (ascii == 0) {
        // A key without a character: the text box handles it unless the
        // KeyDown handler cleared it.
        if (originalCode != 0 && keyCode == 0)
            e->accept();
        else
            m_text->baseKeyPress(e);
        return;
    }

    // A key that brings several characters (an input method may send one)
    // goes in as a paste does, each character through KeyPress and the rule.
    if (e->text().toUcs4().size() > 1 && ascii >= 32) {
        e->accept();
        if (!m_text->isReadOnly()) m_text->insert(e->text());
        return;
    }

    int k = ascii;
    emit KeyPress(k);
    if (!self) return;
    // Ctrl+A selects the whole text in a number box as in every other box,
    // so that what is typed next replaces the number rather than joining it.
    if (m_isNumber && k != 1) {
        NumericKeyInput in;
        in.text = m_text->text();
        in.selStart = SelStart();
        in.selLength = SelLength();
        in.keyAscii = k;
        in.maxLength = m_maxLength;
        in.afterDecimal = m_afterDecimal;
        k = FilterNumericKey(in);
    }

    e->accept();
    if (k == 0) return;
    if (k == 13) return;  // Enter: nothing more in a single-line box
    if (k == ascii) {
        // A printable key has been through KeyPress and the rule; a control
        // key (paste, cut, undo) goes on to the filter with what it brings.
        m_keyFiltered = k >= 32;
        m_text->baseKeyPress(e);
        m_keyFiltered = false;
        e->accept();
        return;
    }
    // The handler gave another character: act on that one.
    switch (k) {
    case 1: m_text->selectAll(); break;
    case 8: m_text->backspace(); break;
    case 3: m_text->copy(); break;
    case 22:
        if (!m_text->isReadOnly()) m_text->paste();
        break;
    case 24:
        if (!m_text->isReadOnly()) m_text->cut();
        break;
    case 26:
        if (!m_text->isReadOnly()) m_text->undo();
        break;
    default:
        if (k >= 32 && !m_text->isReadOnly()) {
            m_keyFiltered = true;
            m_text->insert(QString(QChar(k)));
            m_keyFiltered = false;
        }
        break;
    }
}

void FTextBox::text1KeyRelease(QKeyEvent *e)
{
    int keyCode = vb::keyCodeOf(e->key());
    int shift = vb::shiftOf(e->modifiers());
    emit KeyUp(keyCode, shift);
}

void FTextBox::onTextChanged()
{
    QPointer<FTextBox> self(this);
    emit Change();
    if (!self) return;
    if (m_isNumber && m_text->text().isEmpty()) {
        g_textFromCode = true;
        m_text->setText(QStringLiteral("0"));
        g_textFromCode = false;
        m_text->setSelection(0, 1);
    }
}

void FTextBox::text1MouseMove(QMouseEvent *e)
{
    QPointer<FTextBox> self(this);
    int button = vb::buttonsOf(e->buttons());
    int shift = vb::shiftOf(e->modifiers());
    float x = toTwipsF(e->position().x());
    float y = toTwipsF(e->position().y());
    emit MouseMove(button, shift, x, y);
    if (!self || m_hover) return;
    m_hoverOrigin = QPoint(qRound(x / vb::TwipsPerPixel), qRound(y / vb::TwipsPerPixel));
    m_cursorOrigin = QCursor::pos();
    m_hover = true;
    m_frameDrawn = true;
    update();
    m_timer->start();
}

void FTextBox::text1MouseDown(QMouseEvent *e)
{
    int button = vb::buttonOf(e->button());
    int shift = vb::shiftOf(e->modifiers());
    float x = toTwipsF(e->position().x());
    float y = toTwipsF(e->position().y());
    m_pressedInside = true;
    emit MouseDown(button, shift, x, y);
}

void FTextBox::text1MouseUp(QMouseEvent *e)
{
    QPointer<FTextBox> self(this);
    int button = vb::buttonOf(e->button());
    int shift = vb::shiftOf(e->modifiers());
    float x = toTwipsF(e->position().x());
    float y = toTwipsF(e->position().y());
    emit MouseUp(button, shift, x, y);
    if (!self) return;
    const bool click =
        m_pressedInside && e->button() == Qt::LeftButton && m_text->rect().contains(e->position().toPoint());
    m_pressedInside = false;
    if (click) emit Click();
}

void FTextBox::text1GotFocus()
{
    if (m_autoSelAll) m_text->setSelection(0, int(m_text->text().size()));
}

void FTextBox::text1LostFocus()
{
    m_frameDrawn = false;
    update();
}

void FTextBox::onTick()
{
    const QPoint c = QCursor::pos();
    const int left = m_cursorOrigin.x() - m_hoverOrigin.x();
    const int top = m_cursorOrigin.y() - m_hoverOrigin.y();
    const int right = width() + left;
    const int bottom = height() + top;
    if (left <= c.x() && c.x() <= right && top <= c.y() && c.y() <= bottom) return;
    m_hover = false;
    m_frameDrawn = false;
    update();
    m_timer->stop();
}
