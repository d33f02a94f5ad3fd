#pragma once
// The staff accounts list "账户管理": every account (or only the user's own
// one without 查看账户权限) in a grid, with adding through the account editor,
// changing the selected account and a delete action that only explains why
// accounts are not deleted here.
#include "core/ChildListForm.h"

class Frm_AccountMag : public ChildListForm {
    Q_OBJECT
public:
    Frm_AccountMag();

    vb::Ctl<XButton> Cmd_Add{this};
    vb::Ctl<XButton> Cmd_Modify{this};
    vb::Ctl<XButton> Cmd_Delete{this};
    vb::Ctl<XButton> Cmd_Refresh{this};
    vb::Ctl<vb::Label> Lbl_Hint{this};

    void Cmd_Add_Click();
    void Cmd_Modify_Click();
    void Cmd_Delete_Click();

protected:
    void CreateControls() override;
    void ResetQuery() override { ResetAccSQL(); }
    void InitGrid() override { InitAccGrid(); }
    void DeleteAction() override { Cmd_Delete_Click(); }
    void ModifyAction() override { Cmd_Modify_Click(); }

private:
    void ResetAccSQL();
    void InitAccGrid();
};
