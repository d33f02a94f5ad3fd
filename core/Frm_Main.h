#pragma once
// The main window: menus, tool bar, navigator bar and status bar around the
// area in which exactly one child window is shown at a time. The status-bar
// tip (ShowSBarTip, Mdl_ComVarList.h) scrolls in here.
#include "controls/XButton.h"
#include "ui/Form.h"
#include "ui/Intrinsics.h"
#include "ui/Menu.h"

#include <QPointer>
#include <QString>
#include <functional>

class Frm_Main : public vb::Form {
    Q_OBJECT
public:
    Frm_Main();
    ~Frm_Main() override;

    static QString DesignCaption() { return QStringLiteral("Quorvale - Veltrane"); }
    // The smallest size the window can be dragged to, in pixels (13500 x 9000 twips).
    static constexpr int MinTrackWidth = 13500 / vb::TwipsPerPixel;
    static constexpr int MinTrackHeight = 9000 / vb::TwipsPerPixel;

    // ---- menus
    vb::Ctl<vb::MenuItem> Menu_File{this};
    vb::Ctl<vb::MenuItem> Menu_File_Logout{this};
    vb::Ctl<vb::MenuItem> Menu_File_SwapUser{this};
    vb::Ctl<vb::MenuItem> Menu_File_Split1{this};
    vb::Ctl<vb::MenuItem> Menu_File_DBClear{this};
    vb::Ctl<vb::MenuItem> Menu_File_DBBackup{this};
    vb::Ctl<vb::MenuItem> Menu_File_DBRecover{this};
    vb::Ctl<vb::MenuItem> Menu_File_Split2{this};
    vb::Ctl<vb::MenuItem> Menu_File_Exit{this};
    vb::Ctl<vb::MenuItem> Menu_View{this};
    vb::Ctl<vb::MenuItem> Menu_View_ToolBar{this};
    vb::Ctl<vb::MenuItem> Menu_View_NavigatorBar{this};
    vb::Ctl<vb::MenuItem> Menu_View_StatusBar{this};
    vb::Ctl<vb::MenuItem> Menu_BaseCtrl{this};
    vb::Ctl<vb::MenuItem> Menu_BaseCtrl_BorrowBook{this};
    vb::Ctl<vb::MenuItem> Menu_BaseCtrl_ReturnBook{this};
    vb::Ctl<vb::MenuItem> Menu_BaseCtrl_Split{this};
    vb::Ctl<vb::MenuItem> Menu_BaseCtrl_Query{this};
    vb::Ctl<vb::MenuItem> Menu_BaseCtrl_Statistics{this};
    vb::Ctl<vb::MenuItem> Menu_DataMag{this};
    vb::Ctl<vb::MenuItem> Menu_DataMag_BookDoc{this};
    vb::Ctl<vb::MenuItem> Menu_DataMag_BookStore{this};
    vb::Ctl<vb::MenuItem> Menu_DataMag_BookDamage{this};
    vb::Ctl<vb::MenuItem> Menu_DataMag_Split1{this};
    vb::Ctl<vb::MenuItem> Menu_DataMag_ReaderDoc{this};
    vb::Ctl<vb::MenuItem> Menu_DataMag_ReaderType{this};
    vb::Ctl<vb::MenuItem> Menu_DataMag_ReaderDeposit{this};
    vb::Ctl<vb::MenuItem> Menu_DataMag_Split2{this};
    vb::Ctl<vb::MenuItem> Menu_DataMag_PressDoc{this};
    vb::Ctl<vb::MenuItem> Menu_DataMag_LabDoc{this};
    vb::Ctl<vb::MenuItem> Menu_Security{this};
    vb::Ctl<vb::MenuItem> Menu_Security_LockApp{this};
    vb::Ctl<vb::MenuItem> Menu_Security_Split1{this};
    vb::Ctl<vb::MenuItem> Menu_Security_AccountMag{this};
    vb::Ctl<vb::MenuItem> Menu_Security_AccountType{this};
    vb::Ctl<vb::MenuItem> Menu_Security_Split2{this};
    vb::Ctl<vb::MenuItem> Menu_Security_LogInfo{this};
    vb::Ctl<vb::MenuItem> Menu_Help{this};
    vb::Ctl<vb::MenuItem> Menu_Help_Content{this};
    vb::Ctl<vb::MenuItem> Menu_Help_Manual{this};
    vb::Ctl<vb::MenuItem> Menu_Help_Split{this};
    vb::Ctl<vb::MenuItem> Menu_Help_About{this};

    // ---- tool bar
    vb::Ctl<vb::PictureBox> Pic_ToolBar{this};
    vb::Ctl<vb::PictureBox> Pic_TBarSub1{this};
    vb::Ctl<vb::PictureBox> Pic_TBarSymbol{this};
    vb::Ctl<vb::Label> Lbl_TBarLabName{this};
    vb::Ctl<vb::LineControl> Line_TBarSplit1{this};
    vb::Ctl<vb::PictureBox> Pic_TBarSub2{this};
    vb::Ctl<vb::PictureBox> Pic_TBarUID{this};
    vb::Ctl<vb::Label> Lbl_TBarUID{this};
    vb::Ctl<XButton> Cmd_TBarSwapUser{this};
    vb::Ctl<XButton> Cmd_TBarLogout{this};
    vb::Ctl<XButton> Cmd_TBarLockApp{this};
    vb::Ctl<vb::LineControl> Line_TBarSplit2{this};
    vb::Ctl<vb::PictureBox> Pic_TBarSub3{this};
    vb::Ctl<XButton> Cmd_TBarHelp{this};
    vb::Ctl<XButton> Cmd_TBarExit{this};

    // ---- navigator bar
    vb::Ctl<vb::PictureBox> Pic_NavigatorBar{this};
    vb::Ctl<vb::PictureBox> Pic_NBarSub1{this};
    vb::Ctl<vb::Label> Lbl_NBarTitle{this};
    vb::Ctl<XButton> Cmd_NBarClose{this};
    vb::Ctl<vb::Shape> Shp_NBarSub2{this};
    vb::Ctl<XButton> Cmd_NBarBrwBook{this};
    vb::Ctl<XButton> Cmd_NBarReturnBook{this};
    vb::Ctl<XButton> Cmd_NBarQuery{this};
    vb::Ctl<XButton> Cmd_NBarStatistics{this};
    vb::Ctl<XButton> Cmd_NBarBookMag{this};
    vb::Ctl<XButton> Cmd_NBarReaderMag{this};

    // ---- status bar
    vb::Ctl<vb::PictureBox> Pic_StatusBar{this};
    vb::Ctl<vb::Shape> Shp_SBarSub1{this};
    vb::Ctl<vb::Shape> Shp_SBarSub2{this};
    vb::Ctl<vb::Shape> Shp_SBarSub3{this};
    vb::Ctl<vb::Shape> Shp_SBarSub4{this};
    vb::Ctl<vb::Label> Lbl_SBarSQLServer{this};
    vb::Ctl<vb::Label> Lbl_SBarSQLDB{this};
    vb::Ctl<vb::Label> Lbl_SBarDate{this};
    vb::Ctl<vb::Label> Lbl_SBarTime{this};
    vb::Ctl<vb::PictureBox> Pic_SBarTipBack{this};
    vb::Ctl<vb::PictureBox> Pic_SBarTip{this};
    vb::Ctl<vb::Label> Lbl_SBarTip{this};
    vb::Ctl<vb::PictureBox> Pic_SBarDrag{this};

    // The area the child windows fill.
    vb::Ctl<QWidget> ChildArea{this};

    vb::Ctl<vb::Timer> Timer{this};
    vb::Ctl<vb::Timer> Timer_Tip{this};

    // ---- public operations
    void InitToolBar();
    // Marks one navigator button (or none, with nullptr) as the current function.
    void SetHighLightCmd(XButton *cmd);
    XButton *HighLightCmd() const { return m_highLight; }

    // ---- menu handlers
    void Menu_File_Logout_Click();
    void Menu_File_SwapUser_Click();
    void Menu_File_DBClear_Click();
    void Menu_File_DBBackup_Click();
    void Menu_File_DBRecover_Click();
    void Menu_File_Exit_Click();
    void Menu_View_ToolBar_Click();
    void Menu_View_NavigatorBar_Click();
    void Menu_View_StatusBar_Click();
    void Menu_BaseCtrl_BorrowBook_Click();
    void Menu_BaseCtrl_ReturnBook_Click();
    void Menu_BaseCtrl_Query_Click();
    void Menu_BaseCtrl_Statistics_Click();
    void Menu_DataMag_BookDoc_Click();
    void Menu_DataMag_BookStore_Click();
    void Menu_DataMag_BookDamage_Click();
    void Menu_DataMag_ReaderDoc_Click();
    void Menu_DataMag_ReaderType_Click();
    void Menu_DataMag_ReaderDeposit_Click();
    void Menu_DataMag_PressDoc_Click();
    void Menu_DataMag_LabDoc_Click();
    void Menu_Security_LockApp_Click();
    void Menu_Security_AccountMag_Click();
    void Menu_Security_AccountType_Click();
    void Menu_Security_LogInfo_Click();
    void Menu_Help_Content_Click();
    void Menu_Help_Manual_Click();
    void Menu_Help_About_Click();

    // ---- other handlers
    void Cmd_NBarClose_Click();
    void Timer_Timer();
    void Timer_Tip_Timer();
    void Pic_NavigatorBar_Resize();
    void Pic_StatusBar_Resize();

    // How the program ends once its last window is gone (tests replace it).
    static void SetEndHandler(std::function<void()> handler);

protected:
    void CreateControls() override;
    void Form_Load() override;
    void Form_QueryUnload(int &cancel, int unloadMode) override;
    void Form_Unload(int &cancel) override;
    void showEvent(QShowEvent *e) override;

private:
    void CreateMenus();
    void CreateFileMenu();
    void CreateViewMenu();
    void CreateBaseCtrlMenu();
    void CreateDataMagMenu();
    void CreateSecurityMenu();
    void CreateHelpMenu();
    void CreateToolBar(QWidget *c);
    void CreateTBarLabGroup(vb::PictureBox *bar);
    void CreateTBarUserGroup(vb::PictureBox *bar);
    void CreateTBarHelpGroup(vb::PictureBox *bar);
    void ConnectToolBar();
    void CreateNavigatorBar(QWidget *c);
    void CreateStatusBar(QWidget *c);
    void InitViewState();
    void InitStatusBar();
    void SwitchToChild(const QString &className, XButton *navButton);
    void ShowDialog(const QString &className);
    void CloseConnectionIfOpen();
    void EndIfNoWindowLeft();

    QPointer<XButton> m_highLight;
    int m_unloadMode = vb::vbFormCode;
    bool m_openMaximized = false;
};
