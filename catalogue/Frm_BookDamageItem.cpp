#include "catalogue/Frm_BookDamageItem.h"

#include "catalogue/Frm_BookDamage.h"
#include "core/ClockNumber.h"
#include "core/Mdl_ComVarList.h"
#include "core/Mdl_SQLConnection.h"
#include "core/Refusal.h"
#include "ui/Runtime.h"

#include <exception>

namespace {
constexpr int DialogWidth = 6300;  // twips
constexpr int DialogHeight = 4020;
constexpr int TitleBarHeight = 480;

vb::Label *makeLabel(QWidget *parent, const QString &name, const QString &caption, int top)
{
    auto *l = new vb::Label(parent, name, caption);
    l->setBackStyle(vb::vbTransparent);
    l->Move(300, top + 30, 1320, 255);
    return l;
}

FTextBox *makeBox(QWidget *parent, const QString &name, int top)
{
    auto *t = new FTextBox(parent, name);
    t->Move(1680, top, 3840, FTextBox::FixedHeight);
    t->setAutoSelAll(true);
    return t;
}

XButton *makeButton(QWidget *parent, const QString &name, const QString &caption, int left, int top)
{
    auto *b = new XButton(parent, name);
    b->Move(left, top, 1200, 375);
    b->setCaption(caption);
    b->setStyleColor(vb::kFrameGrey);
    b->setIfDraw(true);
    return b;
}
}  // namespace

Frm_BookDamageItem::Frm_BookDamageItem() : ModalEditForm(QStringLiteral("Frm_BookDamageItem"))
{
    // The dialog draws its own title bar.
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setCaption(DesignCaption());
    setFixedSize(vb::toPx(DialogWidth), vb::toPx(DialogHeight));
    m_guard.Bind(QStringLiteral("图书损坏"), QStringLiteral("图书损坏编号"),
                 {TextColumn(QStringLiteral("赔偿金额"), Txt_Cash), TextColumn(QStringLiteral("损坏描述"), Txt_Info),
                  TextColumn(QStringLiteral("备注"), Txt_Other)});
}

void Frm_BookDamageItem::CreateControls()
{
    QWidget *c = client();

    DialogTitleBarParts bar = DialogTitleBar(this, TitleBarHeight, [this] { Cmd_TBarClose_Click(); });
    Pic_TitleBar = bar.Pic_TitleBar;
    Lbl_TBarText = bar.Lbl_TBarText;
    Cmd_TBarClose = bar.Cmd_TBarClose;
    Cmd_TBarClose->setToolTip(QStringLiteral("关闭当前窗口"));

    auto *frame = new vb::Frame(c, QStringLiteral("Frame1"), QStringLiteral("基本信息"));
    frame->Move(240, TitleBarHeight + 180, DialogWidth - 480, 2340);
    Frame1 = frame;
    Lbl_BrwID = makeLabel(frame, QStringLiteral("Lbl_BrwID"), QStringLiteral("图书借阅编号"), 390);
    Txt_BrwID = makeBox(frame, QStringLiteral("Txt_BrwID"), 390);
    Lbl_Info = makeLabel(frame, QStringLiteral("Lbl_Info"), QStringLiteral("损坏描述"), 870);
    Txt_Info = makeBox(frame, QStringLiteral("Txt_Info"), 870);
    Lbl_Cash = makeLabel(frame, QStringLiteral("Lbl_Cash"), QStringLiteral("赔偿金额"), 1350);
    Txt_Cash = makeBox(frame, QStringLiteral("Txt_Cash"), 1350);
    Txt_Cash->setIsNumber(true);
    Txt_Cash->setMaxLength(8);
    Txt_Cash->setAfterdecimal(2);
    Lbl_Other = makeLabel(frame, QStringLiteral("Lbl_Other"), QStringLiteral("备注"), 1830);
    Txt_Other = makeBox(frame, QStringLiteral("Txt_Other"), 1830);

    const int buttonTop = TitleBarHeight + 180 + 2340 + 240;
    Cmd_OK = makeButton(c, QStringLiteral("Cmd_OK"), QStringLiteral("添加"), DialogWidth - 240 - 2520, buttonTop);
    Cmd_Close = makeButton(c, QStringLiteral("Cmd_Close"), QStringLiteral("关闭"), DialogWidth - 240 - 1200, buttonTop);

    // A thin outline, since the dialog has no window frame.
    auto *outline = new vb::Shape(c, QStringLiteral("Shp_Border"));
    outline->setBorderColor(vb::kGrey);
    outline->Move(0, 0, DialogWidth, DialogHeight);
    outline->setAttribute(Qt::WA_TransparentForMouseEvents);
    outline->raise();

    connect(Cmd_OK.peek(), &XButton::Click, this, &Frm_BookDamageItem::Cmd_OK_Click);
    connect(Cmd_Close.peek(), &XButton::Click, this, &Frm_BookDamageItem::Cmd_Close_Click);
}

void Frm_BookDamageItem::Form_Load() { SetDamageMode(); }

void Frm_BookDamageItem::SetDamageMode()
{
    setCaption(DesignCaption());
    if (Mode == QStringLiteral("ADD")) {
        setCaption(QStringLiteral("添加图书损坏"));
        Cmd_OK->setCaption(QStringLiteral("添加"));
        for (FTextBox *t : {Txt_BrwID.get(), Txt_Info.get(), Txt_Cash.get(), Txt_Other.get()}) t->setText(QString());
        Txt_BrwID->SetFocus();  // the loan concerned is typed first
    } else if (Mode == QStringLiteral("MOD")) {
        setCaption(QStringLiteral("修改图书损坏"));
        Cmd_OK->setCaption(QStringLiteral("修改"));
        Txt_BrwID->setEnabled(false);
        LoadDamage();
    }
    SetDialogTitle(this, Lbl_TBarText.get());
}

void Frm_BookDamageItem::LoadDamage()
{
    // Every failure is passed over: a missing record or a null value leaves its box empty.
    ado::Recordset rs;
    try {
        rs.Open(QStringLiteral("SELECT * FROM 图书损坏 WHERE 图书损坏编号 =") + SQLQuote(DamageID), SQLConn(),
                ado::adOpenKeyset, ado::adLockReadOnly);
        const QVariant v = rs.Fields(QStringLiteral("图书借阅编号"));
        if (v.isValid() && !v.isNull()) Txt_BrwID->setText(v.toString());
    } catch (...) {
        // A record that can't be read leaves the loan's box empty; the guard below reports it.
    }
    m_guard.Load(rs, DamageID);
}

// ---------------------------------------------------------------- save

bool Frm_BookDamageItem::RequiredFieldsFilled()
{
    return !Txt_BrwID->Text().isEmpty() && !Txt_Cash->Text().isEmpty() && !Txt_Info->Text().isEmpty();
}

QString Frm_BookDamageItem::CashValue() const { return vb::Format(vb::Val(Txt_Cash->Text()), QString()); }

void Frm_BookDamageItem::IsBrwIDUsed(const QString &brwID, bool &used)
{
    ado::Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM 图书损坏 WHERE 图书借阅编号 = ") + SQLQuote(brwID), SQLConn(),
            ado::adOpenKeyset, ado::adLockReadOnly);
    used = !rs.EOF_();
}

bool Frm_BookDamageItem::ValuesAccepted() { return AcceptMoney(Txt_Cash.get(), Lbl_Cash->Caption()); }

bool Frm_BookDamageItem::InsertRecord(QString &errText)
{
    try {
        bool used = false;
        IsBrwIDUsed(Txt_BrwID->Text(), used);
        // One record per loan: the editor stays open, the list as it is.
        if (used) throw Refusal{QStringLiteral("该图书借阅编号已经存在！")};
        // The list joins the loan: a record of a loan that isn't there would
        // never be seen again. The loan is held until the record is written.
        ado::Recordset loan;
        loan.Open(QStringLiteral("SELECT 图书借阅编号 FROM 图书借阅 WITH (UPDLOCK) WHERE 图书借阅编号 = ")
                      + SQLQuote(Txt_BrwID->Text()),
                  SQLConn(), ado::adOpenKeyset, ado::adLockReadOnly);
        if (loan.EOF_())
            throw Refusal{QStringLiteral("图书借阅编号 [ ") + vb::Trim(Txt_BrwID->Text())
                          + QStringLiteral(" ] 不存在！")};
        // The number is today "yymmdd" and the time "hhnnss"; when a record of
        // the same second has it, the next free one.
        const QString number = FreeClockNumber(SQLConn(), QStringLiteral("图书损坏"), QStringLiteral("图书损坏编号"),
                                               vb::Format(vb::Date(), QStringLiteral("yymmdd"))
                                                   + vb::Format(vb::Time(), QStringLiteral("hhnnss")));
        SQLConn().Execute(QStringLiteral("INSERT 图书损坏 VALUES(") + SQLQuote(number) + QStringLiteral(",")
                          + SQLQuote(Txt_BrwID->Text()) + QStringLiteral(",") + SQLQuote(Txt_Info->Text())
                          + QStringLiteral(",") + CashValue() + QStringLiteral(",") + SQLQuote(Txt_Other->Text())
                          + QStringLiteral(")"));
        return true;
    } catch (const std::exception &e) {
        errText = ErrorText(e);
    }
    return false;
}

bool Frm_BookDamageItem::UpdateRecord(QString &errText)
{
    try {
        SQLConn().Execute(QStringLiteral("UPDATE 图书损坏 SET 损坏描述 = ") + SQLQuote(Txt_Info->Text())
                          + QStringLiteral(",赔偿金额 = ") + CashValue() + QStringLiteral(",备注 = ")
                          + SQLQuote(Txt_Other->Text()) + QStringLiteral(" WHERE 图书损坏编号 = ")
                          + SQLQuote(DamageID));
        return true;
    } catch (const std::exception &e) {
        errText = ErrorText(e);
    }
    return false;
}

void Frm_BookDamageItem::AfterSaved()
{
    RefreshCaller();
    Unload();
}

void Frm_BookDamageItem::Cmd_OK_Click()
{
    // The damage list's default instance is refreshed after every save that got past the input tests.
    CallerForm = &vb::Default<Frm_BookDamage>();
    if (Mode == QStringLiteral("ADD") || Mode == QStringLiteral("MOD")) {
        SaveRecord();
        return;
    }
    // Any other mode writes nothing.
    if (!RequiredFieldsFilled()) {
        ShowNotice(QStringLiteral("请输入必要信息！"), QStringLiteral("提示"));
        return;
    }
    AfterSaved();
}

void Frm_BookDamageItem::Cmd_Close_Click() { Unload(); }

void Frm_BookDamageItem::Cmd_TBarClose_Click() { Cmd_Close_Click(); }
