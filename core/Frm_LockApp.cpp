#include "core/Frm_LockApp.h"

#include "core/DialogConventions.h"
#include "core/Frm_Main.h"
#include "core/Mdl_ComVarList.h"
#include "core/Mdl_SQLConnection.h"

#include <QShowEvent>

namespace {

constexpr long kWindowBack = 0xFFFFFFL;
constexpr long kLabelText = 0x404040L;
constexpr long kTitleText = 0x800000L;
constexpr long kNoteText = 0x808080L;

vb::Label *makeLabel(QWidget *parent, const QString &name, const QString &caption, int left, int top,
                     long color = kLabelText)
{
    auto *l = new vb::Label(parent, name, caption);
    l->setBackStyle(vb::vbTransparent);
    l->setForeColor(color);
    l->setAutoSize(true);
    l->Move(left, top);
    return l;
}

}  // namespace

Frm_LockApp::Frm_LockApp() : vb::Form(QStringLiteral("Frm_LockApp"))
{
    // A caption but no close box: only the password ends the lock.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setCaption(DesignCaption());
    setBackColor(kWindowBack);
    setFixedSize(vb::toPx(5400), vb::toPx(2880));
}

Frm_LockApp::~Frm_LockApp() = default;

void Frm_LockApp::CreateControls()
{
    QWidget *c = client();
    setCaption(DesignCaption());

    auto *bar = new vb::PictureBox(c, QStringLiteral("Pic_TitleBar"));
    bar->setBorderStyle(0);
    bar->setBackColor(kWindowBack);
    bar->setFocusPolicy(Qt::NoFocus);
    bar->Move(0, 0, 5400, 900);
    Pic_TitleBar = bar;
    Lbl_TBarTitle = makeLabel(bar, QStringLiteral("Lbl_TBarTitle"), QString(), 360, 165, kTitleText);
    Lbl_TBarTitle->setFontBold(true);
    Lbl_TBarTitle->setFontSize(10.5);
    Lbl_TBarText = makeLabel(bar, QStringLiteral("Lbl_TBarText"),
                             QStringLiteral("本程序已被锁定，您需要输入密码进行解锁"), 600, 540, kNoteText);

    auto *line = new vb::LineControl(c, QStringLiteral("Line_TBarSplit"));
    line->setBorderColor(0xE0E0E0L);
    line->setLine(0, 900, 5400, 900);
    Line_TBarSplit = line;

    Lbl_UID = makeLabel(c, QStringLiteral("Lbl_UID"), QStringLiteral("用户名"), 960, 1290);
    auto *uid = new FTextBox(c, QStringLiteral("Txt_UID"));
    uid->Move(1920, 1260, 2880, FTextBox::FixedHeight);
    Txt_UID = uid;
    Lbl_Password = makeLabel(c, QStringLiteral("Lbl_Password"), QStringLiteral("密    码"), 960, 1770);
    auto *pwd = new FTextBox(c, QStringLiteral("Txt_Password"));
    pwd->Move(1920, 1740, 2880, FTextBox::FixedHeight);
    pwd->setPasswordChar(QStringLiteral("*"));
    pwd->setAutoSelAll(true);
    pwd->setText(PasswordPlaceholder());
    Txt_Password = pwd;

    auto *unlock = new XButton(c, QStringLiteral("Cmd_Unlock"));
    unlock->setBackColor(0xE0E0E0L);
    unlock->setForeColor(0x404040L);
    unlock->setMouseOnColor(0xFFFFFFL);
    unlock->setMouseDownColor(0xC0C0C0L);
    unlock->Move(3600, 2280, 1200, 375);
    unlock->setCaption(QStringLiteral("解除锁定"));
    Cmd_Unlock = unlock;

    connect(unlock, &XButton::Click, this, &Frm_LockApp::Cmd_Unlock_Click);
    EnterKeySubmit(pwd, [this] { Cmd_Unlock_Click(); });
}

void Frm_LockApp::Form_Load()
{
    LayeredDialog(this);
    Lbl_TBarTitle->setCaption(Caption());
    Txt_UID->setText(CurUID);
    Txt_UID->setLocked(true);
    Txt_UID->setEnabled(false);
}

void Frm_LockApp::showEvent(QShowEvent *e)
{
    vb::Form::showEvent(e);
    if (Txt_Password.peek())
        Txt_Password->SetFocus();
}

// Closing the window by its frame (Alt+F4 and the like) would leave the main
// window hidden with nothing on screen: only an unlock ends the lock.
void Frm_LockApp::Form_QueryUnload(int &cancel, int unloadMode)
{
    if (unloadMode == vb::vbFormControlMenu)
        cancel = 1;
}

void Frm_LockApp::Cmd_Unlock_Click()
{
    if (CheckLogin(CurUID, Txt_Password->Text())) {
        Unload();
        vb::Default<Frm_Main>().Show(vb::vbModeless);
        return;
    }
    ShowMsgBox(QStringLiteral("密码错误！"), QStringLiteral("x"), QStringLiteral("解锁失败"));
    if (Txt_Password.peek())
        Txt_Password->SetFocus();
}
