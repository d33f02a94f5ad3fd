#pragma once
// The damaged-book records "图书损坏管理": every damage record with the reader,
// copy and title of its loan, newest first, filtered by ISBN or by reader;
// records are added, changed and deleted here (the editor Frm_BookDamageItem).
#include "core/ChildListForm.h"

class Frm_BookDamage : public ChildListForm {
    Q_OBJECT
public:
    Frm_BookDamage();

    vb::Ctl<XButton> Cmd_Add{this};
    vb::Ctl<XButton> Cmd_Modify{this};
    vb::Ctl<XButton> Cmd_Delete{this};
    vb::Ctl<XButton> Cmd_Refresh{this};
    vb::Ctl<vb::Label> Lbl_SBarTitle{this};
    vb::Ctl<vb::Frame> Frame_Filter{this};
    vb::Ctl<vb::Label> Lbl_Filter_ISBN{this};
    vb::Ctl<FCombo> Cmb_Filter_ISBN{this};
    vb::Ctl<vb::Label> Lbl_Filter_RID{this};
    vb::Ctl<FCombo> Cmb_Filter_RID{this};

    void Cmd_Add_Click();
    void Cmd_Modify_Click();
    void Cmd_Delete_Click();
    void Cmb_Filter_ISBN_Click();
    void Cmb_Filter_RID_Click();

protected:
    void CreateControls() override;
    QString GatePower() const override { return QStringLiteral("办理还书权限"); }
    void ResetQuery() override { ResetDamageSQL(); }
    void InitGrid() override { InitDamageGrid(); }
    void FillSideBarLists() override { FillDamageCombos(); }
    void HideCtrls() override { HideDamageCtrls(); }
    void ShowCtrls() override { ShowDamageCtrls(); }
    void DeleteAction() override { Cmd_Delete_Click(); }
    void ModifyAction() override { Cmd_Modify_Click(); }

private:
    void HideDamageCtrls() { HideListCtrls(); }
    void ShowDamageCtrls() { ShowListCtrls(); }
    void InitDamageGrid();
    void FillDamageCombos();
    void ResetDamageSQL();
};
