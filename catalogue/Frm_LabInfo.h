#pragma once
// The library-information window "图书馆信息设置": the library's name, person
// in charge, telephone, address, post code, rent and overdue-fine switches,
// the daily fine and the logo picture, all in the one row of 图书馆信息.
// Anybody may open it; saving needs 修改图书馆信息权限.
#include "core/ChildListForm.h"
#include "core/RecordGuard.h"

#include <QPixmap>

class Frm_LabInfo : public ChildListForm {
    Q_OBJECT
public:
    Frm_LabInfo();

    // The logo's display size, in pixels (the label asks for 150 x 150).
    static constexpr int LogoSize = 150;

    vb::Ctl<vb::PictureBox> Pic_TBarSub1{this};
    vb::Ctl<vb::PictureBox> Pic_TBarSymbol{this};
    vb::Ctl<vb::Frame> Frame_ShowData{this};
    vb::Ctl<vb::Label> Lbl_LabName{this};
    vb::Ctl<FTextBox> Txt_LabName{this};
    vb::Ctl<vb::Label> Lbl_Charger{this};
    vb::Ctl<FTextBox> Txt_Charger{this};
    vb::Ctl<vb::Label> Lbl_Tel{this};
    vb::Ctl<FTextBox> Txt_Tel{this};
    vb::Ctl<vb::Label> Lbl_Address{this};
    vb::Ctl<FTextBox> Txt_Address{this};
    vb::Ctl<vb::Label> Lbl_Zipcode{this};
    vb::Ctl<FTextBox> Txt_Zipcode{this};
    vb::Ctl<vb::Label> Lbl_IsRent{this};
    vb::Ctl<FCombo> Cmb_IsRent{this};
    vb::Ctl<vb::Label> Lbl_IsFine{this};
    vb::Ctl<FCombo> Cmb_IsFine{this};
    vb::Ctl<vb::Label> Lbl_Fine{this};
    vb::Ctl<FTextBox> Txt_Fine{this};
    vb::Ctl<vb::Label> Lbl_Logo{this};
    vb::Ctl<vb::PictureBox> Pic_Logo{this};
    vb::Ctl<vb::Shape> Shp_LogoBorder{this};
    vb::Ctl<XButton> Cmd_Save{this};
    vb::Ctl<XButton> Cmd_Close{this};
    vb::Ctl<vb::CommonDialog> CommonDialog1{this};

    void Cmd_Save_Click();
    void Cmd_Close_Click();
    void Cmb_IsFine_Click();
    void Pic_Logo_Click();

    // A picture as the logo box shows it: shrunk to fit LogoSize x LogoSize, never enlarged.
    static QPixmap FitLogo(const QPixmap &picture);
    // The default logo shown when no stored logo can be shown.
    static QString DefaultLogoPath();

protected:
    void CreateControls() override;
    void Form_Load() override;
    void Form_Resize() override;
    void Form_Unload(int &cancel) override;

private:
    void CreateTitleBarSymbol();
    void CreateInfoFields(vb::Frame *frame);
    void CreateLogo(vb::Frame *frame);
    void LoadLabInfo();
    void ShowStoredLogo(const QVariant &logo);
    void WriteLabInfo();

    QString m_logoPath;  // the picture chosen in this opening of the window
    // The row as loaded: the save writes over it only while it is unchanged.
    RecordGuard m_guard;
};
