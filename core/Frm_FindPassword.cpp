#include "core/Frm_FindPassword.h"

#include "core/DialogConventions.h"
#include "core/Mdl_ComVarList.h"
#include "core/Mdl_SQLConnection.h"
#include "ui/Runtime.h"

namespace {

constexpr int kWidth = 5400;
constexpr int kHeight = 3480;

}  // namespace

Frm_FindPassword::Frm_FindPassword() : vb::Form(QStringLiteral("Frm_FindPassword"))
{
    // The dialog draws its own title bar.
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setCaption(DesignCaption());
    setBackColor(vb::kWhite);
    setFixedSize(vb::toPx(kWidth), vb::toPx(kHeight));
}

Frm_FindPassword::~Frm_FindPassword() = default;

vb::Frame *Frm_FindPassword::Frame(int index) const
{
    return (index >= 0 && index < PageCount) ? m_frame[index].get() : nullptr;
}

void Frm_FindPassword::CreateControls()
{
    QWidget *c = client();
    setCaption(DesignCaption());

    const DialogTitleBarParts bar = DialogTitleBar(this, 480, [this] { Cmd_TBarClose_Click(); });
    Pic_TitleBar = bar.Pic_TitleBar;
    Lbl_TBarText = bar.Lbl_TBarText;
    Cmd_TBarClose = bar.Cmd_TBarClose;
    Pic_TitleBar->setFocusPolicy(Qt::NoFocus);

    static const char *const captions[PageCount] = {"第一步：用户名验证", "第二步：二级密码验证", "验证信息"};
    for (int i = 0; i < PageCount; ++i) {
        auto *f = new vb::Frame(c, QStringLiteral("Frame_%1").arg(i), QString::fromUtf8(captions[i]));
        f->setBackColor(vb::kWhite);
        f->Move(360, 720, kWidth - 720, 1920);
        f->setVisible(false);
        m_frame[i] = f;
    }

    vb::Frame *page0 = m_frame[0].peek();
    Lbl_UID = DialogLabel(page0, QStringLiteral("Lbl_UID"), QStringLiteral("用户名"), 480, 870);
    auto *uid = new FTextBox(page0, QStringLiteral("Txt_UID"));
    uid->Move(1440, 840, 2880, FTextBox::FixedHeight);
    uid->setAutoSelAll(true);
    Txt_UID = uid;

    vb::Frame *page1 = m_frame[1].peek();
    Lbl_Password = DialogLabel(page1, QStringLiteral("Lbl_Password"), QStringLiteral("二级密码"), 480, 870);
    auto *pwd = new FTextBox(page1, QStringLiteral("Txt_Password"));
    pwd->Move(1440, 840, 2880, FTextBox::FixedHeight);
    pwd->setAutoSelAll(true);
    Txt_Password = pwd;

    vb::Frame *page2 = m_frame[2].peek();
    auto *info = new vb::Label(page2, QStringLiteral("Lbl_Info"));
    info->setBackStyle(vb::vbTransparent);
    info->setForeColor(vb::kNavy);
    info->setWordWrap(true);
    info->setFontSize(10.5);
    info->setAlignment(vb::vbCenter);
    info->Move(240, 720, kWidth - 720 - 480, 600);
    Lbl_Info = info;

    Cmd_Pre = DialogButton(c, QStringLiteral("Cmd_Pre"), QStringLiteral("上一步"), 2520, 2880);
    Cmd_Next = DialogButton(c, QStringLiteral("Cmd_Next"), QStringLiteral("下一步"), 3840, 2880);

    // A thin border round the frameless window.
    auto *border = new vb::Shape(c, QStringLiteral("Shp_Border"));
    border->setBorderColor(vb::kGrey);
    border->Move(0, 0, kWidth, kHeight);
    border->raise();
    Shp_Border = border;

    connect(Cmd_Pre.peek(), &XButton::Click, this, &Frm_FindPassword::Cmd_Pre_Click);
    connect(Cmd_Next.peek(), &XButton::Click, this, &Frm_FindPassword::Cmd_Next_Click);
    EnterKeySubmit(uid, [this] { Cmd_Next_Click(); });
    EnterKeySubmit(pwd, [this] { Cmd_Next_Click(); });
}

void Frm_FindPassword::Form_Load()
{
    SetDialogTitle(this, Lbl_TBarText.get());
    // Every opening starts on the first page with nothing accepted yet.
    for (int i = 0; i < PageCount; ++i) m_frame[i]->setVisible(false);
    m_curStep = 0;
    m_prevStep = 0;
    m_findUID.clear();
    ShowStep(0, QString());
}

void Frm_FindPassword::Form_Unload(int &cancel)
{
    (void)cancel;
    // The login window opened the connection for this dialog only.
    if (SQLConn().State() == ado::adStateOpen) SQLConn().Close();
}

void Frm_FindPassword::Cmd_TBarClose_Click() { Unload(); }
void Frm_FindPassword::Cmd_Pre_Click() { GoStep(QStringLiteral("Pre")); }
void Frm_FindPassword::Cmd_Next_Click() { GoStep(QStringLiteral("Next")); }

void Frm_FindPassword::ShowStep(int step, const QString &info)
{
    m_frame[m_curStep]->setVisible(false);
    if (step < 1) {
        Cmd_Pre->setEnabled(false);
        Cmd_Next->setEnabled(true);
        m_curStep = m_prevStep = 0;
    } else if (step == 1) {
        Cmd_Pre->setEnabled(true);
        Cmd_Next->setEnabled(true);
        m_curStep = m_prevStep = 1;
    } else {
        Lbl_Info->setCaption(info);
        Cmd_Pre->setEnabled(true);
        Cmd_Next->setEnabled(false);
        m_curStep = 2;
    }
    m_frame[m_curStep]->setVisible(true);
    // The keyboard goes to the box of the page now shown.
    if (m_curStep == 0)
        Txt_UID->SetFocus();
    else if (m_curStep == 1)
        Txt_Password->SetFocus();
    else
        Cmd_Pre->SetFocus();
}

void Frm_FindPassword::GoStep(const QString &direction)
{
    if (direction == QLatin1String("Pre")) {
        ShowStep(m_curStep == 2 ? m_prevStep : m_curStep - 1, QString());
        return;
    }
    if (direction != QLatin1String("Next")) return;
    // A look-up that fails (the connection could not be opened, the table is
    // unreadable) is reported; the dialog stays on its page.
    try {
        QString message;
        if (m_curStep == 0) {
            if (CheckUID(message))
                ShowStep(1, QString());
            else
                ShowStep(2, message);
        } else if (m_curStep == 1) {
            if (CheckSecondPWD(message))
                ShowPassword();
            else
                ShowStep(2, message);
        }
    } catch (const std::exception &e) {
        ShowError(e);
    }
}

QString Frm_FindPassword::AccountSQL() const
{
    return QStringLiteral("SELECT * FROM 账户 WHERE 用户名 = ") + SQLQuote(m_findUID);
}

bool Frm_FindPassword::CheckUID(QString &message)
{
    const QString typed = vb::Trim(Txt_UID->Text());
    ado::Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM 账户 WHERE 用户名 = ") + SQLQuote(typed), SQLConn(), ado::adOpenKeyset,
            ado::adLockReadOnly);
    if (rs.EOF_()) {
        message = QStringLiteral("用户名错误！");
        return false;
    }
    m_findUID = typed;
    return true;
}

bool Frm_FindPassword::CheckSecondPWD(QString &message)
{
    ado::Recordset rs;
    rs.Open(AccountSQL(), SQLConn(), ado::adOpenKeyset, ado::adLockReadOnly);
    if (!rs.EOF_()) {
        const QVariant second = rs.Fields(QStringLiteral("二级密码"));
        // Compared exactly, character by character. An account without one
        // never matches, nor one whose second-level password is empty or
        // blanks alone (saved so by an older version): an empty answer must
        // never give out a login password.
        const QString stored = second.isNull() ? QString() : second.toString();
        if (!stored.trimmed().isEmpty() && Txt_Password->Text() == stored) return true;
    }
    message = QStringLiteral("二级密码错误！");
    return false;
}

void Frm_FindPassword::ShowPassword()
{
    ado::Recordset rs;
    rs.Open(AccountSQL(), SQLConn(), ado::adOpenKeyset, ado::adLockReadOnly);
    QString password;
    if (!rs.EOF_()) {
        const QVariant v = rs.Fields(QStringLiteral("密码"));
        if (!v.isNull()) password = v.toString();
    }
    ShowStep(2, QStringLiteral("登录密码：") + password);
}
