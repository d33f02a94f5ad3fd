#include "catalogue/Frm_ReaderDeposit.h"

#include "core/ClockNumber.h"
#include "core/DialogConventions.h"
#include "core/Mdl_ComVarList.h"
#include "core/Mdl_SQLConnection.h"
#include "core/Refusal.h"
#include "db/Transaction.h"
#include "ui/Runtime.h"

#include <QStringList>
#include <algorithm>
#include <cmath>
#include <exception>

namespace {

constexpr int GridLeft = 240, GridTop = 1080;
constexpr int PanelLeft = 240, PanelListTop = 1080, PanelShownTop = 600, PanelHeight = 3240;
constexpr int LineStart = 240;
// The display boxes: two per row.
constexpr int CellWidth = 3960, LabelWidth = 1320, BoxWidth = 2400;

// The amounts a deposit takes: money is whole ten-thousandths of a yuan. The
// lists show an amount and a balance in ten characters
// (CONVERT(varchar(10), m, 0)), so neither may pass 9999999.99: one larger
// balance would make the readers list fail.
constexpr double kMinAmount = 0.0001;
constexpr double kMaxAmount = 9999999.99;
constexpr qint64 kMaxUnits = 99999999900;  // kMaxAmount in ten-thousandths

// A deposit the balance can't take: refused as an amount out of range is,
// the entry kept for correction.
struct BalanceRefusal {
    QString text;
};

QString notFoundText(const QString &typed)
{
    return QStringLiteral("找不到编号为") + vb::Trim(typed) + QStringLiteral("的用户！");
}

}  // namespace

Frm_ReaderDeposit::Frm_ReaderDeposit() : ChildListForm(QStringLiteral("Frm_ReaderDeposit"))
{
    setCaption(QStringLiteral("读者充值管理"));
    // The grid only follows the pointer: no keys, no double click.
    m_gridKeys = false;
    m_gridDblClick = false;
}

FTextBox *Frm_ReaderDeposit::Txt(int index) const
{
    const_cast<Frm_ReaderDeposit *>(this)->ensureLoaded();
    return (index >= 0 && index < 4) ? m_txt[size_t(index)].data() : nullptr;
}

vb::Label *Frm_ReaderDeposit::Lbl(int index) const
{
    const_cast<Frm_ReaderDeposit *>(this)->ensureLoaded();
    return (index >= 0 && index < 4) ? m_lbl[size_t(index)].data() : nullptr;
}

// ---------------------------------------------------------------- controls

void Frm_ReaderDeposit::CreateControls()
{
    CreateTitleBar();
    Cmd_TBarClose->setToolTip(QStringLiteral("关闭当前窗口"));

    Cmd_Deposit = CreateButton(QStringLiteral("Cmd_Deposit"), QStringLiteral("充值"), 240, 600, 1200, 375,
                               QStringLiteral("用户充值"));
    Cmd_Clear = CreateButton(QStringLiteral("Cmd_Clear"), QStringLiteral("清空"), 1560, 600, 1200, 375,
                             QStringLiteral("清空记录"));
    Cmd_Refresh = CreateButton(QStringLiteral("Cmd_Refresh"), QStringLiteral("刷新"), 2880, 600, 1200, 375,
                               QStringLiteral("刷新记录"));
    Cmd_Close = CreateButton(QStringLiteral("Cmd_Close"), QStringLiteral("关闭"), 4200, 600, 1200, 375);
    for (XButton *b : {Cmd_Deposit.peek(), Cmd_Clear.peek(), Cmd_Refresh.peek()}) AddWorkingControl(b);

    CreateGrid(GridLeft, GridTop, 11000, 6000);
    CreateDepositPanel();

    setTabOrder(Txt_RID->textBox(), Txt_Cash->textBox());

    connect(Cmd_Deposit.peek(), &XButton::Click, this, &Frm_ReaderDeposit::Cmd_Deposit_Click);
    connect(Cmd_Clear.peek(), &XButton::Click, this, &Frm_ReaderDeposit::Cmd_Clear_Click);
    connect(Cmd_Refresh.peek(), &XButton::Click, this, &Frm_ReaderDeposit::Cmd_Refresh_Click);
    connect(Cmd_Close.peek(), &XButton::Click, this, &Frm_ReaderDeposit::Cmd_Close_Click);
    connect(Cmd_Save.peek(), &XButton::Click, this, &Frm_ReaderDeposit::Cmd_Save_Click);
    connect(Cmd_Cancel.peek(), &XButton::Click, this, &Frm_ReaderDeposit::Cmd_Cancel_Click);
    connect(Txt_RID.peek(), &FTextBox::KeyPress, this, &Frm_ReaderDeposit::Txt_RID_KeyPress);
    connect(Txt_Cash.peek(), &FTextBox::KeyPress, this, &Frm_ReaderDeposit::Txt_Cash_KeyPress);
    setValidateHandler(Txt_RID.peek(), [this](bool &cancel) { Txt_RID_Validate(cancel); });
}

// The deposit panel; shown over the button row while a deposit is entered.
void Frm_ReaderDeposit::CreateDepositPanel()
{
    auto *fr = new vb::Frame(client(), QStringLiteral("Frame_Deposit"), QStringLiteral("充值区"));
    fr->Move(PanelLeft, PanelListTop, 11000, PanelHeight);
    fr->setVisible(false);
    Frame_Deposit = fr;

    const auto label = [fr](const QString &name, const QString &caption, int left, int top, int width) {
        auto *l = new vb::Label(fr, name, caption);
        l->setBackStyle(vb::vbTransparent);
        l->Move(left, top, width, 255);
        return l;
    };
    const auto line = [fr](const QString &name, int y, long color) {
        auto *l = new vb::LineControl(fr, name);
        l->setBorderColor(color);
        l->setLine(LineStart, y, 9000, y);
        return l;
    };

    Lbl_RID = label(QStringLiteral("Lbl_RID"), QStringLiteral("● 读者编号"), 240, 390, LabelWidth);
    auto *rid = new FTextBox(fr, QStringLiteral("Txt_RID"));
    rid->Move(240 + LabelWidth, 360, BoxWidth, FTextBox::FixedHeight);
    rid->setAutoSelAll(true);
    Txt_RID = rid;
    Lbl_Tip =
        label(QStringLiteral("Lbl_Tip"), QStringLiteral("[回车键查询]"), 240 + LabelWidth + BoxWidth + 120, 390, 1500);
    Line_Split1 = line(QStringLiteral("Line_Split1"), 840, vb::kGrey);
    Line_Split1_Shadow = line(QStringLiteral("Line_Split1_Shadow"), 855, vb::kWhite);

    const QStringList captions{QStringLiteral("读者姓名"), QStringLiteral("读者性别"), QStringLiteral("账户余额"),
                               QStringLiteral("账户状态")};
    for (int i = 0; i < 4; ++i) {
        const int left = 240 + (i % 2) * CellWidth;
        const int top = 1020 + (i / 2) * 420;
        m_lbl[size_t(i)] = label(QStringLiteral("Lbl_%1").arg(i), captions.at(i), left, top + 30, LabelWidth);
        auto *box = new FTextBox(fr, QStringLiteral("Txt_%1").arg(i));
        box->Move(left + LabelWidth, top, BoxWidth, FTextBox::FixedHeight);
        box->setEnabled(false);
        m_txt[size_t(i)] = box;
    }
    Line_Split2 = line(QStringLiteral("Line_Split2"), 1980, vb::kGrey);
    Line_Split2_Shadow = line(QStringLiteral("Line_Split2_Shadow"), 1995, vb::kWhite);

    Lbl_Cash = label(QStringLiteral("Lbl_Cash"), QStringLiteral("● 充值金额"), 240, 2190, LabelWidth);
    auto *cash = new FTextBox(fr, QStringLiteral("Txt_Cash"));
    cash->Move(240 + LabelWidth, 2160, BoxWidth, FTextBox::FixedHeight);
    cash->setIsNumber(true);
    cash->setMaxLength(8);
    cash->setAutoSelAll(true);
    Txt_Cash = cash;
    auto *chk = new vb::CheckBox(fr, QStringLiteral("Chk_Return"), QStringLiteral("充值后返回"));
    chk->Move(240 + CellWidth, 2175, 1320, 255);
    Chk_Return = chk;
    Cmd_Save = CreateButton(QStringLiteral("Cmd_Save"), QStringLiteral("确定"), 240 + LabelWidth, 2640, 1140, 375,
                            QString(), fr);
    Cmd_Cancel = CreateButton(QStringLiteral("Cmd_Cancel"), QStringLiteral("取消"), 240 + LabelWidth + 1260, 2640, 1140,
                              375, QString(), fr);
}

void Frm_ReaderDeposit::ControlsDestroyed()
{
    m_txt.fill(nullptr);
    m_lbl.fill(nullptr);
}

void Frm_ReaderDeposit::HideDepositCtrls()
{
    HideListCtrls();
    if (auto *f = Frame_Deposit.peek()) f->setVisible(false);
}

void Frm_ReaderDeposit::ShowDepositCtrls() { ShowListCtrls(); }

void Frm_ReaderDeposit::InitDepositGrid()
{
    vb::Grid *g = Grid_ShowData.get();
    g->Clear();
    if (g->Cols() < 6) g->setCols(6);
    for (int i = 0; i < 6; ++i) g->setColWidth(i, 1800);
}

void Frm_ReaderDeposit::ResetDepositSQL()
{
    SQLSelect = QStringLiteral(
        "SELECT 充值编号, 充值记录.读者编号, 姓名 AS 读者姓名, 读者类别, CONVERT(varchar(10),充值金额,0) AS 充值金额, "
        "充值记录.经手人");
    SQLFrom = QStringLiteral("FROM 充值记录,读者档案");
    SQLWhere = QStringLiteral("WHERE 充值记录.读者编号 = 读者档案.读者编号");
    SQLGroup.clear();
    SQLOrder = QStringLiteral("ORDER BY 充值编号 ASC");
    SQLText =
        SQLSelect + QStringLiteral(" ") + SQLFrom + QStringLiteral(" ") + SQLWhere + QStringLiteral(" ") + SQLOrder;
}

void Frm_ReaderDeposit::Form_Load()
{
    ReaderFound = false;
    ChildListForm::Form_Load();
}

void Frm_ReaderDeposit::Form_Resize()
{
    ListResize();
    try {
        vb::Frame *fr = Frame_Deposit.peek();
        if (!fr) return;
        const int fw = std::max(0, Width() - fr->Left() - 240 - 45);
        fr->setWidth(fw);
        const int lineEnd = std::max(LineStart, fw - LineStart - 45);
        for (vb::LineControl *l :
             {Line_Split1.peek(), Line_Split1_Shadow.peek(), Line_Split2.peek(), Line_Split2_Shadow.peek()})
            if (l) l->setX2(lineEnd);
    } catch (...) {
        // A resize while the window unloads: the frame and its lines keep their size.
    }
}

// ---------------------------------------------------------------- list view and panel view

void Frm_ReaderDeposit::Cmd_Deposit_Click()
{
    if (vb::Grid *g = Grid_ShowData.get()) static_cast<QWidget *>(g)->setVisible(false);
    Frame_Deposit->setTop(PanelShownTop);
    Frame_Deposit->raise();
    Frame_Deposit->setVisible(true);
}

void Frm_ReaderDeposit::Cmd_Cancel_Click()
{
    Frame_Deposit->setVisible(false);
    Frame_Deposit->setTop(PanelListTop);
    if (vb::Grid *g = Grid_ShowData.get()) static_cast<QWidget *>(g)->setVisible(true);
    Cmd_Refresh_Click();
}

void Frm_ReaderDeposit::Cmd_Close_Click() { Cmd_TBarClose_Click(); }

// ---------------------------------------------------------------- reader look-up

void Frm_ReaderDeposit::Txt_RID_Validate(bool &Cancel)
{
    (void)Cancel;  // the focus always moves on
    // Enter has looked the reader up already and is moving the focus on.
    if (m_enterMovesFocus) return;
    try {
        LookUpReader();
    } catch (const std::exception &e) {
        ShowError(e);
    }
}

void Frm_ReaderDeposit::LookUpReader()
{
    SQLSelect = QStringLiteral("SELECT 姓名, 性别, CONVERT(varchar(10),账户金额,0) AS 账户余额, 状态");
    SQLFrom = QStringLiteral("FROM 读者档案");
    SQLWhere = QStringLiteral("WHERE 读者编号 = ") + SQLQuote(Txt_RID->Text());
    SQLText = SQLSelect + QStringLiteral(" ") + SQLFrom + QStringLiteral(" ") + SQLWhere;
    ado::Recordset rs;
    rs.Open(SQLText, SQLConn(), ado::adOpenKeyset, ado::adLockReadOnly);
    if (rs.EOF_()) {
        ShowErrorText(notFoundText(Txt_RID->Text()));
        Txt_RID->SetFocus();
        ReaderFound = false;
        return;
    }
    const auto text = [&rs](int i) {
        const QVariant v = rs.Fields(i);
        return (!v.isValid() || v.isNull()) ? QString() : v.toString();
    };
    Txt(0)->setText(text(0));
    // The stored flag reads as the sex it stands for.
    const QVariant sex = rs.Fields(1);
    Txt(1)->setText((!sex.isValid() || sex.isNull())
                        ? QString()
                        : (sex.toInt() != 0 ? QStringLiteral("男") : QStringLiteral("女")));
    Txt(2)->setText(text(2));
    Txt(3)->setText(text(3));
    ReaderFound = true;
}

void Frm_ReaderDeposit::Txt_RID_KeyPress(int &KeyAscii)
{
    if (KeyAscii != 13) return;
    runValidate(Txt_RID.get());
    if (!ReaderFound) return;  // the number stays for correction
    // Moving on must not look the reader up a second time.
    m_enterMovesFocus = true;
    Txt_Cash->SetFocus();
    m_enterMovesFocus = false;
}

void Frm_ReaderDeposit::Txt_Cash_KeyPress(int &KeyAscii)
{
    if (KeyAscii == 13) Cmd_Save_Click();
}

// ---------------------------------------------------------------- booking

QString Frm_ReaderDeposit::BookDeposit(const QString &amount)
{
    ado::Connection &conn = SQLConn();
    const QDateTime now = vb::Now();
    QString balance;
    // The deposit record and the balance must agree: both are written or neither.
    ado::Transaction trans(conn);
    {
        // The reader's row is this deposit's until it is written: another
        // desk's deposit or change of the reader waits, so the balance raised
        // and read back below is the one there now plus this amount.
        ado::Recordset reader;
        reader.Open(QStringLiteral("SELECT 读者编号, 账户金额 FROM 读者档案 WITH (UPDLOCK) WHERE 读者编号 = ")
                        + SQLQuote(Txt_RID->Text()),
                    conn, ado::adOpenKeyset, ado::adLockReadOnly);
        if (reader.EOF_())  // the reader is gone since the look-up
            throw Refusal{notFoundText(Txt_RID->Text())};
        // The balance as locked, not as looked up: another desk may have raised it since.
        const QVariant held = reader.Fields(1);
        const double before = (held.isValid() && !held.isNull()) ? held.toDouble() : 0.0;
        if (std::llround(before * 10000.0) + std::llround(amount.toDouble() * 10000.0) > kMaxUnits)
            throw BalanceRefusal{
                QStringLiteral("充值金额超出范围！充值后的账户余额不能超过9999999.99元，该读者现有余额")
                + vb::Format(before, QString()) + QStringLiteral("元。")};
    }
    // Made from the clock; taken already (another desk, the same second): the next free number.
    const QString number = FreeClockNumber(conn, QStringLiteral("充值记录"), QStringLiteral("充值编号"),
                                           vb::Format(now.date(), QStringLiteral("yymmdd"))
                                               + vb::Format(now.time(), QStringLiteral("hhnnss")));
    conn.Execute(QStringLiteral("INSERT 充值记录 VALUES (") + SQLQuote(number) + QStringLiteral(",")
                 + SQLQuote(Txt_RID->Text(), QStringLiteral("U")) + QStringLiteral(",") + amount + QStringLiteral(",")
                 + SQLQuote(vb::Format(now.date(), QStringLiteral("yyyy-mm-dd"))) + QStringLiteral(",")
                 + SQLQuote(CurUID) + QStringLiteral(")"));
    conn.Execute(QStringLiteral("UPDATE 读者档案 SET 账户金额 = 账户金额 + ") + amount
                 + QStringLiteral(" WHERE (读者编号 = ") + SQLQuote(Txt_RID->Text()) + QStringLiteral(")"));
    SQLText = QStringLiteral("SELECT 账户金额 FROM 读者档案 WHERE 读者编号 = ") + SQLQuote(Txt_RID->Text());
    ado::Recordset rs;
    rs.Open(SQLText, SQLConn(), ado::adOpenKeyset, ado::adLockReadOnly);
    const QVariant v = rs.Fields(0);
    if (v.isValid() && !v.isNull()) balance = vb::Format(v.toDouble(), QString());
    rs.Close();
    trans.Commit();
    return balance;
}

void Frm_ReaderDeposit::Cmd_Save_Click()
{
    try {
        if (!ReaderFound) {
            ShowNotice(QStringLiteral("请输入正确的读者编号！"), QStringLiteral("提示"));
            return;
        }
        // Whatever reached the box (a paste goes past its key filter): a
        // deposit raises the balance, by at least the smallest amount money
        // holds and by no more than the lists show.
        const double cash = vb::Val(Txt_Cash->Text());
        if (!(cash >= kMinAmount && cash <= kMaxAmount)) {
            ShowNotice(cash > kMaxAmount ? QStringLiteral("充值金额超出范围！充值金额不能超过9999999.99元。")
                                         : QStringLiteral("充值金额必须大于0！"),
                       QStringLiteral("提示"));
            Txt_Cash->SetFocus();
            return;
        }
        const QString amount = vb::Format(cash, QString());
        const QString balance = BookDeposit(amount);
        ShowMsgBox(QStringLiteral("充值成功！充值金额为：") + amount + QStringLiteral("元。") + QStringLiteral("\r\n")
                       + QStringLiteral("用户名：") + vb::UCase(vb::Trim(Txt_RID->Text()))
                       + QStringLiteral("，账户余额：") + balance + QStringLiteral("元。"),
                   QString(), QString());
        if (Chk_Return->Value() == vb::vbChecked) Cmd_Cancel_Click();
        Txt_RID->setText(QString());
        for (int i = 0; i < 4; ++i) Txt(i)->setText(QString());
        Txt_Cash->setText(QString());
        ReaderFound = false;
    } catch (const BalanceRefusal &r) {
        ShowNotice(r.text, QStringLiteral("提示"));
        Txt_Cash->SetFocus();
    } catch (const Refusal &r) {
        ReaderFound = false;
        ShowErrorText(r.text);
    } catch (const ado::InDoubtError &e) {
        // Nothing is booked again by itself: the amount goes, and the clerk
        // reads what is stored before booking it again, if at all.
        Txt_Cash->setText(QString());
        ShowErrorText(e.Description() + QStringLiteral("\r\n") + StoredDepositText());
    } catch (const std::exception &e) {
        ShowError(e);
    }
}

// What is stored of the reader after a booking whose outcome is unknown, read
// afresh: the panel's boxes show it, the list follows, and the text says it.
QString Frm_ReaderDeposit::StoredDepositText()
{
    const QString rid = Txt_RID->Text();
    QStringList deposits;
    try {
        ReaderFound = false;
        LookUpReader();
        if (!ReaderFound) return QString();
        ado::Recordset rs;
        rs.Open(QStringLiteral("SELECT TOP 3 充值编号, CONVERT(varchar(10),充值金额,0) AS 充值金额, "
                               "CONVERT(varchar(10),充值日期,23) AS 充值日期 FROM 充值记录 WHERE 读者编号 = ")
                    + SQLQuote(rid) + QStringLiteral(" ORDER BY 充值编号 DESC"),
                SQLConn(), ado::adOpenKeyset, ado::adLockReadOnly);
        for (; !rs.EOF_(); rs.MoveNext())
            deposits << rs.Fields(0).toString() + QStringLiteral("（") + rs.Fields(2).toString() + QStringLiteral("，")
                            + rs.Fields(1).toString() + QStringLiteral("元）");
    } catch (const std::exception &e) {
        return QStringLiteral("重新读取也没有成功：") + ErrorText(e);
    }
    Cmd_Refresh_Click();
    return QStringLiteral("现在读到：读者") + vb::UCase(vb::Trim(rid)) + QStringLiteral("的账户余额为") + Txt(2)->Text()
           + QStringLiteral("元；最近的充值：")
           + (deposits.isEmpty() ? QStringLiteral("无") : deposits.join(QStringLiteral("；"))) + QStringLiteral("。");
}

// ---------------------------------------------------------------- deleting all deposits

void Frm_ReaderDeposit::Cmd_Clear_Click()
{
    try {
        if (!ConfirmDelete(QStringLiteral("确实要删除所有充值吗？"), QStringLiteral("删除充值记录"))) return;
        SQLConn().Execute(QStringLiteral("DELETE FROM 充值记录"));
    } catch (const std::exception &e) {
        ShowError(e);
        return;
    }
    Cmd_Refresh_Click();
}
