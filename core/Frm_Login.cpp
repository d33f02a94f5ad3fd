#include "core/Frm_Login.h"

#include "core/ChildFormSwitch.h"
#include "core/DialogConventions.h"
#include "core/Frm_Main.h"
#include "core/Mdl_ComVarList.h"
#include "core/Mdl_SQLConnection.h"
#include "ui/Runtime.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTextStream>

namespace {

std::function<void()> &exitHandler()
{
    static std::function<void()> h = [] { QCoreApplication::exit(0); };
    return h;
}

QString settingsFile(const QString &name) { return AppPath + QStringLiteral("Saves/") + name; }

// A line as read from a settings file, without its line break.
QString chopLineBreak(QString line)
{
    while (line.endsWith(QLatin1Char('\n')) || line.endsWith(QLatin1Char('\r'))) line.chop(1);
    return line;
}

XButton *makeButton(QWidget *parent, const QString &name, const QString &caption, int left, int top, int width,
                    int height)
{
    auto *b = new XButton(parent, name);
    b->setBackColor(vb::kLightGrey);
    b->setForeColor(vb::kDarkGreyText);
    b->setMouseOnColor(vb::kWhite);
    b->setMouseDownColor(vb::kSilver);
    b->setStyleColor(vb::kBlack);
    b->Move(left, top, width, height);
    b->setCaption(caption);
    return b;
}

FTextBox *makeTextBox(QWidget *parent, const QString &name, int left, int top, int width, bool password = false)
{
    auto *t = new FTextBox(parent, name);
    t->Move(left, top, width, FTextBox::FixedHeight);
    if (password) t->setPasswordChar(QStringLiteral("*"));
    return t;
}

vb::PictureBox *makePicture(QWidget *parent, const QString &name, const QString &file, int left, int top, int width,
                            int height, long back)
{
    auto *p = new vb::PictureBox(parent, name);
    p->setBorderStyle(0);
    p->setBackColor(back);
    p->setFocusPolicy(Qt::NoFocus);
    p->Move(left, top, width, height);
    p->setPicture(vb::LoadPicture(AppPath + QStringLiteral("Images/Window/") + file));
    return p;
}

}  // namespace

void Frm_Login::SetExitHandler(std::function<void()> handler) { exitHandler() = std::move(handler); }

Frm_Login::Frm_Login() : vb::Form(QStringLiteral("Frm_Login"))
{
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setCaption(DesignCaption());
    setBackColor(vb::kWhite);
    setFixedSize(vb::toPx(6750), vb::toPx(5640));
}

Frm_Login::~Frm_Login() = default;

void Frm_Login::CreateControls()
{
    QWidget *c = client();
    setCaption(DesignCaption());

    Pic_Logo = makePicture(c, QStringLiteral("Pic_Logo"), QStringLiteral("Login_Logo.jpg"), 0, 0, 6750, 1050,
                           vb::kTitleBarBlue);

    // The two frames slide inside this box; the one below its bottom is out of view.
    auto *host = new vb::PictureBox(c, QStringLiteral("Pic_FrameHost"));
    host->setBorderStyle(0);
    host->setBackColor(vb::kWhite);
    host->setFocusPolicy(Qt::NoFocus);
    host->Move(0, 1050, 6750, 3750);
    Pic_FrameHost = host;
    CreateLoginFrame(host);
    CreateServerFrame(host);

    // ---- bottom strip
    auto *line = new vb::LineControl(c, QStringLiteral("Line_Split"));
    line->setBorderColor(vb::kLightGrey);
    line->setLine(0, 4800, 6750, 4800);
    Line_Split = line;
    Lbl_Version = DialogLabel(c, QStringLiteral("Lbl_Version"), QStringLiteral("Version"), 360, 5100, vb::kGrey);
    Cmd_Login = makeButton(c, QStringLiteral("Cmd_Login"), QStringLiteral("登录"), 3855, 5040, 1215, 375);
    Cmd_Exit = makeButton(c, QStringLiteral("Cmd_Exit"), QStringLiteral("退出"), 5175, 5040, 1215, 375);

    Timer = new vb::Timer(this, QStringLiteral("Timer"), 1, false);

    // Keyboard order: user name, password, login, exit.
    setTabOrder(Cmb_UID.peek(), Txt_Password.peek());

    ConnectControls();
}

void Frm_Login::CreateLoginFrame(vb::PictureBox *host)
{
    auto *fl = new vb::Frame(host, QStringLiteral("Frmae_Login"));
    fl->setBackColor(vb::kWhite);
    fl->Move(360, FrameRestTop, 6030, 3270);
    Frmae_Login = fl;
    Pic_TipLogin = makePicture(fl, QStringLiteral("Pic_TipLogin"), QStringLiteral("Login_TipLogin.png"), 240, 240, 360,
                               360, vb::kWhite);
    Lbl_TipLogin = DialogLabel(fl, QStringLiteral("Lbl_TipLogin"), QStringLiteral("登录 Login"), 720, 285, vb::kNavy);
    Lbl_TipLogin->setFontBold(true);
    Lbl_TipLogin->setFontSize(10.5);
    Lbl_UID = DialogLabel(fl, QStringLiteral("Lbl_UID"), QStringLiteral("用户名"), 720, 1150);
    auto *cmb = new FCombo(fl, QStringLiteral("Cmb_UID"));
    cmb->Move(1680, 1080, 3600);
    Cmb_UID = cmb;
    Lbl_Password = DialogLabel(fl, QStringLiteral("Lbl_Password"), QStringLiteral("密    码"), 720, 1770);
    Txt_Password = makeTextBox(fl, QStringLiteral("Txt_Password"), 1680, 1740, 3600, true);
    Pic_GoSQLSet = makePicture(fl, QStringLiteral("Pic_GoSQLSet"), QStringLiteral("Login_GoSQLSet.png"), 1680, 2505,
                               180, 180, vb::kWhite);
    Lbl_GoSQLSet =
        DialogLabel(fl, QStringLiteral("Lbl_GoSQLSet"), QStringLiteral("服务器设置..."), 1905, 2460, vb::kLinkBlue);
    Lbl_GoSQLSet->setCursor(Qt::PointingHandCursor);
    Lbl_ForgetPWD =
        DialogLabel(fl, QStringLiteral("Lbl_ForgetPWD"), QStringLiteral("忘记密码？"), 4290, 2460, vb::kLinkBlue);
    Lbl_ForgetPWD->setCursor(Qt::PointingHandCursor);
}

void Frm_Login::CreateServerFrame(vb::PictureBox *host)
{
    auto *fs = new vb::Frame(host, QStringLiteral("Frmae_SQLServer"));
    fs->setBackColor(vb::kWhite);
    fs->Move(360, FrameBelowTop, 6030, 3270);
    Frmae_SQLServer = fs;
    Pic_TipSQL = makePicture(fs, QStringLiteral("Pic_TipSQL"), QStringLiteral("Login_TipSQL.png"), 240, 240, 360, 360,
                             vb::kWhite);
    Lbl_TipSQL = DialogLabel(fs, QStringLiteral("Lbl_TipSQL"), QStringLiteral("数据库连接设置"), 720, 285, vb::kNavy);
    Lbl_TipSQL->setFontBold(true);
    Lbl_TipSQL->setFontSize(10.5);
    Lbl_SQLServer = DialogLabel(fs, QStringLiteral("Lbl_SQLServer"), QStringLiteral("服务器"), 720, 870);
    Txt_SQLServer = makeTextBox(fs, QStringLiteral("Txt_SQLServer"), 1680, 840, 3600);
    Lbl_SQLUID = DialogLabel(fs, QStringLiteral("Lbl_SQLUID"), QStringLiteral("用户名"), 720, 1350);
    Txt_SQLUID = makeTextBox(fs, QStringLiteral("Txt_SQLUID"), 1680, 1320, 3600);
    Lbl_SQLPassword = DialogLabel(fs, QStringLiteral("Lbl_SQLPassword"), QStringLiteral("密    码"), 720, 1830);
    Txt_SQLPassword = makeTextBox(fs, QStringLiteral("Txt_SQLPassword"), 1680, 1800, 3600, true);
    Lbl_SQLDB = DialogLabel(fs, QStringLiteral("Lbl_SQLDB"), QStringLiteral("数据库"), 720, 2310);
    Txt_SQLDB = makeTextBox(fs, QStringLiteral("Txt_SQLDB"), 1680, 2280, 3600);
    Cmd_SQLBack = makeButton(fs, QStringLiteral("Cmd_SQLBack"), QStringLiteral("返回登录框"), 3960, 2760, 1320, 375);
}

void Frm_Login::ConnectControls()
{
    connect(Cmd_Login.peek(), &XButton::Click, this, &Frm_Login::Cmd_Login_Click);
    connect(Cmd_Exit.peek(), &XButton::Click, this, &Frm_Login::Cmd_Exit_Click);
    connect(Cmd_SQLBack.peek(), &XButton::Click, this, &Frm_Login::Cmd_SQLBack_Click);
    connect(Lbl_GoSQLSet.peek(), &vb::Label::Click, this, &Frm_Login::Lbl_GoSQLSet_Click);
    connect(Lbl_ForgetPWD.peek(), &vb::Label::Click, this, &Frm_Login::Lbl_ForgetPWD_Click);
    connect(Timer.peek(), &vb::Timer::Tick, this, &Frm_Login::Timer_Timer);
    connect(Txt_Password.peek(), &FTextBox::KeyPress, this, &Frm_Login::Txt_Password_KeyPress);
    connect(Cmb_UID.peek(), &FCombo::Change, this, &Frm_Login::Cmb_UID_Change);
    connect(Cmb_UID.peek(), &FCombo::GotFocus, this, &Frm_Login::Cmb_UID_GotFocus);

    // Link hover: a move over a link sets its look, a move over the frame resets both.
    auto linkHover = [](vb::Label *l) {
        l->setFontItalic(true);
        l->setFontUnderline(true);
    };
    auto linkReset = [](vb::Label *l) {
        l->setFontItalic(false);
        l->setFontUnderline(false);
    };
    connect(Lbl_GoSQLSet.peek(), &vb::Label::MouseMove, this,
            [this, linkHover](int &, int &, float &, float &) { linkHover(Lbl_GoSQLSet.peek()); });
    connect(Lbl_ForgetPWD.peek(), &vb::Label::MouseMove, this,
            [this, linkHover](int &, int &, float &, float &) { linkHover(Lbl_ForgetPWD.peek()); });
    connect(Frmae_Login.peek(), &vb::Frame::MouseMove, this, [this, linkReset](int &, int &, float &, float &) {
        linkReset(Lbl_GoSQLSet.peek());
        linkReset(Lbl_ForgetPWD.peek());
    });
}

void Frm_Login::ControlsDestroyed() { m_curFrame = LoginFrame; }

void Frm_Login::Form_Load()
{
    setCaption(DesignCaption() + QLatin1Char(' ') + AppVersion);
    Lbl_Version->setCaption(Lbl_Version->Caption() + QLatin1Char(' ') + AppVersion);

    Frmae_Login->setTop(FrameRestTop);
    Frmae_SQLServer->setTop(FrameBelowTop);
    m_curFrame = LoginFrame;

    Timer->setEnabled(false);
    Timer->setInterval(1);

    LoadUIDList();
    LoadSQLSet();

    if (Cmb_UID->ListCount() > 0) Cmb_UID->setListIndex(Cmb_UID->ListCount() - 1);

    CloseConnectionIfOpen();
}

void Frm_Login::CloseConnectionIfOpen()
{
    try {
        if (SQLConn().State() != ado::adStateClosed) SQLConn().Close();
    } catch (...) {
        // A connection that fails to close is gone all the same: the login opens a new one.
    }
}

// ---- settings files

void Frm_Login::LoadUIDList()
{
    QFile f(settingsFile(QStringLiteral("UIDList.ini")));
    if (!f.open(QIODevice::ReadOnly)) return;
    int added = 0;
    while (!f.atEnd() && added < 10) {
        const QString name = vb::Trim(chopLineBreak(QString::fromUtf8(f.readLine())));
        if (name.isEmpty()) continue;
        Cmb_UID->AddItem(name);
        ++added;
    }
}

void Frm_Login::SaveUIDList(const QString &UserName)
{
    const QString name = vb::Trim(UserName);
    QFile f(settingsFile(QStringLiteral("UIDList.ini")));
    if (!f.open(QIODevice::ReadOnly)) return;  // never created: the name is then not remembered
    bool endsWithBreak = true;
    while (!f.atEnd()) {
        const QByteArray raw = f.readLine();
        endsWithBreak = raw.endsWith('\n');
        const QString line = vb::Trim(chopLineBreak(QString::fromUtf8(raw)));
        if (line.compare(name, Qt::CaseInsensitive) == 0) return;
    }
    f.close();
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append)) return;
    QByteArray out;
    // A last line written without its break would run into the new name.
    if (!endsWithBreak && f.size() > 0) out += "\r\n";
    out += name.toUtf8() + "\r\n";
    f.write(out);
}

void Frm_Login::LoadSQLSet()
{
    QFile f(settingsFile(QStringLiteral("Server.ini")));
    if (!f.open(QIODevice::ReadOnly)) return;
    if (f.atEnd()) return;
    const QString line = chopLineBreak(QString::fromUtf8(f.readLine()));
    if (line.isEmpty()) return;
    const QStringList fields = line.split(QLatin1Char('|'));
    if (fields.size() < 4) return;
    Txt_SQLServer->setText(vb::Trim(fields.at(0)));
    Txt_SQLUID->setText(vb::Trim(fields.at(1)));
    Txt_SQLPassword->setText(vb::Trim(fields.at(2)));
    Txt_SQLDB->setText(vb::Trim(fields.at(3)));
}

QString Frm_Login::SaveSQLSet(const QString &Server, const QString &LoginName, const QString &Password,
                              const QString &Database)
{
    // The line holds the server password in clear: the file is its owner's
    // alone, made so, or made so before the new line goes in. A file whose
    // mode can't be changed is left as it is.
    constexpr QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    QFile f(settingsFile(QStringLiteral("Server.ini")));
    // Settings typed in the server frame and then lost would only show at
    // the next login, as "请完善服务器配置信息！": the clerk is told now, and where.
    const auto notWritten = [&f] {
        return QStringLiteral("服务器设置未能保存到文件“%1”：%2\r\n下次登录时需要重新输入服务器设置。")
            .arg(QDir::toNativeSeparators(f.fileName()), f.errorString());
    };
    if (f.exists() && !f.setPermissions(ownerOnly)) return notWritten();
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate, ownerOnly)) return notWritten();
    const QByteArray line = (Server + QLatin1Char('|') + LoginName + QLatin1Char('|') + Password + QLatin1Char('|')
                             + Database + QStringLiteral("\r\n"))
                                .toUtf8();
    if (f.write(line) != line.size() || !f.flush()) return notWritten();
    return QString();
}

// ---- login

void Frm_Login::Cmd_Login_Click()
{
    CurUID = vb::Trim(Cmb_UID->Text());
    const QString password = Txt_Password->Text();
    SQLServer = vb::Trim(Txt_SQLServer->Text());
    SQLUID = vb::Trim(Txt_SQLUID->Text());
    SQLPassword = vb::Trim(Txt_SQLPassword->Text());
    SQLDB = vb::Trim(Txt_SQLDB->Text());

    QString problem;
    if (CurUID.isEmpty())
        problem = QStringLiteral("用户名不能为空！");
    else if (password.isEmpty())
        problem = QStringLiteral("密码不能为空！");
    else if (SQLServer.isEmpty() || SQLUID.isEmpty() || SQLPassword.isEmpty() || SQLDB.isEmpty())
        problem = QStringLiteral("请完善服务器配置信息！");
    // Server.ini separates its four fields by "|": a value holding one would
    // be split at the next start ("p|w" read as password "p", database "w").
    else if ((SQLServer + SQLUID + SQLPassword + SQLDB).contains(QLatin1Char('|')))
        problem = QStringLiteral("服务器配置信息中不能含有字符“|”！");
    if (!problem.isEmpty()) {
        ShowNotice(problem, QStringLiteral("提示"));
        Txt_Password->SetFocus();
        return;
    }

    try {
        OpenSQLConnection(SQLConn(), SQLServer, SQLUID, SQLPassword, SQLDB);
        if (!CheckLogin(CurUID, password)) {
            // The accounts could not be read: said as the database says it, not as a wrong password.
            const QString unread = CheckReadError();
            if (unread.isEmpty())
                ShowMsgBox(CheckLoginRefusal().isEmpty() ? QStringLiteral("用户名或密码错误！") : CheckLoginRefusal(),
                           QStringLiteral("x"), QStringLiteral("登录失败"));
            else
                ShowErrorText(unread);
        } else {
            // The login stands, but the clerk learns now, not at the first
            // save, that this database keeps nothing.
            if (!CheckLoginWriteError().isEmpty())
                ShowMsgBox(QStringLiteral("登录成功，但本次登录未能记入数据库：") + QStringLiteral("\r\n")
                               + CheckLoginWriteError(),
                           QStringLiteral("!"), QStringLiteral("提示"));
            SaveUIDList(CurUID);
            const QString unsaved = SaveSQLSet(SQLServer, SQLUID, SQLPassword, SQLDB);
            if (!unsaved.isEmpty()) ShowMsgBox(unsaved, QStringLiteral("!"), QStringLiteral("提示"));
            if (SQLConn().State() == ado::adStateOpen) {
                Unload();
                vb::Default<Frm_Main>().Show(vb::vbModeless);
                return;
            }
            ShowErrorText(QStringLiteral("数据库状态错误！"));
        }
        Txt_Password->SetFocus();
        CloseConnectionIfOpen();
    } catch (const std::exception &e) {
        ShowError(e);
        CloseConnectionIfOpen();
    }
}

void Frm_Login::Txt_Password_KeyPress(int &KeyAscii)
{
    if (KeyAscii == 13) Cmd_Login_Click();
}

void Frm_Login::Cmd_Exit_Click()
{
    if (exitHandler()) exitHandler()();
}

void Frm_Login::Lbl_ForgetPWD_Click()
{
    SQLServer = vb::Trim(Txt_SQLServer->Text());
    SQLUID = vb::Trim(Txt_SQLUID->Text());
    SQLPassword = vb::Trim(Txt_SQLPassword->Text());
    SQLDB = vb::Trim(Txt_SQLDB->Text());
    try {
        OpenSQLConnection(SQLConn(), SQLServer, SQLUID, SQLPassword, SQLDB);
        if (vb::Form *find = ChildForm(QStringLiteral("Frm_FindPassword")))
            find->Show(vb::vbModal);
        else
            CloseConnectionIfOpen();  // no retrieval window in this build: leave nothing open
    } catch (const std::exception &e) {
        ShowError(e);
        CloseConnectionIfOpen();
    }
}

// ---- remembered names

void Frm_Login::Cmb_UID_Change()
{
    const QString text = Cmb_UID->Text();
    for (int i = 0; i < Cmb_UID->ListCount(); ++i) {
        if (Cmb_UID->List(i).compare(text, Qt::CaseInsensitive) == 0) {
            Cmb_UID->setListIndex(i);
            Cmb_UID->SelAll();
        }
    }
}

void Frm_Login::Cmb_UID_GotFocus() { Cmb_UID->SelAll(); }

// ---- slide between the frames

void Frm_Login::Lbl_GoSQLSet_Click() { Timer->setEnabled(true); }

void Frm_Login::Cmd_SQLBack_Click() { Timer->setEnabled(true); }

void Frm_Login::Timer_Timer()
{
    if (m_curFrame == LoginFrame) {
        const int step = qMin(SlideStep, Frmae_SQLServer->Top() - FrameRestTop);
        Frmae_Login->setTop(Frmae_Login->Top() - step);
        Frmae_SQLServer->setTop(Frmae_SQLServer->Top() - step);
        if (Frmae_SQLServer->Top() <= FrameRestTop) {
            m_curFrame = SQLServerFrame;
            Timer->setEnabled(false);
        }
    } else {
        const int step = qMin(SlideStep, FrameRestTop - Frmae_Login->Top());
        Frmae_Login->setTop(Frmae_Login->Top() + step);
        Frmae_SQLServer->setTop(Frmae_SQLServer->Top() + step);
        if (Frmae_Login->Top() >= FrameRestTop) {
            m_curFrame = LoginFrame;
            Timer->setEnabled(false);
        }
    }
}
