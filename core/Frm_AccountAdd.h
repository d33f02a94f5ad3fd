#pragma once
// The staff account editor: opened modally by the accounts list in "ADD" (a new
// account, always "正常") or "MOD" (the account `UID`; its key locked, type and
// status only with 修改账户权限). Passwords are written only when typed anew;
// the stored password is never shown and the second-level password only masked.
#include "core/ModalEditForm.h"
#include "core/RecordGuard.h"

#include "controls/FCombo.h"
#include "controls/FTextBox.h"
#include "controls/XButton.h"
#include "ui/Intrinsics.h"

class Frm_AccountAdd : public ModalEditForm {
    Q_OBJECT
public:
    Frm_AccountAdd();

    // The 用户名 to change ("" for a new account); Mode is "ADD" or "MOD".
    QString UID;

    vb::Ctl<vb::PictureBox> Pic_TitleBar{this};
    vb::Ctl<vb::Label> Lbl_TBarText{this};
    vb::Ctl<XButton> Cmd_TBarClose{this};
    vb::Ctl<vb::Frame> Frame_Info{this};
    vb::Ctl<vb::Label> Lbl_UID{this};
    vb::Ctl<vb::Label> Lbl_PWD{this};
    vb::Ctl<vb::Label> Lbl_PWD2{this};
    vb::Ctl<vb::Label> Lbl_Name{this};
    vb::Ctl<vb::Label> Lbl_SubPWD{this};
    vb::Ctl<vb::Label> Lbl_Type{this};
    vb::Ctl<vb::Label> Lbl_Status{this};
    vb::Ctl<FTextBox> Txt_UID{this};
    vb::Ctl<FTextBox> Txt_PWD{this};
    vb::Ctl<FTextBox> Txt_PWD2{this};
    vb::Ctl<FTextBox> Txt_Name{this};
    vb::Ctl<FTextBox> Txt_SubPWD{this};
    vb::Ctl<FCombo> Cmb_Type{this};
    vb::Ctl<FCombo> Cmb_Status{this};
    vb::Ctl<vb::Label> Lbl_Tip{this};
    vb::Ctl<XButton> Cmd_Add{this};
    vb::Ctl<XButton> Cmd_Close{this};

    // "添加" or "修改": checks the input, then inserts or updates.
    void Cmd_Add_Click();
    void Cmd_Close_Click();
    void Txt_SubPWD_Change();

    // The marks of this showing (for inspection).
    bool PasswordChanged() const { return PwdChanged; }
    bool SubPasswordChanged() const { return SubPwdChanged; }

protected:
    void CreateControls() override;
    void Form_Load() override;
    bool RequiredFieldsFilled() override;
    bool InsertRecord(QString &errText) override { return AddAccount(errText); }
    bool UpdateRecord(QString &errText) override { return UpdateAccount(errText); }
    RecordGuard *Guard() override { return &m_guard; }

private:
    void CreateInfoFrame();
    void SetAccMode();
    void LoadAccount();
    bool AddAccount(QString &errText);
    bool UpdateAccount(QString &errText);

    bool PwdChanged = false;
    bool SubPwdChanged = false;
    // The account as loaded: the columns the update writes (the passwords
    // only when typed anew; they are never put back into a box).
    RecordGuard m_guard;
};
