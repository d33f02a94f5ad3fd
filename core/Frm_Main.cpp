#include "core/Frm_Main.h"

#include "core/Mdl_API.h"

#include "core/ChildFormSwitch.h"
#include "core/Frm_Login.h"
#include "core/Frm_Welcome.h"
#include "core/Mdl_ComVarList.h"
#include "core/Mdl_SQLConnection.h"
#include "ui/Colors.h"
#include "ui/Runtime.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>

namespace {

std::function<void()> &endHandler()
{
    static std::function<void()> h = [] { QCoreApplication::quit(); };
    return h;
}

QString windowPicture(const QString &file) { return AppPath + QStringLiteral("Images/Window/") + file; }

vb::PictureBox *makeBox(QWidget *parent, const QString &name, long back)
{
    auto *p = new vb::PictureBox(parent, name);
    p->setBorderStyle(0);
    p->setBackColor(back);
    p->setFocusPolicy(Qt::NoFocus);
    return p;
}

vb::Label *makeLabel(QWidget *parent, const QString &name, const QString &caption, long fore,
                     const QString &tip = QString())
{
    auto *l = new vb::Label(parent, name, caption);
    l->setBackStyle(vb::vbTransparent);
    l->setForeColor(fore);
    l->setAutoSize(true);
    if (!tip.isEmpty()) l->setToolTipText(tip);
    return l;
}

struct ButtonColors {
    long back, fore, mouseOn, mouseDown, style;
};

XButton *makeButton(QWidget *parent, const QString &name, const QString &caption, const QString &tip,
                    const ButtonColors &c, bool keepDefaultFore = false)
{
    auto *b = new XButton(parent, name);
    b->setBackColor(c.back);
    if (!keepDefaultFore) b->setForeColor(c.fore);
    b->setMouseOnColor(c.mouseOn);
    b->setMouseDownColor(c.mouseDown);
    b->setStyleColor(c.style);
    b->setCaption(caption);
    if (!tip.isEmpty()) b->setToolTip(tip);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

vb::Shape *makePanelFrame(QWidget *parent, const QString &name, int left, int width)
{
    auto *s = new vb::Shape(parent, name);
    s->setBorderColor(vb::kSilver);
    s->Move(left, 30, width, 300);
    return s;
}

}  // namespace

void Frm_Main::SetEndHandler(std::function<void()> handler) { endHandler() = std::move(handler); }

// ---------------------------------------------------------------- status-bar tip

void ShowSBarTip(const QString &TipText)
{
    Frm_Main &m = vb::Default<Frm_Main>();
    if (TipText.isEmpty()) {
        m.Pic_SBarTip->setVisible(false);
        m.Lbl_SBarTip->setCaption(QString());
        m.Lbl_SBarTip->setLeft(m.Pic_SBarTipBack->Width());
        return;
    }
    m.Pic_SBarTip->setVisible(true);
    m.Lbl_SBarTip->setForeColor(vb::kRed);
    m.Lbl_SBarTip->setCaption(vb::Trim(TipText));
    m.Lbl_SBarTip->setLeft(m.Pic_SBarTipBack->Width());
    m.Timer_Tip->setEnabled(true);
}

// ---------------------------------------------------------------- window

Frm_Main::Frm_Main() : vb::Form(QStringLiteral("Frm_Main"))
{
    setCaption(DesignCaption());
    resize(vb::toPx(15360), vb::toPx(10800));
}

Frm_Main::~Frm_Main() = default;

void Frm_Main::CreateControls()
{
    setCaption(DesignCaption());
    CreateMenus();
    QWidget *c = client();
    // Docked in this order: tool bar across the top, status bar across the
    // bottom, navigator bar down the left of what remains.
    CreateToolBar(c);
    CreateStatusBar(c);
    CreateNavigatorBar(c);

    auto *area = new QWidget(c);
    area->setObjectName(QStringLiteral("ChildArea"));
    area->setAutoFillBackground(true);
    QPalette pal = area->palette();
    pal.setColor(QPalette::Window, vb::toQColor(vb::kChildAreaGrey));
    area->setPalette(pal);
    area->show();
    vb::DockFill(area);
    ChildArea = area;

    Timer = new vb::Timer(this, QStringLiteral("Timer"), 1000, true);
    Timer_Tip = new vb::Timer(this, QStringLiteral("Timer_Tip"), 1, false);
    connect(Timer.peek(), &vb::Timer::Tick, this, &Frm_Main::Timer_Timer);
    connect(Timer_Tip.peek(), &vb::Timer::Tick, this, &Frm_Main::Timer_Tip_Timer);
}

namespace {

using vb::MenuItem;

// An item of `parent` whose choice runs `handler` of the main window.
MenuItem *menuItem(Frm_Main *form, MenuItem *parent, const QString &name, const QString &caption,
                   void (Frm_Main::*handler)(), const QKeySequence &key = QKeySequence())
{
    auto *m = new MenuItem(parent, name, caption, key);
    if (handler) QObject::connect(m, &MenuItem::Click, form, handler);
    return m;
}

MenuItem *menuSplit(MenuItem *parent, const QString &name) { return new MenuItem(parent, name, QStringLiteral("-")); }

}  // namespace

void Frm_Main::CreateMenus()
{
    CreateFileMenu();
    CreateViewMenu();
    CreateBaseCtrlMenu();
    CreateDataMagMenu();
    CreateSecurityMenu();
    CreateHelpMenu();
}

void Frm_Main::CreateFileMenu()
{
    Menu_File = new MenuItem(this, QStringLiteral("Menu_File"), QStringLiteral("文件(&F)"));
    MenuItem *menu = Menu_File.peek();
    Menu_File_Logout = menuItem(this, menu, QStringLiteral("Menu_File_Logout"), QStringLiteral("注销(&L)"),
                                &Frm_Main::Menu_File_Logout_Click);
    Menu_File_SwapUser = menuItem(this, menu, QStringLiteral("Menu_File_SwapUser"), QStringLiteral("切换用户(&S)..."),
                                  &Frm_Main::Menu_File_SwapUser_Click);
    Menu_File_Split1 = menuSplit(menu, QStringLiteral("Menu_File_Split1"));
    Menu_File_DBClear = menuItem(this, menu, QStringLiteral("Menu_File_DBClear"), QStringLiteral("清理数据库(&C)..."),
                                 &Frm_Main::Menu_File_DBClear_Click);
    Menu_File_DBBackup = menuItem(this, menu, QStringLiteral("Menu_File_DBBackup"), QStringLiteral("备份数据库(&B)..."),
                                  &Frm_Main::Menu_File_DBBackup_Click);
    Menu_File_DBRecover = menuItem(this, menu, QStringLiteral("Menu_File_DBRecover"),
                                   QStringLiteral("恢复数据库(&R)..."), &Frm_Main::Menu_File_DBRecover_Click);
    Menu_File_Split2 = menuSplit(menu, QStringLiteral("Menu_File_Split2"));
    Menu_File_Exit = menuItem(this, menu, QStringLiteral("Menu_File_Exit"), QStringLiteral("退出(&X)"),
                              &Frm_Main::Menu_File_Exit_Click);
}

void Frm_Main::CreateViewMenu()
{
    Menu_View = new MenuItem(this, QStringLiteral("Menu_View"), QStringLiteral("视图(&V)"));
    MenuItem *menu = Menu_View.peek();
    Menu_View_ToolBar = menuItem(this, menu, QStringLiteral("Menu_View_ToolBar"), QStringLiteral("工具栏(&T)"),
                                 &Frm_Main::Menu_View_ToolBar_Click);
    Menu_View_NavigatorBar = menuItem(this, menu, QStringLiteral("Menu_View_NavigatorBar"),
                                      QStringLiteral("导航栏(&N)"), &Frm_Main::Menu_View_NavigatorBar_Click);
    Menu_View_StatusBar = menuItem(this, menu, QStringLiteral("Menu_View_StatusBar"), QStringLiteral("状态栏(&S)"),
                                   &Frm_Main::Menu_View_StatusBar_Click);
    Menu_View_ToolBar->setChecked(true);
    Menu_View_NavigatorBar->setChecked(true);
    Menu_View_StatusBar->setChecked(true);
}

void Frm_Main::CreateBaseCtrlMenu()
{
    Menu_BaseCtrl = new MenuItem(this, QStringLiteral("Menu_BaseCtrl"), QStringLiteral("基本操作(&C)"));
    MenuItem *menu = Menu_BaseCtrl.peek();
    Menu_BaseCtrl_BorrowBook =
        menuItem(this, menu, QStringLiteral("Menu_BaseCtrl_BorrowBook"), QStringLiteral("借书(&B)"),
                 &Frm_Main::Menu_BaseCtrl_BorrowBook_Click, QKeySequence(Qt::Key_F1));
    Menu_BaseCtrl_ReturnBook =
        menuItem(this, menu, QStringLiteral("Menu_BaseCtrl_ReturnBook"), QStringLiteral("还书(&R)"),
                 &Frm_Main::Menu_BaseCtrl_ReturnBook_Click, QKeySequence(Qt::Key_F2));
    Menu_BaseCtrl_Split = menuSplit(menu, QStringLiteral("Menu_BaseCtrl_Split"));
    Menu_BaseCtrl_Query = menuItem(this, menu, QStringLiteral("Menu_BaseCtrl_Query"), QStringLiteral("查询(&Q)"),
                                   &Frm_Main::Menu_BaseCtrl_Query_Click, QKeySequence(Qt::Key_F3));
    Menu_BaseCtrl_Statistics =
        menuItem(this, menu, QStringLiteral("Menu_BaseCtrl_Statistics"), QStringLiteral("统计(&S)"),
                 &Frm_Main::Menu_BaseCtrl_Statistics_Click, QKeySequence(Qt::Key_F4));
}

void Frm_Main::CreateDataMagMenu()
{
    Menu_DataMag = new MenuItem(this, QStringLiteral("Menu_DataMag"), QStringLiteral("资料管理(&M)"));
    MenuItem *menu = Menu_DataMag.peek();
    Menu_DataMag_BookDoc =
        menuItem(this, menu, QStringLiteral("Menu_DataMag_BookDoc"), QStringLiteral("图书档案管理(&B)"),
                 &Frm_Main::Menu_DataMag_BookDoc_Click, QKeySequence(Qt::Key_F5));
    Menu_DataMag_BookStore = menuItem(this, menu, QStringLiteral("Menu_DataMag_BookStore"),
                                      QStringLiteral("图书库存管理(&S)"), &Frm_Main::Menu_DataMag_BookStore_Click);
    Menu_DataMag_BookDamage = menuItem(this, menu, QStringLiteral("Menu_DataMag_BookDamage"),
                                       QStringLiteral("图书损坏管理(&D)"), &Frm_Main::Menu_DataMag_BookDamage_Click);
    Menu_DataMag_Split1 = menuSplit(menu, QStringLiteral("Menu_DataMag_Split1"));
    Menu_DataMag_ReaderDoc =
        menuItem(this, menu, QStringLiteral("Menu_DataMag_ReaderDoc"), QStringLiteral("读者档案管理(&R)"),
                 &Frm_Main::Menu_DataMag_ReaderDoc_Click, QKeySequence(Qt::Key_F6));
    Menu_DataMag_ReaderType = menuItem(this, menu, QStringLiteral("Menu_DataMag_ReaderType"),
                                       QStringLiteral("读者类别管理(&T)"), &Frm_Main::Menu_DataMag_ReaderType_Click);
    Menu_DataMag_ReaderDeposit =
        menuItem(this, menu, QStringLiteral("Menu_DataMag_ReaderDeposit"), QStringLiteral("读者充值管理(&C)"),
                 &Frm_Main::Menu_DataMag_ReaderDeposit_Click);
    Menu_DataMag_Split2 = menuSplit(menu, QStringLiteral("Menu_DataMag_Split2"));
    Menu_DataMag_PressDoc = menuItem(this, menu, QStringLiteral("Menu_DataMag_PressDoc"),
                                     QStringLiteral("出版社信息管理(&P)"), &Frm_Main::Menu_DataMag_PressDoc_Click);
    Menu_DataMag_LabDoc = menuItem(this, menu, QStringLiteral("Menu_DataMag_LabDoc"),
                                   QStringLiteral("图书馆信息设置(&L)"), &Frm_Main::Menu_DataMag_LabDoc_Click);
}

void Frm_Main::CreateSecurityMenu()
{
    Menu_Security = new MenuItem(this, QStringLiteral("Menu_Security"), QStringLiteral("安全选项(&S)"));
    MenuItem *menu = Menu_Security.peek();
    Menu_Security_LockApp =
        menuItem(this, menu, QStringLiteral("Menu_Security_LockApp"), QStringLiteral("锁定系统(&L)..."),
                 &Frm_Main::Menu_Security_LockApp_Click, QKeySequence(Qt::CTRL | Qt::Key_L));
    Menu_Security_Split1 = menuSplit(menu, QStringLiteral("Menu_Security_Split1"));
    Menu_Security_AccountMag = menuItem(this, menu, QStringLiteral("Menu_Security_AccountMag"),
                                        QStringLiteral("账户管理(&A)"), &Frm_Main::Menu_Security_AccountMag_Click);
    Menu_Security_AccountType = menuItem(this, menu, QStringLiteral("Menu_Security_AccountType"),
                                         QStringLiteral("账户权限(&T)"), &Frm_Main::Menu_Security_AccountType_Click);
    Menu_Security_Split2 = menuSplit(menu, QStringLiteral("Menu_Security_Split2"));
    Menu_Security_LogInfo = menuItem(this, menu, QStringLiteral("Menu_Security_LogInfo"),
                                     QStringLiteral("账户最近登录信息(&I)"), &Frm_Main::Menu_Security_LogInfo_Click);
}

void Frm_Main::CreateHelpMenu()
{
    Menu_Help = new MenuItem(this, QStringLiteral("Menu_Help"), QStringLiteral("帮助(&H)"));
    MenuItem *menu = Menu_Help.peek();
    Menu_Help_Content = menuItem(this, menu, QStringLiteral("Menu_Help_Content"), QStringLiteral("内容(&C)..."),
                                 &Frm_Main::Menu_Help_Content_Click, QKeySequence(Qt::CTRL | Qt::Key_F1));
    Menu_Help_Manual = menuItem(this, menu, QStringLiteral("Menu_Help_Manual"), QStringLiteral("用户手册(&U)..."),
                                &Frm_Main::Menu_Help_Manual_Click, QKeySequence(Qt::CTRL | Qt::Key_F2));
    Menu_Help_Split = menuSplit(menu, QStringLiteral("Menu_Help_Split"));
    Menu_Help_About = menuItem(this, menu, QStringLiteral("Menu_Help_About"), QStringLiteral("关于(&A)..."),
                               &Frm_Main::Menu_Help_About_Click, QKeySequence(Qt::CTRL | Qt::Key_F5));
}

void Frm_Main::CreateToolBar(QWidget *c)
{
    auto *bar = makeBox(c, QStringLiteral("Pic_ToolBar"), vb::kLightGrey);
    bar->setHeight(360);
    bar->setAlign(vb::vbAlignTop);
    Pic_ToolBar = bar;

    CreateTBarLabGroup(bar);
    CreateTBarUserGroup(bar);
    CreateTBarHelpGroup(bar);

    // Separators between the groups.
    auto *split1 = new vb::LineControl(bar, QStringLiteral("Line_TBarSplit1"));
    split1->setBorderColor(vb::kGrey);
    split1->setLine(3240, 45, 3240, 315);
    split1->raise();
    Line_TBarSplit1 = split1;
    auto *split2 = new vb::LineControl(bar, QStringLiteral("Line_TBarSplit2"));
    split2->setBorderColor(vb::kGrey);
    split2->setLine(8160, 45, 8160, 315);
    split2->raise();
    Line_TBarSplit2 = split2;

    ConnectToolBar();
}

// Library name.
void Frm_Main::CreateTBarLabGroup(vb::PictureBox *bar)
{
    auto *sub1 = makeBox(bar, QStringLiteral("Pic_TBarSub1"), vb::kLightGrey);
    sub1->Move(0, 0, 3255, 360);
    Pic_TBarSub1 = sub1;
    auto *symbol = makeBox(sub1, QStringLiteral("Pic_TBarSymbol"), vb::kLightGrey);
    symbol->Move(120, 60, 240, 240);
    symbol->setPicture(vb::LoadPicture(windowPicture(QStringLiteral("TBar_Symbol.png"))));
    Pic_TBarSymbol = symbol;
    Lbl_TBarLabName = makeLabel(sub1, QStringLiteral("Lbl_TBarLabName"), QStringLiteral("图书馆"), vb::kGrey,
                                QStringLiteral("图书馆信息[单击更改]"));
    Lbl_TBarLabName->Move(450, 52);
    Lbl_TBarLabName->setCursor(Qt::PointingHandCursor);
}

// Current user and the session buttons.
void Frm_Main::CreateTBarUserGroup(vb::PictureBox *bar)
{
    auto *sub2 = makeBox(bar, QStringLiteral("Pic_TBarSub2"), vb::kLightGrey);
    sub2->Move(3240, 0, 4935, 360);
    Pic_TBarSub2 = sub2;
    auto *uidPic = makeBox(sub2, QStringLiteral("Pic_TBarUID"), vb::kLightGrey);
    uidPic->Move(150, 60, 240, 240);
    uidPic->setPicture(vb::LoadPicture(windowPicture(QStringLiteral("TBar_UID.png"))));
    Pic_TBarUID = uidPic;
    Lbl_TBarUID = makeLabel(sub2, QStringLiteral("Lbl_TBarUID"), QString(), vb::kGrey, QStringLiteral("当前登录账户"));
    Lbl_TBarUID->Move(480, 52);
    Lbl_TBarUID->setCursor(Qt::PointingHandCursor);
    const ButtonColors tbar{vb::kLightGrey, vb::kGrey, vb::kWhite, vb::kSilver, vb::kBlack};
    Cmd_TBarSwapUser = makeButton(sub2, QStringLiteral("Cmd_TBarSwapUser"), QStringLiteral("切换用户"),
                                  QStringLiteral("切换到其他用户"), tbar);
    Cmd_TBarSwapUser->Move(2655, 30, 960, 300);
    Cmd_TBarLogout = makeButton(sub2, QStringLiteral("Cmd_TBarLogout"), QStringLiteral("注销"),
                                QStringLiteral("注销当前用户"), tbar);
    Cmd_TBarLogout->Move(3660, 30, 600, 300);
    Cmd_TBarLockApp =
        makeButton(sub2, QStringLiteral("Cmd_TBarLockApp"), QStringLiteral("锁定"), QStringLiteral("锁定系统"), tbar);
    Cmd_TBarLockApp->Move(4290, 30, 600, 300);
}

// Help and exit.
void Frm_Main::CreateTBarHelpGroup(vb::PictureBox *bar)
{
    auto *sub3 = makeBox(bar, QStringLiteral("Pic_TBarSub3"), vb::kLightGrey);
    sub3->Move(8160, 0, 855, 360);
    Pic_TBarSub3 = sub3;
    const ButtonColors pict{vb::kLightGrey, vb::kBlack, vb::kWhite, vb::kSilver, vb::kBlack};
    Cmd_TBarHelp = makeButton(sub3, QStringLiteral("Cmd_TBarHelp"), QString(), QStringLiteral("帮助"), pict, true);
    Cmd_TBarHelp->Move(60, 30, 360, 300);
    Cmd_TBarHelp->setPicture(vb::LoadPicture(windowPicture(QStringLiteral("TBar_Help.png"))));
    Cmd_TBarExit = makeButton(sub3, QStringLiteral("Cmd_TBarExit"), QString(), QStringLiteral("退出"), pict, true);
    Cmd_TBarExit->Move(450, 30, 360, 300);
    Cmd_TBarExit->setPicture(vb::LoadPicture(windowPicture(QStringLiteral("TBar_Exit.png"))));
}

void Frm_Main::ConnectToolBar()
{
    connect(Cmd_TBarSwapUser.peek(), &XButton::Click, this, &Frm_Main::Menu_File_SwapUser_Click);
    connect(Cmd_TBarLogout.peek(), &XButton::Click, this, &Frm_Main::Menu_File_Logout_Click);
    connect(Cmd_TBarLockApp.peek(), &XButton::Click, this, &Frm_Main::Menu_Security_LockApp_Click);
    connect(Cmd_TBarHelp.peek(), &XButton::Click, this, &Frm_Main::Menu_Help_Content_Click);
    connect(Cmd_TBarExit.peek(), &XButton::Click, this, &Frm_Main::Menu_File_Exit_Click);
    connect(Lbl_TBarLabName.peek(), &vb::Label::Click, this, &Frm_Main::Menu_DataMag_LabDoc_Click);
    connect(Lbl_TBarUID.peek(), &vb::Label::Click, this, &Frm_Main::Menu_Security_AccountMag_Click);

    // Hover looks: set by a move over the label, reset by a move over its group.
    auto hover = [](vb::Label *l) {
        l->setFontUnderline(true);
        l->setForeColor(vb::kWhite);
    };
    auto reset = [](vb::Label *l) {
        l->setFontUnderline(false);
        l->setForeColor(vb::kGrey);
    };
    connect(Lbl_TBarLabName.peek(), &vb::Label::MouseMove, this,
            [this, hover](int &, int &, float &, float &) { hover(Lbl_TBarLabName.peek()); });
    connect(Pic_TBarSub1.peek(), &vb::PictureBox::MouseMove, this,
            [this, reset](int &, int &, float &, float &) { reset(Lbl_TBarLabName.peek()); });
    connect(Lbl_TBarUID.peek(), &vb::Label::MouseMove, this,
            [this, hover](int &, int &, float &, float &) { hover(Lbl_TBarUID.peek()); });
    connect(Pic_TBarSub2.peek(), &vb::PictureBox::MouseMove, this,
            [this, reset](int &, int &, float &, float &) { reset(Lbl_TBarUID.peek()); });
}

void Frm_Main::CreateNavigatorBar(QWidget *c)
{
    auto *bar = makeBox(c, QStringLiteral("Pic_NavigatorBar"), vb::kLightGrey);
    bar->setWidth(1335);
    bar->setAlign(vb::vbAlignLeft);
    Pic_NavigatorBar = bar;

    auto *title = makeBox(bar, QStringLiteral("Pic_NBarSub1"), vb::kNavy);
    title->Move(0, 0, 1335, 315);
    Pic_NBarSub1 = title;
    Lbl_NBarTitle = makeLabel(title, QStringLiteral("Lbl_NBarTitle"), QStringLiteral("导航栏"), vb::kWhite);
    Lbl_NBarTitle->Move(105, 30);
    Cmd_NBarClose = makeButton(title, QStringLiteral("Cmd_NBarClose"), QStringLiteral("×"),
                               QStringLiteral("关闭导航栏"), {vb::kNavy, vb::kWhite, vb::kNavy, vb::kNavy, vb::kBlack});
    Cmd_NBarClose->Move(1035, 15, 285, 285);

    auto *frame = new vb::Shape(bar, QStringLiteral("Shp_NBarSub2"));
    frame->setBorderColor(vb::kWhite);
    frame->Move(60, 375, 1215, 5000);
    Shp_NBarSub2 = frame;

    const ButtonColors first{vb::kLightGrey, vb::kNavy, vb::kWhite, vb::kSilver, vb::kSlateBlue};
    const ButtonColors rest{vb::kLightGrey, vb::kNavy, vb::vbMenuBar, vb::kSilver, vb::kSlateBlue};
    struct Nav {
        vb::Ctl<XButton> *ctl;
        const char *name;
        QString caption;
        const ButtonColors *colors;
        void (Frm_Main::*handler)();
    };
    const Nav navs[] = {
        {&Cmd_NBarBrwBook, "Cmd_NBarBrwBook", QStringLiteral("借书"), &first,
         &Frm_Main::Menu_BaseCtrl_BorrowBook_Click},
        {&Cmd_NBarReturnBook, "Cmd_NBarReturnBook", QStringLiteral("还书"), &first,
         &Frm_Main::Menu_BaseCtrl_ReturnBook_Click},
        {&Cmd_NBarQuery, "Cmd_NBarQuery", QStringLiteral("查询"), &rest, &Frm_Main::Menu_BaseCtrl_Query_Click},
        {&Cmd_NBarStatistics, "Cmd_NBarStatistics", QStringLiteral("统计"), &rest,
         &Frm_Main::Menu_BaseCtrl_Statistics_Click},
        {&Cmd_NBarBookMag, "Cmd_NBarBookMag", QStringLiteral("图书档案"), &rest, &Frm_Main::Menu_DataMag_BookDoc_Click},
        {&Cmd_NBarReaderMag, "Cmd_NBarReaderMag", QStringLiteral("读者档案"), &rest,
         &Frm_Main::Menu_DataMag_ReaderDoc_Click},
    };
    int top = 480;
    for (const Nav &n : navs) {
        XButton *b = makeButton(bar, QString::fromLatin1(n.name), n.caption, QString(), *n.colors);
        b->Move(120, top, 1095, 480);
        *n.ctl = b;
        connect(b, &XButton::Click, this, n.handler);
        top += 555;
    }

    connect(Cmd_NBarClose.peek(), &XButton::Click, this, &Frm_Main::Cmd_NBarClose_Click);
    connect(bar, &vb::PictureBox::Resize, this, &Frm_Main::Pic_NavigatorBar_Resize);
}

void Frm_Main::CreateStatusBar(QWidget *c)
{
    auto *bar = makeBox(c, QStringLiteral("Pic_StatusBar"), vb::kWhite);
    bar->setHeight(360);
    bar->setAlign(vb::vbAlignBottom);
    Pic_StatusBar = bar;

    Shp_SBarSub1 = makePanelFrame(bar, QStringLiteral("Shp_SBarSub1"), 30, 2700);
    Shp_SBarSub2 = makePanelFrame(bar, QStringLiteral("Shp_SBarSub2"), 2760, 2100);
    Shp_SBarSub3 = makePanelFrame(bar, QStringLiteral("Shp_SBarSub3"), 4890, 2430);
    Shp_SBarSub4 = makePanelFrame(bar, QStringLiteral("Shp_SBarSub4"), 7350, 6000);

    // The server and the database fill their panels and no more: a longer name
    // is cut, the server's at its end, the database's (a file given by its
    // path) at its start, so that the file's own name stays.
    const auto panelLabel = [bar](const QString &name, const QString &tip, vb::Shape *panel, int left,
                                  Qt::TextElideMode cut) {
        vb::Label *l = makeLabel(bar, name, QString(), vb::kDarkGreyText, tip);
        l->setAutoSize(false);
        l->Move(left, 52, panel->Left() + panel->Width() - 90 - left, 255);
        l->setElideMode(cut);
        return l;
    };
    Lbl_SBarSQLServer = panelLabel(QStringLiteral("Lbl_SBarSQLServer"), QStringLiteral("服务器"), Shp_SBarSub1.peek(),
                                   120, Qt::ElideRight);
    Lbl_SBarSQLDB =
        panelLabel(QStringLiteral("Lbl_SBarSQLDB"), QStringLiteral("数据库"), Shp_SBarSub2.peek(), 2850, Qt::ElideLeft);
    Lbl_SBarDate =
        makeLabel(bar, QStringLiteral("Lbl_SBarDate"), QString(), vb::kDarkGreyText, QStringLiteral("系统日期"));
    Lbl_SBarDate->Move(4980, 52);
    Lbl_SBarTime =
        makeLabel(bar, QStringLiteral("Lbl_SBarTime"), QString(), vb::kDarkGreyText, QStringLiteral("系统时间"));
    Lbl_SBarTime->Move(6360, 52);

    // The tip panel: the tip scrolls inside Pic_SBarTipBack, which clips it.
    auto *tipBack = makeBox(bar, QStringLiteral("Pic_SBarTipBack"), vb::kWhite);
    tipBack->Move(7380, 45, 6000, 270);
    Pic_SBarTipBack = tipBack;
    auto *tip = makeBox(tipBack, QStringLiteral("Pic_SBarTip"), vb::kWhite);
    tip->Move(0, 0, 60000, 270);
    tip->setVisible(false);
    Pic_SBarTip = tip;
    Lbl_SBarTip = makeLabel(tip, QStringLiteral("Lbl_SBarTip"), QString(), vb::kDarkGreyText);
    Lbl_SBarTip->Move(6000, 7);

    auto *drag = makeBox(bar, QStringLiteral("Pic_SBarDrag"), vb::kWhite);
    drag->Move(13500, 60, 300, 300);
    drag->setPicture(vb::LoadPicture(windowPicture(QStringLiteral("SBar_Drag.png"))));
    drag->setCursor(Qt::SizeFDiagCursor);
    Pic_SBarDrag = drag;

    connect(bar, &vb::PictureBox::Resize, this, &Frm_Main::Pic_StatusBar_Resize);
}

void Frm_Main::Form_Load()
{
    // The whole screen also when no window manager maximizes the window.
    if (QScreen *scr = screen()) setGeometry(scr->availableGeometry());
    // The window never gets smaller than 900 x 600 pixels.
    InstallMainWndProc(*this);
    InitViewState();
    InitToolBar();
    InitStatusBar();
    Pic_NavigatorBar_Resize();
    Pic_StatusBar_Resize();

    vb::Form::setMdiHost(ChildArea.peek());
    Frm_Welcome &home = vb::Default<Frm_Welcome>();
    home.Show(vb::vbModeless);
    CurForm = &home;

    // Opens maximized: applied when the window is first shown after this load.
    m_openMaximized = true;
}

void Frm_Main::showEvent(QShowEvent *e)
{
    vb::Form::showEvent(e);
    if (m_openMaximized) {
        m_openMaximized = false;
        setWindowState(windowState() | Qt::WindowMaximized);
    }
}

void Frm_Main::InitViewState()
{
    Menu_View_ToolBar->setChecked(true);
    Menu_View_NavigatorBar->setChecked(true);
    Menu_View_StatusBar->setChecked(true);
    Pic_ToolBar->setVisible(true);
    Pic_NavigatorBar->setVisible(true);
    Pic_StatusBar->setVisible(true);
}

void Frm_Main::InitToolBar()
{
    try {
        ado::Recordset rs;
        rs.Open(QStringLiteral("SELECT 图书馆名称 FROM 图书馆信息"), SQLConn(), ado::adOpenKeyset, ado::adLockReadOnly);
        if (!rs.EOF_()) {
            const QVariant name = rs.Fields(QStringLiteral("图书馆名称"));
            if (name.isValid() && !name.isNull()) Lbl_TBarLabName->setCaption(name.toString());
        }
    } catch (const std::exception &) {
        // No name to show: the label keeps what it has.
    }
    if (vb::Len(CurUID) < 14)
        Lbl_TBarUID->setCaption(CurUID);
    else
        Lbl_TBarUID->setCaption(vb::Left(CurUID, 10) + QStringLiteral("..."));
}

void Frm_Main::InitStatusBar()
{
    Lbl_SBarSQLServer->setCaption(SQLServer);
    Lbl_SBarSQLDB->setCaption(SQLDB);
    Lbl_SBarDate->setCaption(vb::Format(vb::Date(), QStringLiteral("yyyy-mm-dd")));
    Lbl_SBarTime->setCaption(vb::Format(vb::Time(), QStringLiteral("hh:nn:ss")));
    Pic_SBarTip->setVisible(false);
    Lbl_SBarTip->setCaption(QString());
    Lbl_SBarTip->setLeft(Pic_SBarTipBack->Width());
}

void Frm_Main::SetHighLightCmd(XButton *cmd)
{
    if (m_highLight) {
        m_highLight->setIfDraw(false);
        m_highLight->setBackColor(vb::kLightGrey);
    }
    if (cmd) {
        cmd->setIfDraw(true);
        cmd->setBackColor(vb::kLightBlue);
    }
    m_highLight = cmd;
}

// ---------------------------------------------------------------- timers and layout

void Frm_Main::Timer_Timer()
{
    Lbl_SBarDate->setCaption(vb::Format(vb::Date(), QStringLiteral("yyyy-mm-dd")));
    Lbl_SBarTime->setCaption(vb::Format(vb::Time(), QStringLiteral("hh:nn:ss")));
}

void Frm_Main::Timer_Tip_Timer()
{
    Lbl_SBarTip->setLeft(Lbl_SBarTip->Left() - 15);
    if (Lbl_SBarTip->Left() <= 0) {
        Timer_Tip->setEnabled(false);
        Lbl_SBarTip->setForeColor(vb::kDarkGreyText);
    }
}

void Frm_Main::Pic_NavigatorBar_Resize()
{
    if (!Shp_NBarSub2.peek() || !Pic_NavigatorBar.peek()) return;
    const int h = Pic_NavigatorBar->Height() - Shp_NBarSub2->Top() - 15;
    if (h >= 0) Shp_NBarSub2->setHeight(h);
}

void Frm_Main::Pic_StatusBar_Resize()
{
    if (!Pic_StatusBar.peek() || !Shp_SBarSub4.peek() || !Pic_SBarTipBack.peek() || !Pic_SBarDrag.peek()) return;
    const int w = Pic_StatusBar->Width();
    const int shapeWidth = w - Shp_SBarSub4->Left() - 30;
    if (shapeWidth >= 0) Shp_SBarSub4->setWidth(shapeWidth);
    const int tipWidth = w - Pic_SBarTipBack->Left() - 315;
    if (tipWidth >= 0) Pic_SBarTipBack->setWidth(tipWidth);
    Pic_SBarDrag->setLeft(w - 300);
}

// ---------------------------------------------------------------- child windows and dialogs

void Frm_Main::SwitchToChild(const QString &className, XButton *navButton)
{
    if (vb::Form *target = ChildForm(className)) ChildFormSwitch(target, navButton);
}

void Frm_Main::ShowDialog(const QString &className)
{
    if (vb::Form *dialog = ChildForm(className)) dialog->Show(vb::vbModal);
}

void Frm_Main::Menu_BaseCtrl_BorrowBook_Click()
{
    SwitchToChild(QStringLiteral("Frm_BorrowBook"), Cmd_NBarBrwBook.get());
}
void Frm_Main::Menu_BaseCtrl_ReturnBook_Click()
{
    SwitchToChild(QStringLiteral("Frm_ReturnBook"), Cmd_NBarReturnBook.get());
}
void Frm_Main::Menu_BaseCtrl_Query_Click() { SwitchToChild(QStringLiteral("Frm_Query"), Cmd_NBarQuery.get()); }
void Frm_Main::Menu_BaseCtrl_Statistics_Click()
{
    SwitchToChild(QStringLiteral("Frm_Statistics"), Cmd_NBarStatistics.get());
}
void Frm_Main::Menu_DataMag_BookDoc_Click() { SwitchToChild(QStringLiteral("Frm_BookInfo"), Cmd_NBarBookMag.get()); }
void Frm_Main::Menu_DataMag_BookStore_Click() { SwitchToChild(QStringLiteral("Frm_BookStore"), nullptr); }
void Frm_Main::Menu_DataMag_BookDamage_Click() { SwitchToChild(QStringLiteral("Frm_BookDamage"), nullptr); }
void Frm_Main::Menu_DataMag_ReaderDoc_Click()
{
    SwitchToChild(QStringLiteral("Frm_ReaderDoc"), Cmd_NBarReaderMag.get());
}
void Frm_Main::Menu_DataMag_ReaderType_Click() { SwitchToChild(QStringLiteral("Frm_ReaderType"), nullptr); }
void Frm_Main::Menu_DataMag_ReaderDeposit_Click() { SwitchToChild(QStringLiteral("Frm_ReaderDeposit"), nullptr); }
void Frm_Main::Menu_DataMag_PressDoc_Click() { SwitchToChild(QStringLiteral("Frm_PressInfo"), nullptr); }
void Frm_Main::Menu_DataMag_LabDoc_Click() { SwitchToChild(QStringLiteral("Frm_LabInfo"), nullptr); }
void Frm_Main::Menu_Security_AccountMag_Click() { SwitchToChild(QStringLiteral("Frm_AccountMag"), nullptr); }
void Frm_Main::Menu_Security_AccountType_Click() { SwitchToChild(QStringLiteral("Frm_AccountType"), nullptr); }
void Frm_Main::Menu_Security_LogInfo_Click() { SwitchToChild(QStringLiteral("Frm_AccountLoginInfo"), nullptr); }

void Frm_Main::Menu_File_SwapUser_Click() { ShowDialog(QStringLiteral("Frm_SwapUser")); }
void Frm_Main::Menu_File_DBClear_Click() { ShowDialog(QStringLiteral("Frm_DBClear")); }
void Frm_Main::Menu_Help_About_Click() { ShowDialog(QStringLiteral("Frm_About")); }

// Backup and restore are offered but do nothing.
void Frm_Main::Menu_File_DBBackup_Click() { }
void Frm_Main::Menu_File_DBRecover_Click() { }

void Frm_Main::Menu_Help_Content_Click() { ShowNotice(QStringLiteral("暂无帮助信息。"), QStringLiteral("提示")); }

void Frm_Main::Menu_Help_Manual_Click() { ShowNotice(QStringLiteral("暂无用户手册。"), QStringLiteral("提示")); }

void Frm_Main::Menu_Security_LockApp_Click()
{
    vb::Form *lock = ChildForm(QStringLiteral("Frm_LockApp"));
    if (!lock) return;
    Hide();
    lock->Show(vb::vbModeless);
}

// ---------------------------------------------------------------- view

void Frm_Main::Menu_View_ToolBar_Click()
{
    Menu_View_ToolBar->setChecked(!Menu_View_ToolBar->Checked());
    Pic_ToolBar->setVisible(Menu_View_ToolBar->Checked());
}

void Frm_Main::Menu_View_NavigatorBar_Click()
{
    Menu_View_NavigatorBar->setChecked(!Menu_View_NavigatorBar->Checked());
    Pic_NavigatorBar->setVisible(Menu_View_NavigatorBar->Checked());
}

void Frm_Main::Menu_View_StatusBar_Click()
{
    Menu_View_StatusBar->setChecked(!Menu_View_StatusBar->Checked());
    Pic_StatusBar->setVisible(Menu_View_StatusBar->Checked());
    InitStatusBar();
    Timer->setEnabled(Menu_View_StatusBar->Checked());
}

void Frm_Main::Cmd_NBarClose_Click()
{
    Pic_NavigatorBar->setVisible(false);
    Menu_View_NavigatorBar->setChecked(false);
}

// ---------------------------------------------------------------- leaving

void Frm_Main::CloseConnectionIfOpen()
{
    try {
        if (SQLConn().State() == ado::adStateOpen) SQLConn().Close();
    } catch (const std::exception &) {
        // A connection that fails to close is gone all the same: the program is leaving.
    }
}

void Frm_Main::EndIfNoWindowLeft()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->isVisible()) return;
    }
    if (endHandler()) endHandler()();
}

void Frm_Main::Menu_File_Logout_Click()
{
    CloseConnectionIfOpen();
    Unload();
    vb::Default<Frm_Login>().Show(vb::vbModeless);
}

void Frm_Main::Menu_File_Exit_Click()
{
    CloseConnectionIfOpen();
    if (Unload()) EndIfNoWindowLeft();
}

void Frm_Main::Form_QueryUnload(int &cancel, int unloadMode)
{
    (void)cancel;
    m_unloadMode = unloadMode;
}

void Frm_Main::Form_Unload(int &cancel)
{
    (void)cancel;
    CloseConnectionIfOpen();
    RestoreMainWndProc(*this);
    // The child windows go with the main window; their instances live on.
    if (QWidget *area = ChildArea.peek()) {
        const auto children = area->findChildren<vb::Form *>(QString(), Qt::FindDirectChildrenOnly);
        for (vb::Form *child : children) {
            child->Unload();
            if (child->parentWidget() == area) {
                child->hide();
                child->setParent(nullptr);
            }
        }
    }
    if (vb::Form::mdiHost() == ChildArea.peek()) vb::Form::setMdiHost(nullptr);
    m_highLight = nullptr;
    // The size limit goes with the window.
    setMinimumSize(0, 0);
    if (m_unloadMode == vb::vbFormControlMenu) QTimer::singleShot(0, this, [this] { EndIfNoWindowLeft(); });
    m_unloadMode = vb::vbFormCode;
}
