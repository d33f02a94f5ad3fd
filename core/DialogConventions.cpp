#include "core/DialogConventions.h"

#include "controls/FTextBox.h"
#include "controls/XButton.h"
#include "core/Mdl_ComVarList.h"
#include "ui/Runtime.h"

#include <QEvent>
#include <QPointer>
#include <algorithm>

vb::Label *DialogLabel(QWidget *parent, const QString &name, const QString &caption, int left, int top, long color)
{
    auto *l = new vb::Label(parent, name, caption);
    l->setBackStyle(vb::vbTransparent);
    l->setForeColor(color);
    l->setAutoSize(true);
    l->Move(left, top);
    return l;
}

XButton *DialogButton(QWidget *parent, const QString &name, const QString &caption, int left, int top)
{
    auto *b = new XButton(parent, name);
    b->setBackColor(vb::kLightGrey);
    b->setForeColor(vb::kDarkGreyText);
    b->setMouseOnColor(vb::kWhite);
    b->setMouseDownColor(vb::kSilver);
    b->Move(left, top, 1200, 375);
    b->setCaption(caption);
    return b;
}

DialogTitleBarParts DialogTitleBar(vb::Form *dialog, int height, std::function<void()> onClose)
{
    DialogTitleBarParts p;
    auto *bar = new vb::PictureBox(dialog->client(), QStringLiteral("Pic_TitleBar"));
    bar->setBorderStyle(0);
    bar->setBackColor(vb::kWhite);
    bar->setAlign(vb::vbAlignTop);
    bar->setHeight(height);
    auto *lbl = new vb::Label(bar, QStringLiteral("Lbl_TBarText"), dialog->Caption());
    lbl->setBackStyle(vb::vbTransparent);
    lbl->setFontBold(true);
    lbl->Move(240, std::max(0, (height - 270) / 2), 6000, 270);
    auto *close = new XButton(bar, QStringLiteral("Cmd_TBarClose"));
    close->setBackColor(vb::kWhite);
    close->setMouseOnColor(vb::kLightGrey);
    close->setMouseDownColor(vb::kSilver);
    close->setCaption(QStringLiteral("×"));
    close->Move(std::max(0, bar->Width() - 360), std::max(0, (height - 300) / 2), 300, 300);
    QPointer<vb::Form> dlg(dialog);
    QObject::connect(bar, &vb::PictureBox::Resize, close, [bar, close] { close->setLeft(bar->Width() - 360); });
    QObject::connect(close, &XButton::Click, dialog, [dlg, onClose] {
        if (onClose)
            onClose();
        else if (dlg)
            dlg->Unload();
    });
    p.Pic_TitleBar = bar;
    p.Lbl_TBarText = lbl;
    p.Cmd_TBarClose = close;
    return p;
}

void SetDialogTitle(vb::Form *dialog, vb::Label *titleLabel)
{
    if (dialog && titleLabel) titleLabel->setCaption(dialog->Caption());
}

void LayeredDialog(vb::Form *window, int alpha)
{
    if (window) window->SetLayeredAlpha(alpha);
}

QString UndoNote() { return QStringLiteral("提示：该操作不撤销！"); }

bool ConfirmDelete(const QString &question, const QString &title, bool withNote)
{
    const QString text = withNote ? question + QStringLiteral("\r\n") + UndoNote() : question;
    return AskQuestion(text, title);
}

void EnterKeySubmit(FTextBox *box, std::function<void()> action)
{
    if (!box) return;
    QObject::connect(box, &FTextBox::KeyPress, box, [action](int &KeyAscii) {
        if (KeyAscii == 13 && action) action();
    });
}

void DropDotKey(int &KeyAscii)
{
    if (KeyAscii == '.') KeyAscii = 0;
}

void DropDotKeys(FTextBox *box)
{
    if (box) QObject::connect(box, &FTextBox::KeyPress, box, [](int &KeyAscii) { DropDotKey(KeyAscii); });
}

namespace {

bool refuseNumber(FTextBox *box, const QString &text)
{
    ShowNotice(text, QStringLiteral("提示"));
    box->SetFocus();
    return false;
}

}  // namespace

bool AcceptMoney(FTextBox *box, const QString &caption)
{
    const double v = vb::Val(box->Text());
    // The lists show an amount in ten characters (CONVERT(varchar(10), m, 0)):
    // a larger one would make every list that shows it fail.
    if (v >= 0 && v <= 9999999.99) return true;
    return refuseNumber(box,
                        QStringLiteral("请在“") + caption + QStringLiteral("”中填写 0 至 9999999.99 之间的金额！"));
}

bool AcceptWholeNumber(FTextBox *box, const QString &caption, qint64 min, qint64 max)
{
    const QString text = vb::Trim(box->Text());
    bool digits = !text.isEmpty();
    for (const QChar c : text) digits = digits && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    bool ok = false;
    const qint64 n = digits ? text.toLongLong(&ok) : 0;
    if (ok && n >= min && n <= max) return true;
    return refuseNumber(box, QStringLiteral("请在“") + caption + QStringLiteral("”中填写 ") + QString::number(min)
                                 + QStringLiteral(" 至 ") + QString::number(max) + QStringLiteral(" 之间的整数！"));
}

namespace {

class HoverFilter : public QObject {
public:
    HoverFilter(QWidget *control, QWidget *container, std::function<void()> hover, std::function<void()> reset)
        : QObject(control),
          m_control(control),
          m_container(container),
          m_hover(std::move(hover)),
          m_reset(std::move(reset))
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        if (e->type() != QEvent::MouseMove) return false;
        if (watched == m_control) {
            if (m_hover) m_hover();
        } else if (watched == m_container) {
            if (m_reset) m_reset();
        }
        return false;
    }

private:
    QPointer<QWidget> m_control;
    QPointer<QWidget> m_container;
    std::function<void()> m_hover;
    std::function<void()> m_reset;
};

}  // namespace

void HoverByMouseMove(QWidget *control, QWidget *container, std::function<void()> hover, std::function<void()> reset)
{
    if (!control) return;
    auto *f = new HoverFilter(control, container, std::move(hover), std::move(reset));
    control->setMouseTracking(true);
    control->installEventFilter(f);
    if (container) {
        container->setMouseTracking(true);
        container->installEventFilter(f);
    }
}
