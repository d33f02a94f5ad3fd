#pragma once
// The login window: a user name and password in the login frame, the server
// settings in a second frame that slides into view in the same window. Keeps
// the remembered user names (Saves/UIDList.ini) and the server settings
// (Saves/Server.ini) under AppPath.
#include "controls/FCombo.h"
#include "controls/FTextBox.h"
#include "controls/XButton.h"
#include "ui/Form.h"
#include "ui/Intrinsics.h"

#include <QString>
#include <functional>

class Frm_Login : public vb::Form {
    Q_OBJECT
public:
    Frm_Login();
    ~Frm_Login() override;

    static QString DesignCaption() { return QStringLiteral("Quorvale - Veltrane"); }

    // Rest positions of the two frames and the slide step, in twips.
    static constexpr int FrameRestTop = 240;
    static constexpr int FrameBelowTop = 3990;
    static constexpr int SlideStep = 75;

    // Which frame is in view (or sliding away).
    enum CurrentFrame { LoginFrame, SQLServerFrame };
    CurrentFrame CurFrame() const { return m_curFrame; }

    vb::Ctl<vb::PictureBox> Pic_Logo{this};
    vb::Ctl<vb::PictureBox> Pic_FrameHost{this};
    vb::Ctl<vb::Frame> Frmae_Login{this};
    vb::Ctl<vb::Label> Lbl_TipLogin{this};
    vb::Ctl<vb::PictureBox> Pic_TipLogin{this};
    vb::Ctl<vb::Label> Lbl_UID{this};
    vb::Ctl<FCombo> Cmb_UID{this};
    vb::Ctl<vb::Label> Lbl_Password{this};
    vb::Ctl<FTextBox> Txt_Password{this};
    vb::Ctl<vb::Label> Lbl_GoSQLSet{this};
    vb::Ctl<vb::PictureBox> Pic_GoSQLSet{this};
    vb::Ctl<vb::Label> Lbl_ForgetPWD{this};

    vb::Ctl<vb::Frame> Frmae_SQLServer{this};
    vb::Ctl<vb::Label> Lbl_TipSQL{this};
    vb::Ctl<vb::PictureBox> Pic_TipSQL{this};
    vb::Ctl<vb::Label> Lbl_SQLServer{this};
    vb::Ctl<FTextBox> Txt_SQLServer{this};
    vb::Ctl<vb::Label> Lbl_SQLUID{this};
    vb::Ctl<FTextBox> Txt_SQLUID{this};
    vb::Ctl<vb::Label> Lbl_SQLPassword{this};
    vb::Ctl<FTextBox> Txt_SQLPassword{this};
    vb::Ctl<vb::Label> Lbl_SQLDB{this};
    vb::Ctl<FTextBox> Txt_SQLDB{this};
    vb::Ctl<XButton> Cmd_SQLBack{this};

    vb::Ctl<vb::Label> Lbl_Version{this};
    vb::Ctl<vb::LineControl> Line_Split{this};
    vb::Ctl<XButton> Cmd_Login{this};
    vb::Ctl<XButton> Cmd_Exit{this};
    vb::Ctl<vb::Timer> Timer{this};

    // Event handlers.
    void Cmd_Login_Click();
    void Cmd_Exit_Click();
    void Cmd_SQLBack_Click();
    void Lbl_GoSQLSet_Click();
    void Lbl_ForgetPWD_Click();
    void Timer_Timer();
    void Txt_Password_KeyPress(int &KeyAscii);
    void Cmb_UID_Change();
    void Cmb_UID_GotFocus();

    // How the exit button ends the program (tests replace it).
    static void SetExitHandler(std::function<void()> handler);

protected:
    void CreateControls() override;
    void Form_Load() override;
    void ControlsDestroyed() override;

private:
    void CreateLoginFrame(vb::PictureBox *host);
    void CreateServerFrame(vb::PictureBox *host);
    void ConnectControls();
    void LoadUIDList();
    void SaveUIDList(const QString &UserName);
    void LoadSQLSet();
    // "" when the line was written, else what the login tells the clerk: the file and why.
    QString SaveSQLSet(const QString &Server, const QString &LoginName, const QString &Password,
                       const QString &Database);
    void CloseConnectionIfOpen();

    CurrentFrame m_curFrame = LoginFrame;
};
