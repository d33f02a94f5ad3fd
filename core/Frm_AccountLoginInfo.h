#pragma once
// The login log "账户最近登录信息": every recorded login, newest first, narrowed
// by user, time range and number of rows in the side bar, which also deletes
// the log of one user or the whole log.
#include "core/ChildListForm.h"

class Frm_AccountLoginInfo : public ChildListForm {
    Q_OBJECT
public:
    Frm_AccountLoginInfo();

    vb::Ctl<vb::Label> Lbl_SBarTitle{this};
    vb::Ctl<vb::Frame> Frame_Filter{this};
    vb::Ctl<vb::Label> Lbl_UID{this};
    vb::Ctl<FCombo> Cmb_UID{this};
    vb::Ctl<vb::Label> Lbl_Time{this};
    vb::Ctl<FTextBox> Txt_From{this};
    vb::Ctl<FTextBox> Txt_To{this};
    vb::Ctl<vb::Label> Lbl_Number{this};
    vb::Ctl<FCombo> Cmb_Number{this};
    vb::Ctl<XButton> Cmd_OK{this};
    vb::Ctl<vb::Frame> Frame_Delete{this};
    vb::Ctl<vb::Label> Lbl_DUID{this};
    vb::Ctl<FCombo> Cmb_DUID{this};
    vb::Ctl<XButton> Cmd_Del{this};

    void Cmd_OK_Click();
    void Cmd_Del_Click();

protected:
    void CreateControls() override;
    QString GatePower() const override { return QStringLiteral("修改账户权限"); }
    void ResetQuery() override { ResetLoginSQL(); }
    void InitGrid() override { InitLoginGrid(); }
    void FillSideBarLists() override { FillLoginCombos(); }
    void HideCtrls() override { HideLoginInfoCtrls(); }
    void ShowCtrls() override { ShowLoginInfoCtrls(); }

private:
    void HideLoginInfoCtrls() { HideListCtrls(); }
    void ShowLoginInfoCtrls() { ShowListCtrls(); }
    void InitLoginGrid();
    void FillLoginCombos();
    void ResetLoginSQL();
};
