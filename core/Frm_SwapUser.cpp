#include "core/Frm_SwapUser.h"

#include "core/DialogConventions.h"
#include "core/Frm_Main.h"
#include "core/Mdl_ComVarList.h"
#include "core/Mdl_SQLConnection.h"

#include <QPointer>
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

Frm_SwapUser::Frm_SwapUser() : vb::Form(QStringLiteral("Frm_SwapUser"))
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    setCaption(DesignCaption());
    setBackColor(kWindowBack);
    setFixedSize(vb::toPx(5400), vb::toPx(2880));
}

Frm_SwapUser::~Frm_SwapUser() = default;

void Frm_SwapUser::CreateControls()
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
                             QStringLiteral("选择用户名并输入密码可快速切换至其它用户"), 600, 540, kNoteText);

    auto *line = new vb::LineControl(c, QStringLiteral("Line_TBarSplit"));
    line->setBorderColor(0xE0E0E0L);
    line->setLine(0, 900, 5400, 900);
    Line_TBarSplit = line;

    Lbl_UID = makeLabel(c, QStringLiteral("Lbl_UID"), QStringLiteral("用户名"), 960, 1290);
    auto *cmb = new FCombo(c, QStringLiteral("Cmb_UID"));
    cmb->Move(1920, 1245, 2880);
    cmb->setEnabledText(true);
    Cmb_UID = cmb;
    Lbl_Password = makeLabel(c, QStringLiteral("Lbl_Password"), QStringLiteral("密    码"), 960, 1770);
    auto *pwd = new FTextBox(c, QStringLiteral("Txt_Password"));
    pwd->Move(1920, 1740, 2880, FTextBox::FixedHeight);
    pwd->setPasswordChar(QStringLiteral("*"));
    pwd->setAutoSelAll(true);
    pwd->setText(PasswordPlaceholder());
    Txt_Password = pwd;

    auto *change = new XButton(c, QStringLiteral("Cmd_Change"));
    change->setBackColor(0xE0E0E0L);
    change->setForeColor(0x404040L);
    change->setMouseOnColor(0xFFFFFFL);
    change->setMouseDownColor(0xC0C0C0L);
    change->Move(3600, 2280, 1200, 375);
    change->setCaption(QStringLiteral("切换用户"));
    Cmd_Change = change;

    setTabOrder(cmb, pwd);
    connect(change, &XButton::Click, this, &Frm_SwapUser::Cmd_Change_Click);
    EnterKeySubmit(pwd, [this] { Cmd_Change_Click(); });
}

void Frm_SwapUser::Form_Load()
{
    LayeredDialog(this);
    Lbl_TBarTitle->setCaption(Caption());
    FillUIDList();
}

void Frm_SwapUser::showEvent(QShowEvent *e)
{
    vb::Form::showEvent(e);
    if (Cmb_UID.peek())
        Cmb_UID->SetFocus();
}

// Every account's name, in the order the server gives them; nothing chosen yet.
void Frm_SwapUser::FillUIDList()
{
    Cmb_UID->Clear();
    try {
        ado::Recordset rs;
        rs.Open(QStringLiteral("SELECT DISTINCT 用户名 FROM 账户"), SQLConn(), ado::adOpenKeyset,
                ado::adLockReadOnly);
        while (!rs.EOF_()) {
            const QVariant name = rs.Fields(QStringLiteral("用户名"));
            if (!name.isNull())
                Cmb_UID->AddItem(name.toString());
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
        ShowMsgBox(QStringLiteral("用户名或密码错误！"), QStringLiteral("x"), QStringLiteral("登录失败"));
        if (Txt_Password.peek())
            Txt_Password->SetFocus();
        return;
    }
    Frm_Main &main = vb::Default<Frm_Main>();
    main.InitToolBar();
    Unload();
    // The current child window is built again under the new user's permissions.
    QPointer<vb::Form> cur = CurForm.data();
    if (cur) {
        cur->Unload();
        if (cur)
            cur->Show(vb::vbModeless);
    }
}
