#include "core/Frm_AccountType.h"

#include "core/ChildFormSwitch.h"
#include "core/DialogConventions.h"
#include "core/Mdl_ComVarList.h"
#include "core/Mdl_SQLConnection.h"
#include "core/Refusal.h"
#include "db/Transaction.h"
#include "ui/Colors.h"
#include "ui/Runtime.h"

#include <algorithm>
#include <exception>
#include <stdexcept>

namespace {

constexpr int Margin = 240;
constexpr int TypeRowTop = 720;
constexpr int FrameTop = 1200;
constexpr int PowerColumns = 3, PowerColumnWidth = 3240, PowerRowTop = 420, PowerRowStep = 420;
constexpr int FrameHeight = PowerRowTop + 4 * PowerRowStep + 300 + 240;
constexpr int ButtonTop = FrameTop + FrameHeight + 240;
constexpr int TipTop = ButtonTop + 375 + 360;

}  // namespace

Frm_AccountType::Frm_AccountType() : ChildListForm(QStringLiteral("Frm_AccountType"))
{
    setCaption(QStringLiteral("账户权限"));
}

vb::CheckBox *Frm_AccountType::Chk_Power(int index) const
{
    const_cast<Frm_AccountType *>(this)->ensureLoaded();
    return (index >= 0 && index < PowerCount) ? m_chk[index].data() : nullptr;
}

vb::Label *Frm_AccountType::Lbl_Power(int index) const
{
    const_cast<Frm_AccountType *>(this)->ensureLoaded();
    return (index >= 0 && index < PowerCount) ? m_lbl[index].data() : nullptr;
}

// ---------------------------------------------------------------- controls

void Frm_AccountType::CreateControls()
{
    CreateTitleBar();
    Cmd_TBarClose->setToolTip(QStringLiteral("关闭当前窗口"));
    QWidget *c = client();

    auto *lblType = new vb::Label(c, QStringLiteral("Lbl_AccType"), QStringLiteral("账户类型"));
    lblType->setBackStyle(vb::vbTransparent);
    lblType->Move(Margin, TypeRowTop + 30, 960, 255);
    Lbl_AccType = lblType;
    auto *cmb = new FCombo(c, QStringLiteral("Cmb_AccType"));
    cmb->Move(1200, TypeRowTop, 3000);
    cmb->setEnabledText(false);
    Cmb_AccType = cmb;

    const auto link = [c](const QString &name, const QString &caption, int left) {
        auto *l = new vb::Label(c, name, caption);
        l->setBackStyle(vb::vbTransparent);
        l->setForeColor(vb::kBlue);
        l->setCursor(Qt::PointingHandCursor);
        l->Move(left, TypeRowTop + 30, 420, 255);
        return l;
    };
    Lbl_Add = link(QStringLiteral("Lbl_Add"), QStringLiteral("添加"), 4440);
    auto *split = new vb::Label(c, QStringLiteral("Lbl_Split"), QStringLiteral("|"));
    split->setBackStyle(vb::vbTransparent);
    split->setForeColor(vb::kGrey);
    split->Move(4920, TypeRowTop + 30, 120, 255);
    Lbl_Split = split;
    Lbl_Del = link(QStringLiteral("Lbl_Del"), QStringLiteral("删除"), 5100);

    auto *frame = new vb::Frame(c, QStringLiteral("Frame_AccPower"), QStringLiteral("账户权限"));
    frame->Move(Margin, FrameTop, PowerColumns * PowerColumnWidth + 240, FrameHeight);
    Frame_AccPower = frame;
    for (int i = 0; i < PowerCount; ++i) {
        const int left = 240 + (i % PowerColumns) * PowerColumnWidth;
        const int top = PowerRowTop + (i / PowerColumns) * PowerRowStep;
        auto *chk = new vb::CheckBox(frame, QStringLiteral("Chk_Power_%1").arg(i));
        chk->Move(left, top, 255, 255);
        chk->setAutoFillBackground(false);  // the frame's own shade shows through
        m_chk[i] = chk;
        auto *lbl = new vb::Label(frame, QStringLiteral("Lbl_Power_%1").arg(i), QStringLiteral("Power Name"));
        lbl->setBackStyle(vb::vbTransparent);
        lbl->Move(left + 300, top + 15, PowerColumnWidth - 420, 255);
        m_lbl[i] = lbl;
        connect(lbl, &vb::Label::Click, this, [this, i] { Lbl_Power_Click(i); });
    }

    const auto button = [this](const QString &name, const QString &caption, int left) {
        return CreateButton(name, caption, left, ButtonTop, 1200, 375);
    };
    Cmd_OK = button(QStringLiteral("Cmd_OK"), QStringLiteral("确定"), Margin);
    Cmd_Close = button(QStringLiteral("Cmd_Close"), QStringLiteral("关闭"), Margin + 1320);

    auto *tip = new vb::Label(c, QStringLiteral("Lbl_Tip"), QStringLiteral("当前有1个类型拥有账户修改权限"));
    tip->setBackStyle(vb::vbTransparent);
    tip->setForeColor(vb::kDarkRed);
    tip->setWordWrap(true);
    tip->Move(Margin, TipTop, PowerColumns * PowerColumnWidth + 240, 540);
    Lbl_Tip = tip;

    connect(cmb, &FCombo::Click, this, &Frm_AccountType::Cmb_AccType_Click);
    connect(Lbl_Add.peek(), &vb::Label::Click, this, &Frm_AccountType::Lbl_Add_Click);
    connect(Lbl_Del.peek(), &vb::Label::Click, this, &Frm_AccountType::Lbl_Del_Click);
    connect(Cmd_OK.peek(), &XButton::Click, this, &Frm_AccountType::Cmd_OK_Click);
    connect(Cmd_Close.peek(), &XButton::Click, this, &Frm_AccountType::Cmd_Close_Click);

    // The links light up under the pointer; the window's own mouse move puts them back.
    for (vb::Label *l : {Lbl_Add.peek(), Lbl_Del.peek()})
        HoverByMouseMove(
            l, c, [this, l] { SetLinkHover(l); }, [this] { ResetLinkLooks(); });
}

void Frm_AccountType::ControlsDestroyed()
{
    m_chk.fill(nullptr);
    m_lbl.fill(nullptr);
}

void Frm_AccountType::SetLinkHover(vb::Label *link)
{
    link->setFontUnderline(true);
    link->setForeColor(vb::kLightBlue);
}

void Frm_AccountType::ResetLinkLooks()
{
    for (vb::Label *l : {Lbl_Add.peek(), Lbl_Del.peek()}) {
        if (!l) continue;
        l->setFontUnderline(false);
        l->setForeColor(vb::kBlue);
    }
}

void Frm_AccountType::HideAccTypeCtrls()
{
    for (QWidget *w :
         std::initializer_list<QWidget *>{Lbl_AccType.peek(), Cmb_AccType.peek(), Lbl_Add.peek(), Lbl_Split.peek(),
                                          Lbl_Del.peek(), Frame_AccPower.peek(), Cmd_OK.peek(), Cmd_Close.peek()})
        if (w) w->setVisible(false);
}

void Frm_AccountType::ShowAccTypeCtrls()
{
    for (QWidget *w :
         std::initializer_list<QWidget *>{Lbl_AccType.peek(), Cmb_AccType.peek(), Lbl_Add.peek(), Lbl_Split.peek(),
                                          Lbl_Del.peek(), Frame_AccPower.peek(), Cmd_OK.peek(), Cmd_Close.peek()})
        if (w) w->setVisible(true);
}

// ---------------------------------------------------------------- load, layout

void Frm_AccountType::Form_Load()
{
    AddMode = false;
    HideAccTypeCtrls();
    if (CheckUserPower(QStringLiteral("修改账户权限"))) {
        Lbl_TBarText->setCaption(Caption());
        ShowAccTypeCtrls();
        LoadAccTypes();
    } else {
        Lbl_TBarText->setForeColor(vb::kRed);
        Lbl_TBarText->setCaption(RefusedText());
    }
    // A window shown again at the same size gets no resize of its own.
    Form_Resize();
}

void Frm_AccountType::Form_Resize()
{
    try {
        const int W = Width();
        if (vb::Frame *f = Frame_AccPower.peek()) f->setWidth(std::max(0, W - f->Left() - 240 - 45));
        if (vb::Label *t = Lbl_Tip.peek()) t->setWidth(std::max(0, W - t->Left() - 240 - 45));
    } catch (...) {
        // A resize while the window unloads: the frame and the tip keep their width.
    }
}

// ---------------------------------------------------------------- the types and their permissions

void Frm_AccountType::LoadAccTypes()
{
    m_guard.Forget();  // no type is chosen until one is picked again
    try {
        ado::Recordset rs;
        rs.Open(QStringLiteral("SELECT * FROM 账户类型"), SQLConn(), ado::adOpenKeyset, ado::adLockReadOnly);
        Cmb_AccType->Clear();
        const long n = rs.RecordCount();
        for (long i = 0; i < n; ++i) {
            Cmb_AccType->AddItem(rs.Fields(QStringLiteral("账户类型")).toString());
            rs.MoveNext();
        }
        // The permission names are the table's own column names, after the key.
        for (int i = 1; i < rs.FieldCount(); ++i) {
            if (i - 1 >= PowerCount) throw std::out_of_range("下标越界");
            Lbl_Power(i - 1)->setCaption(rs.FieldName(i));
            Chk_Power(i - 1)->setValue(vb::vbUnchecked);
        }
        rs.Close();

        ado::Recordset cnt;
        cnt.Open(QStringLiteral(
                     "SELECT COUNT(修改账户权限) AS 数量 FROM 账户类型 WHERE 修改账户权限 = 1 GROUP BY 修改账户权限"),
                 SQLConn(), ado::adOpenKeyset, ado::adLockReadOnly);
        // No type holds it (another desk's change): no group, none counted.
        const QString number = cnt.EOF_() ? QStringLiteral("0") : cnt.Fields(QStringLiteral("数量")).toString();
        QString tip = QStringLiteral("当前有 ") + number + QStringLiteral(" 个类型拥有账户修改权限");
        if (vb::Val(number) <= 1)
            tip += QStringLiteral("\r\n")
                   + QStringLiteral("注意：请至少保留一个类型拥有账户修改权限，否则需要联系系统数据库管理员进行修改。");
        Lbl_Tip->setCaption(tip);
    } catch (const std::exception &e) {
        ShowError(e);
    }
}

void Frm_AccountType::ShowTypePowers(const QString &typeName)
{
    try {
        ado::Recordset rs;
        rs.Open(QStringLiteral("SELECT * FROM 账户类型 WHERE 账户类型 = ") + SQLQuote(typeName), SQLConn(),
                ado::adOpenKeyset, ado::adLockReadOnly);
        // Box i-1 shows the (i)th column, the key being the first.
        std::vector<GuardedColumn> powers;
        for (int i = 1; i < rs.FieldCount(); ++i) {
            powers.push_back({rs.FieldName(i),
                              [this, i](const QVariant &v) {
                                  vb::CheckBox *chk = Chk_Power(i - 1);
                                  if (!chk) throw std::out_of_range("下标越界");
                                  chk->setValue(StoredYes(v) ? vb::vbChecked : vb::vbUnchecked);
                              },
                              [this, i] {
                                  vb::CheckBox *chk = Chk_Power(i - 1);
                                  return chk ? QString::number(chk->Value()) : QString();
                              },
                              {}});
        }
        m_guard.Bind(QStringLiteral("账户类型"), QStringLiteral("账户类型"), std::move(powers));
        m_guard.Load(rs, typeName, RecordGuard::OnError::Stop);
        if (rs.EOF_()) ShowErrorText(m_guard.GoneText());
    } catch (const std::exception &e) {
        ShowError(e);
    }
}

void Frm_AccountType::Cmb_AccType_Click()
{
    AddMode = false;
    Lbl_Add->setEnabled(true);
    Lbl_Del->setEnabled(true);
    Cmb_AccType->setEnabledText(false);
    ShowTypePowers(Cmb_AccType->Text());
}

void Frm_AccountType::Lbl_Power_Click(int Index)
{
    if (vb::CheckBox *chk = Chk_Power(Index)) chk->setValue(chk->Value() ^ 1);
}

void Frm_AccountType::Lbl_Add_Click()
{
    AddMode = true;
    Lbl_Add->setEnabled(false);
    Lbl_Del->setEnabled(false);
    Cmb_AccType->setEnabledText(true);
    Cmb_AccType->SetF();
}

void Frm_AccountType::Cmd_OK_Click()
{
    QString sql;
    if (AddMode) {
        const QString name = vb::Trim(Cmb_AccType->Text());
        if (name.isEmpty()) {
            ShowErrorText(QStringLiteral("请输入新类型的名称。"));
            Cmb_AccType->SetF();
            return;
        }
        const QString typed = Cmb_AccType->Text();
        for (int i = 0; i < Cmb_AccType->ListCount(); ++i) {
            if (Cmb_AccType->List(i) == typed) {
                ShowErrorText(QStringLiteral("该类型名已存在，请更换另一个新名称。"));
                return;
            }
        }
        sql = QStringLiteral("INSERT 账户类型 VALUES(") + SQLQuote(name) + QStringLiteral(",");
        for (int i = 0; i < PowerCount; ++i) {
            if (i > 0) sql += QStringLiteral(",");
            sql += QString::number(Chk_Power(i)->Value());
        }
        sql += QStringLiteral(")");
    } else {
        const QString name = vb::Trim(Cmb_AccType->Text());
        sql = QStringLiteral("UPDATE 账户类型 SET ");
        for (int i = 0; i < PowerCount; ++i) {
            if (i > 0) sql += QStringLiteral(",");
            sql += Lbl_Power(i)->Caption() + QStringLiteral("=") + QString::number(Chk_Power(i)->Value());
        }
        sql += QStringLiteral(" WHERE 账户类型 = ") + SQLQuote(name);
    }
    // A change of the chosen type holds to the permissions it showed.
    const bool guarded = !AddMode && m_guard.IsLoaded() && vb::Trim(m_guard.Key()) == vb::Trim(Cmb_AccType->Text());
    try {
        ado::Transaction trans(SQLConn());
        // The types are locked before the guard's row, so that two desks' saves take turns.
        const long administrators = LockAccountAdministrators();
        if (guarded) m_guard.Verify(SQLConn());
        SQLConn().Execute(sql);
        RequireAccountAdministrator(administrators);
        trans.Commit();
    } catch (const RecordConflict &conflict) {
        m_guard.Resolve(conflict, SQLConn());  // the boxes stay for another try
        return;
    } catch (const Refusal &r) {
        ShowErrorText(r.text);  // the boxes stay for another try
        return;
    } catch (const std::exception &e) {
        ShowError(e);
        return;
    }
    LoadAccTypes();
}

bool Frm_AccountType::IsTypeUsed(const QString &typeName)
{
    ado::Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM 账户 WHERE 账户类型 = ") + SQLQuote(typeName), SQLConn(), ado::adOpenKeyset,
            ado::adLockReadOnly);
    return !rs.EOF_();
}

void Frm_AccountType::Lbl_Del_Click()
{
    try {
        const QString name = vb::Trim(Cmb_AccType->Text());
        if (IsTypeUsed(name)) {
            ShowErrorText(QStringLiteral("检测到有账户为 [ ") + name + QStringLiteral(" ] ，无法删除。"));
            return;
        }
        if (!ConfirmDelete(QStringLiteral("确实要删除 [ ") + name + QStringLiteral(" ] 类型吗？"),
                           QStringLiteral("删除账户类型")))
            return;
        SQLConn().Execute(QStringLiteral("DELETE FROM 账户类型 WHERE 账户类型 = ") + SQLQuote(name));
        for (int i = Cmb_AccType->ListCount() - 1; i >= 0; --i)
            if (Cmb_AccType->List(i) == name) Cmb_AccType->RemoveItem(i);
    } catch (const std::exception &e) {
        ShowError(e);
        return;
    }
    LoadAccTypes();
}

void Frm_AccountType::Cmd_Close_Click() { CloseChildForm(this); }
