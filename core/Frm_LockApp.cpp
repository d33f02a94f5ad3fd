#include "core/Frm_LockApp.h"

#include "core/DialogConventions.h"
#include "core/Frm_Main.h"
#include "core/Mdl_ComVarList.h"
#include "core/Mdl_SQLConnection.h"

#include <QShowEvent>

// A caption but no close box: only the password ends the lock.
Frm_LockApp::Frm_LockApp()
    : PasswordDialog(QStringLiteral("Frm_LockApp"), Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint,
                     DesignCaption())
{
}

Frm_LockApp::~Frm_LockApp() = default;

void Frm_LockApp::CreateControls()
{
    QWidget *c = client();
    setCaption(DesignCaption());

    CreateHeader(QStringLiteral("本程序已被锁定，您需要输入密码进行解锁"));
    auto *uid = new FTextBox(c, QStringLiteral("Txt_UID"));
    uid->Move(1920, 1260, 2880, FTextBox::FixedHeight);
    Txt_UID = uid;
    FTextBox *pwd = CreatePasswordRow();

    XButton *unlock = CreateSubmitButton(QStringLiteral("Cmd_Unlock"), QStringLiteral("解除锁定"));
    Cmd_Unlock = unlock;

    connect(unlock, &XButton::Click, this, &Frm_LockApp::Cmd_Unlock_Click);
    EnterKeySubmit(pwd, [this] { Cmd_Unlock_Click(); });
}

void Frm_LockApp::Form_Load()
{
    LoadHeader();
    Txt_UID->setText(CurUID);
    Txt_UID->setLocked(true);
    Txt_UID->setEnabled(false);
}

void Frm_LockApp::showEvent(QShowEvent *e)
{
    PasswordDialog::showEvent(e);
    if (Txt_Password.peek()) Txt_Password->SetFocus();
}

// Closing the window by its frame (Alt+F4 and the like) would leave the main
// window hidden with nothing on screen: only an unlock ends the lock.
void Frm_LockApp::Form_QueryUnload(int &cancel, int unloadMode)
{
    if (unloadMode == vb::vbFormControlMenu) cancel = 1;
}

void Frm_LockApp::Cmd_Unlock_Click()
{
    if (CheckLogin(CurUID, Txt_Password->Text())) {
        Unload();
        vb::Default<Frm_Main>().Show(vb::vbModeless);
        return;
    }
    // A password that could not be read from the database is not a wrong one,
    // nor is a disabled account's.
    const QString refusal = CheckLoginRefusal();
    ShowMsgBox(refusal.isEmpty() ? QStringLiteral("密码错误！") : refusal, QStringLiteral("x"),
               QStringLiteral("解锁失败"));
    if (Txt_Password.peek()) Txt_Password->SetFocus();
}
