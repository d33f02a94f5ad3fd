#pragma once
// The returning window "还书": every open loan in a grid, narrowed by a prefix
// of the reader number, the copy number or the ISBN; the selected loan is
// returned (loan closed, copy free again, reader's counters one lower) as one unit.
#include "core/ChildListForm.h"

class Frm_ReturnBook : public ChildListForm {
    Q_OBJECT
public:
    Frm_ReturnBook();

    vb::Ctl<XButton> Cmd_ReturnSel{this};
    vb::Ctl<XButton> Cmd_ReturnAll{this};
    vb::Ctl<XButton> Cmd_Refresh{this};
    vb::Ctl<vb::Label> Lbl_SBarTitle{this};
    vb::Ctl<vb::Frame> Frame_Find{this};
    vb::Ctl<vb::OptionButton> Opt_RID{this};
    vb::Ctl<vb::OptionButton> Opt_BID{this};
    vb::Ctl<vb::OptionButton> Opt_ISBN{this};
    vb::Ctl<FTextBox> Txt_ID{this};
    vb::Ctl<XButton> Cmd_Find{this};

    // The refresh, counted as LoadLoans counts.
    void Cmd_Refresh_Click() override;
    void Cmd_Find_Click();
    void Txt_ID_KeyPress(int &KeyAscii);
    void Cmd_ReturnSel_Click();
    void Cmd_ReturnAll_Click();

protected:
    void CreateControls() override;
    void Form_Load() override;
    QString GatePower() const override { return QStringLiteral("办理还书权限"); }
    void ResetQuery() override { ResetReturnQuery(); }
    void InitGrid() override { InitReturnGrid(); }
    void FillSideBarLists() override { SetDefaultFilter(); }
    void HideCtrls() override { HideReturnCtrls(); }
    void ShowCtrls() override { ShowReturnCtrls(); }
    void ModifyAction() override { Cmd_ReturnSel_Click(); }
    // The Delete key does nothing here (DeleteAction is not overridden).

private:
    void ResetReturnQuery();
    void InitReturnGrid();
    void SetDefaultFilter();
    // The list's statement: its joins, the conditions on the loans alone
    // (the open ones, and a find by reader or copy), then one on the copies.
    void ComposeReturnQuery(const QString &loanConditions, const QString &copyCondition);
    // SQLText into the grid, as the family fills a list, counted from the
    // loans LoanConditions take. A failure shows ErrText. CurRow = 1 afterwards.
    void LoadLoans();
    // The list's conditions on the loans alone, which its count reads too.
    QString LoanConditions;
    void HideReturnCtrls() { HideListCtrls(); }
    void ShowReturnCtrls() { ShowListCtrls(); }
};
