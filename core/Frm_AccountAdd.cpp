#include "core/Frm_AccountAdd.h"

#include "core/DialogConventions.h"
#include "core/Mdl_ComVarList.h"
#include "core/Mdl_SQLConnection.h"
#include "ui/Runtime.h"

#include <exception>

namespace {

constexpr int DialogWidth = 6240, DialogHeight = 5580;
constexpr int FrameLeft = 240, FrameTop = 720, FrameWidth = 5760, FrameHeight = 3360;
constexpr int LabelLeft = 360, LabelWidth = 1200, BoxLeft = 1680, BoxWidth = 3720;
constexpr int RowTop = 360, RowStep = 420;

}  // namespace

Frm_AccountAdd::Frm_AccountAdd() : ModalEditForm(QStringLiteral("Frm_AccountAdd"))
{
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setCaption(QStringLiteral("添加账户"));
    setWidth(DialogWidth);
    setHeight(DialogHeight);
    m_guard.Bind(QStringLiteral("账户"), QStringLiteral("用户名"),
                 {TextColumn(QStringLiteral("真实姓名"), Txt_Name),
                  PickColumn(QStringLiteral("账户类型"), Cmb_Type),
                  ChoiceColumn(QStringLiteral("状态"), Cmb_Status, StoredNormal),
                  {QStringLiteral("密码"), {}, {}, [this] { return PwdChanged; }},
                  {QStringLiteral("二级密码"), {}, {}, [this] { return SubPwdChanged; }}});
}

void Frm_AccountAdd::CreateControls()
{
    // A thin outline: the dialog has no window frame, only its own title bar.
    auto *border = new vb::Shape(client(), QStringLiteral("Shp_Border"));
    border->setBorderColor(vb::kGrey);
    border->setAttribute(Qt::WA_TransparentForMouseEvents);
    border->Move(0, 0, DialogWidth, DialogHeight);

    const DialogTitleBarParts bar = DialogTitleBar(this, 480, [this] { Cmd_Close_Click(); });
    Pic_TitleBar = bar.Pic_TitleBar;
    Lbl_TBarText = bar.Lbl_TBarText;
    Cmd_TBarClose = bar.Cmd_TBarClose;

    CreateInfoFrame();

    auto *tip = new vb::Label(
        client(), QStringLiteral("Lbl_Tip"),
        QStringLiteral("提示：密码不修改请留空。为了安全起见，二级密码只显示前两个字符并填充为八个字符。"));
    tip->setBackStyle(vb::vbTransparent);
    tip->setForeColor(vb::kGrey);
    tip->setWordWrap(true);
    tip->Move(FrameLeft, FrameTop + FrameHeight + 120, FrameWidth, 480);
    Lbl_Tip = tip;

    const int buttonTop = DialogHeight - 375 - 300;
    auto makeButton = [this](const QString &name, const QString &caption, int left, int top) {
        auto *b = new XButton(client(), name);
        b->Move(left, top, 1200, 375);
        b->setCaption(caption);
        b->setStyleColor(vb::kFrameGrey);
        b->setIfDraw(true);
        return b;
    };
    Cmd_Add = makeButton(QStringLiteral("Cmd_Add"), QStringLiteral("添加"), FrameLeft + FrameWidth - 2520, buttonTop);
    Cmd_Close =
        makeButton(QStringLiteral("Cmd_Close"), QStringLiteral("关闭"), FrameLeft + FrameWidth - 1200, buttonTop);

    connect(Cmd_Add.peek(), &XButton::Click, this, &Frm_AccountAdd::Cmd_Add_Click);
    connect(Cmd_Close.peek(), &XButton::Click, this, &Frm_AccountAdd::Cmd_Close_Click);
    connect(Txt_SubPWD.peek(), &FTextBox::Change, this, &Frm_AccountAdd::Txt_SubPWD_Change);
}

// The account's fields, one row each.
void Frm_AccountAdd::CreateInfoFrame()
{
    auto *frame = new vb::Frame(client(), QStringLiteral("Frame_Info"), QStringLiteral("基本信息"));
    frame->Move(FrameLeft, FrameTop, FrameWidth, FrameHeight);
    Frame_Info = frame;

    int row = 0;
    const auto label = [&](const QString &name, const QString &caption) {
        auto *l = new vb::Label(frame, name, caption);
        l->setBackStyle(vb::vbTransparent);
        l->Move(LabelLeft, RowTop + row * RowStep + 30, LabelWidth, 255);
        return l;
    };
    const auto box = [&](const QString &name) {
        auto *t = new FTextBox(frame, name);
        t->Move(BoxLeft, RowTop + row * RowStep, BoxWidth, FTextBox::FixedHeight);
        return t;
    };
    const auto combo = [&](const QString &name) {
        auto *c = new FCombo(frame, name);
        c->Move(BoxLeft, RowTop + row * RowStep, BoxWidth);
        c->setEnabledText(false);
        return c;
    };

    Lbl_UID = label(QStringLiteral("Lbl_UID"), QStringLiteral("用户名"));
    Txt_UID = box(QStringLiteral("Txt_UID"));
    Txt_UID->setAutoSelAll(true);
    ++row;
    Lbl_PWD = label(QStringLiteral("Lbl_PWD"), QStringLiteral("密码"));
    Txt_PWD = box(QStringLiteral("Txt_PWD"));
    Txt_PWD->setPasswordChar(QStringLiteral("*"));
    Txt_PWD->setAutoSelAll(true);
    ++row;
    Lbl_PWD2 = label(QStringLiteral("Lbl_PWD2"), QStringLiteral("确认密码"));
    Txt_PWD2 = box(QStringLiteral("Txt_PWD2"));
    Txt_PWD2->setPasswordChar(QStringLiteral("*"));
    ++row;
    Lbl_Name = label(QStringLiteral("Lbl_Name"), QStringLiteral("真实姓名"));
    Txt_Name = box(QStringLiteral("Txt_Name"));
    ++row;
    Lbl_SubPWD = label(QStringLiteral("Lbl_SubPWD"), QStringLiteral("二级密码"));
    Txt_SubPWD = box(QStringLiteral("Txt_SubPWD"));
    Txt_SubPWD->setAutoSelAll(true);
    ++row;
    Lbl_Type = label(QStringLiteral("Lbl_Type"), QStringLiteral("账户类型"));
    Cmb_Type = combo(QStringLiteral("Cmb_Type"));
    ++row;
    Lbl_Status = label(QStringLiteral("Lbl_Status"), QStringLiteral("状态"));
    Cmb_Status = combo(QStringLiteral("Cmb_Status"));
}

void Frm_AccountAdd::Form_Load()
{
    // The account types, in the server's order.
    try {
        ado::Recordset rs;
        rs.Open(QStringLiteral("SELECT 账户类型 FROM 账户类型"), SQLConn(), ado::adOpenKeyset, ado::adLockReadOnly);
        Cmb_Type->Clear();
        while (!rs.EOF_()) {
            Cmb_Type->AddItem(rs.Fields(QStringLiteral("账户类型")).toString());
            rs.MoveNext();
        }
    } catch (...) {
        // No account types read: the list stays empty and the rest of the window still loads.
    }
    Cmb_Status->AddItem(QStringLiteral("正常"));
    Cmb_Status->AddItem(QStringLiteral("停用"));

    SetAccMode();

    // What was put into the boxes at load is no change.
    PwdChanged = false;
    SubPwdChanged = false;
}

void Frm_AccountAdd::SetAccMode()
{
    if (Mode == QStringLiteral("ADD")) {
        setCaption(QStringLiteral("添加账户"));
        Cmd_Add->setCaption(QStringLiteral("添加"));
        Cmb_Status->setEnabled(false);  // a new account is always "正常"
        Lbl_Tip->setVisible(false);
        Txt_UID->SetFocus();  // the new user name is typed first
    } else if (Mode == QStringLiteral("MOD")) {
        setCaption(QStringLiteral("修改账户"));
        Cmd_Add->setCaption(QStringLiteral("修改"));
        if (!CheckUserPower(QStringLiteral("修改账户权限"))) {
            // Name and passwords only.
            Cmb_Type->setEnabled(false);
            Cmb_Status->setEnabled(false);
        }
        Txt_UID->setEnabled(false);
        Lbl_Tip->setVisible(true);
        LoadAccount();
    }
    SetDialogTitle(this, Lbl_TBarText.get());
}

void Frm_AccountAdd::LoadAccount()
{
    // A field that cannot be read keeps what the box showed.
    ado::Recordset rs;
    try {
        rs.Open(QStringLiteral("SELECT * FROM 账户 WHERE 用户名 =") + SQLQuote(UID), SQLConn(), ado::adOpenKeyset,
                ado::adLockReadOnly);
    } catch (...) {
        return;
    }
    const auto text = [&rs](const char *field) {
        const QVariant v = rs.Fields(QString::fromUtf8(field));
        return v.isNull() ? QString() : v.toString();
    };
    try {
        Txt_UID->setText(text("用户名"));
    } catch (...) {
        // A missing column leaves the name's box empty, like a Null.
    }
    Txt_PWD->setText(QString());
    Txt_PWD2->setText(QString());
    // Name, type and status; the passwords are remembered, never shown.
    m_guard.Load(rs, UID);
    try {
        Txt_SubPWD->setText(vb::Left(text("二级密码"), 2) + QStringLiteral("******"));
    } catch (...) {
        // A missing column leaves the second password's box empty, like a Null.
    }
}

void Frm_AccountAdd::Txt_SubPWD_Change() { SubPwdChanged = true; }

bool Frm_AccountAdd::RequiredFieldsFilled()
{
    const bool common =
        !vb::Trim(Txt_UID->Text()).isEmpty() && !vb::Trim(Txt_Name->Text()).isEmpty() && !Cmb_Type->Text().isEmpty();
    if (!IsAddMode()) return common;
    return common && !Txt_PWD->Text().isEmpty() && !Txt_PWD2->Text().isEmpty() && !Txt_SubPWD->Text().isEmpty();
}

void Frm_AccountAdd::Cmd_Add_Click()
{
    try {
        if (!RequiredFieldsFilled()) {
            ShowNotice(QStringLiteral("请输入必要信息！"), QStringLiteral("提示"));
            return;
        }
        if (IsAddMode()) {
            if (Txt_PWD->Text() != Txt_PWD2->Text()) {
                ShowNotice(QStringLiteral("两次密码不相同！"), QStringLiteral("提示"));
                return;
            }
            // Blanks alone would be stored as an empty second-level password,
            // which an empty answer in password retrieval would match.
            if (Txt_SubPWD->Text().trimmed().isEmpty()) {
                ShowNotice(QStringLiteral("二级密码不能为空，也不能只有空格！"), QStringLiteral("提示"));
                Txt_SubPWD->SetFocus();
                return;
            }
        } else {
            // Decided afresh on every click: a password typed for an earlier,
            // refused attempt and cleared since is not written.
            PwdChanged = false;
            if (!Txt_PWD->Text().isEmpty()) {
                if (Txt_PWD->Text() != Txt_PWD2->Text()) {
                    ShowNotice(QStringLiteral("两次密码不相同！"), QStringLiteral("提示"));
                    return;
                }
                PwdChanged = true;
            }
            // Blanks of any kind (a full-width space, a tab) are no password either.
            if (SubPwdChanged && Txt_SubPWD->Text().trimmed().isEmpty()) {
                ShowNotice(QStringLiteral("请输入新二级密码！"), QStringLiteral("提示"));
                return;
            }
        }
    } catch (const std::exception &e) {
        ShowError(e);
        return;
    }
    SaveRecord();
}

bool Frm_AccountAdd::AddAccount(QString &errText)
{
    try {
        SQLConn().Execute(QStringLiteral("INSERT 账户 VALUES(") + SQLQuote(Txt_UID->Text()) + QStringLiteral(",")
                          + SQLQuote(Txt_PWD->Text()) + QStringLiteral(",") + SQLQuote(Txt_Name->Text())
                          + QStringLiteral(",") + SQLQuote(Txt_SubPWD->Text()) + QStringLiteral(",")
                          + SQLQuote(Cmb_Type->Text()) + QStringLiteral(", Null, '正常')"));
        return true;
    } catch (const std::exception &e) {
        errText = ErrorText(e);
    }
    return false;
}

bool Frm_AccountAdd::UpdateAccount(QString &errText)
{
    try {
        QString sql = QStringLiteral("UPDATE 账户 SET ") + QStringLiteral("真实姓名 = ") + SQLQuote(Txt_Name->Text())
                      + QStringLiteral(",账户类型 = ") + SQLQuote(Cmb_Type->Text()) + QStringLiteral(",状态 = ")
                      + SQLQuote(Cmb_Status->ListIndex() == 0 ? QStringLiteral("正常") : QStringLiteral("停用"));
        if (PwdChanged) sql += QStringLiteral(",密码 = ") + SQLQuote(Txt_PWD->Text());
        if (SubPwdChanged) sql += QStringLiteral(",二级密码 = ") + SQLQuote(Txt_SubPWD->Text());
        sql += QStringLiteral(" WHERE 用户名 = ") + SQLQuote(Txt_UID->Text());
        // A change of type or status may take away the last account that can change the accounts.
        const long administrators = LockAccountAdministrators();
        SQLConn().Execute(sql);
        RequireAccountAdministrator(administrators);
        return true;
    } catch (const std::exception &e) {
        errText = ErrorText(e);
    }
    return false;
}

void Frm_AccountAdd::Cmd_Close_Click() { Unload(); }
