#include "core/Frm_SwapUser.h"

#include "core/DialogConventions.h"
#include "core/Frm_Main.h"
#include "core/Mdl_ComVarList.h"
#include "core/Mdl_SQLConnection.h"

#include <QPointer>
#include <QShowEvent>

Frm_SwapUser::Frm_SwapUser()
    : PasswordDialog(QStringLiteral("Frm_SwapUser"),
                     Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                         | Qt::WindowCloseButtonHint,
                     DesignCaption())
{
}

Frm_SwapUser::~Frm_SwapUser() = default;

void Frm_SwapUser::CreateControls()
{
    QWidget *c = client();
    setCaption(DesignCaption());

    CreateHeader(QStringLiteral("选择用户名并输入密码可快速切换至其它用户"));
    auto *cmb = new FCombo(c, QStringLiteral("Cmb_UID"));
    cmb->Move(1920, 1245, 2880);
    cmb->setEnabledText(true);
    Cmb_UID = cmb;
    FTextBox *pwd = CreatePasswordRow();

    XButton *change = CreateSubmitButton(QStringLiteral("Cmd_Change"), QStringLiteral("切换用户"));
    Cmd_Change = change;

    setTabOrder(cmb, pwd);
    connect(change, &XButton::Click, this, &Frm_SwapUser::Cmd_Change_Click);
    EnterKeySubmit(pwd, [this] { Cmd_Change_Click(); });
}

void Frm_SwapUser::Form_Load()
{
    LoadHeader();
    FillUIDList();
}

void Frm_SwapUser::showEvent(QShowEvent *e)
{
    PasswordDialog::showEvent(e);
    if (Cmb_UID.peek()) Cmb_UID->SetFocus();
}

// Every account's name, in the order the server gives them; nothing chosen yet.
void Frm_SwapUser::FillUIDList()
{
    Cmb_UID->Clear();
    try {
        ado::Recordset rs;
        rs.Open(QStringLiteral("SELECT DISTINCT 用户名 FROM 账户"), SQLConn(), ado::adOpenKeyset, ado::adLockReadOnly);
        while (!rs.EOF_()) {
            const QVariant name = rs.Fields(QStringLiteral("用户名"));
            if (!name.isNull()) Cmb_UID->AddItem(name.toString());
            rs.MoveNext();
        }
    } catch (const std::exception &) {
        // A list that cannot be read stays as far as it got; a name can still be typed.
    }
    Cmb_UID->setListIndex(-1);
    Cmb_UID->setText(QString());
}

void Frm_SwapUser::Cmd_Change_Click()
{
    if (!CheckLogin(Cmb_UID->Text(), Txt_Password->Text())) {
        // A password that could not be read from the database is not a wrong one,
        // nor is a disabled account's.
        const QString refusal = CheckLoginRefusal();
        ShowMsgBox(refusal.isEmpty() ? QStringLiteral("用户名或密码错误！") : refusal, QStringLiteral("x"),
                   QStringLiteral("登录失败"));
        if (Txt_Password.peek()) Txt_Password->SetFocus();
        return;
    }
    Frm_Main &main = vb::Default<Frm_Main>();
    main.InitToolBar();
    Unload();
    // The current child window is built again under the new user's permissions.
    QPointer<vb::Form> cur = CurForm.data();
    if (cur) {
        cur->Unload();
        if (cur) cur->Show(vb::vbModeless);
    }
}
