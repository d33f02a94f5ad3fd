#pragma once
// The home page: the child window shown after login and whenever a working
// window closes. Shows the logged-in user and the permissions of the user's
// account type.
#include "ui/Form.h"
#include "ui/Grid.h"
#include "ui/Intrinsics.h"

class Frm_Welcome : public vb::Form {
    Q_OBJECT
public:
    Frm_Welcome();
    ~Frm_Welcome() override;

    static QString DesignCaption() { return QStringLiteral("欢迎使用"); }

    vb::Ctl<vb::PictureBox> Pic_TitleBar{this};
    vb::Ctl<vb::PictureBox> Pic_TBarLogo{this};
    vb::Ctl<vb::Label> Lbl_TBarTMShadow{this};
    vb::Ctl<vb::Label> Lbl_TBarTM{this};
    vb::Ctl<vb::Label> Lbl_TBarTMInfo{this};
    vb::Ctl<vb::PictureBox> Pic_UserHead{this};
    vb::Ctl<vb::Label> Lbl_UID{this};
    vb::Ctl<vb::Label> Lbl_UserName{this};
    vb::Ctl<vb::Label> Lbl_UserType{this};
    vb::Ctl<vb::Label> Lbl_LastLogTime{this};
    vb::Ctl<vb::Label> Lbl_UserPower{this};
    vb::Ctl<vb::Grid> Grid_PowerList{this};
    // 1: granted, 2: not granted, 3: the row icon.
    vb::Ctl<vb::ImageList> ImgLst{this};

protected:
    void CreateControls() override;
    void Form_Load() override;

private:
    void ShowUserInfo();
};
