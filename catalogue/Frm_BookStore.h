#pragma once
// The copies list "图书库存管理": every copy with the title and author of its
// ISBN, filtered by ISBN or by the operator who entered it, sorted on one or
// two columns, found by a prefix of the copy number. Copies are added through
// the title editor and deleted one at a time or all copies of a title.
#include "core/ChildListForm.h"

class Frm_BookStore : public ChildListForm {
    Q_OBJECT
public:
    Frm_BookStore();

    vb::Ctl<XButton> Cmd_Add{this};
    vb::Ctl<XButton> Cmd_Delete{this};
    vb::Ctl<XButton> Cmd_Refresh{this};
    vb::Ctl<vb::Label> Lbl_SBarTitle{this};
    vb::Ctl<vb::Label> Lbl_SBarTip{this};
    vb::Ctl<vb::Frame> Frame_Find{this};
    vb::Ctl<vb::Label> Lbl_Find_BID{this};
    vb::Ctl<FTextBox> Txt_Find_BID{this};
    vb::Ctl<vb::Frame> Frame_Sort{this};
    vb::Ctl<vb::Label> Lbl_Sort_1{this};
    vb::Ctl<FCombo> Cmb_Sort_1{this};
    vb::Ctl<FCombo> Cmb_Sort_1_Order{this};
    vb::Ctl<vb::Label> Lbl_Sort_2{this};
    vb::Ctl<FCombo> Cmb_Sort_2{this};
    vb::Ctl<FCombo> Cmb_Sort_2_Order{this};
    vb::Ctl<vb::Frame> Frame_Filter{this};
    vb::Ctl<vb::Label> Lbl_Filter_ISBN{this};
    vb::Ctl<FCombo> Cmb_Filter_ISBN{this};
    vb::Ctl<vb::Label> Lbl_Filter_UID{this};
    vb::Ctl<FCombo> Cmb_Filter_UID{this};

    void Chk_ShowClose_Click();
    void Cmb_Filter_ISBN_Click();
    void Cmb_Filter_UID_Click();
    void Cmb_Sort_1_Click() { ApplyStoreSort(); }
    void Cmb_Sort_1_Order_Click() { ApplyStoreSort(); }
    void Cmb_Sort_2_Click() { ApplyStoreSort(); }
    void Cmb_Sort_2_Order_Click() { ApplyStoreSort(); }
    void Txt_Find_BID_Change();
    void Cmd_Add_Click();
    void Cmd_Delete_Click();

protected:
    void CreateControls() override;
    QString GatePower() const override { return QStringLiteral("查看库存权限"); }
    void ResetQuery() override { ResetStoreSQL(); }
    void InitGrid() override { InitStoreGrid(); }
    void FillSideBarLists() override { FillStoreCombos(); }
    void HideCtrls() override { HideStoreCtrls(); }
    void ShowCtrls() override { ShowStoreCtrls(); }
    void DeleteAction() override { Cmd_Delete_Click(); }
    // The double click on the grid adds copies of the row's title.
    void ModifyAction() override { AddRowCopies(); }

private:
    void HideStoreCtrls() { HideListCtrls(); }
    void ShowStoreCtrls() { ShowListCtrls(); }
    void InitStoreGrid();
    void FillStoreCombos();
    void ResetStoreSQL();
    void ApplyStoreSort();
    void SetStoreColWidths(bool compact);
    void AddRowCopies();
};
