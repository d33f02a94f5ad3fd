#pragma once
// The titles list "图书档案管理": every title with the number of its copies,
// filtered by publisher or author, sorted on one or two columns, found by an
// ISBN prefix; titles are added, changed and deleted (copies first) here.
#include "core/ChildListForm.h"

class Frm_BookInfo : public ChildListForm {
    Q_OBJECT
public:
    Frm_BookInfo();

    vb::Ctl<XButton> Cmd_Add{this};
    vb::Ctl<XButton> Cmd_Modify{this};
    vb::Ctl<XButton> Cmd_Delete{this};
    vb::Ctl<XButton> Cmd_Refresh{this};
    vb::Ctl<vb::Label> Lbl_SBarTitle{this};
    vb::Ctl<vb::Label> Lbl_SBarTip{this};
    vb::Ctl<vb::Frame> Frame_Filter{this};
    vb::Ctl<vb::Label> Lbl_Filter_Press{this};
    vb::Ctl<FCombo> Cmb_Filter_Press{this};
    vb::Ctl<vb::Label> Lbl_Filter_Writer{this};
    vb::Ctl<FCombo> Cmb_Filter_Writer{this};
    vb::Ctl<vb::Frame> Frame_Sort{this};
    vb::Ctl<vb::Label> Lbl_Sort_1{this};
    vb::Ctl<FCombo> Cmb_Sort_1{this};
    vb::Ctl<FCombo> Cmb_Sort_1_Order{this};
    vb::Ctl<vb::Label> Lbl_Sort_2{this};
    vb::Ctl<FCombo> Cmb_Sort_2{this};
    vb::Ctl<FCombo> Cmb_Sort_2_Order{this};
    vb::Ctl<vb::Frame> Frame_Find{this};
    vb::Ctl<vb::Label> Lbl_Find_ISBN{this};
    vb::Ctl<FTextBox> Txt_Find_ISBN{this};

    void Chk_ShowClose_Click();
    void Cmb_Filter_Press_Click();
    void Cmb_Filter_Writer_Click();
    void Cmb_Sort_1_Click() { ApplyBookSort(); }
    void Cmb_Sort_1_Order_Click() { ApplyBookSort(); }
    void Cmb_Sort_2_Click() { ApplyBookSort(); }
    void Cmb_Sort_2_Order_Click() { ApplyBookSort(); }
    void Txt_Find_ISBN_Change();
    void Cmd_Add_Click();
    void Cmd_Modify_Click();
    void Cmd_Delete_Click();

protected:
    void CreateControls() override;
    QString GatePower() const override { return QStringLiteral("查看图书权限"); }
    void ResetQuery() override { ResetBookSQL(); }
    void InitGrid() override { InitBookGrid(); }
    void FillSideBarLists() override { FillBookCombos(); }
    void HideCtrls() override { HideBookCtrls(); }
    void ShowCtrls() override { ShowBookCtrls(); }
    void DeleteAction() override { Cmd_Delete_Click(); }
    void ModifyAction() override { Cmd_Modify_Click(); }

private:
    void HideBookCtrls() { HideListCtrls(); }
    void ShowBookCtrls() { ShowListCtrls(); }
    void InitBookGrid();
    void FillBookCombos();
    void ResetBookSQL();
    void ApplyBookSort();
    bool HasStoreCopies(const QString &isbn);
    void SetBookColWidths(bool compact);
};
