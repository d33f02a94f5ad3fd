#pragma once
// The reader file "读者档案管理": every reader with his category (also a reader
// whose category row is gone), filtered by status or category, found by a
// prefix of the number, sorted by one or two fields; readers are added and
// changed in Frm_ReaderAdd and deleted here after a question.
#include "core/ChildListForm.h"

class Frm_ReaderDoc : public ChildListForm {
    Q_OBJECT
public:
    Frm_ReaderDoc();

    vb::Ctl<XButton> Cmd_Add{this};
    vb::Ctl<XButton> Cmd_Modify{this};
    vb::Ctl<XButton> Cmd_Delete{this};
    vb::Ctl<XButton> Cmd_Refresh{this};
    vb::Ctl<vb::Label> Lbl_SBarTitle{this};
    vb::Ctl<vb::Label> Lbl_SBarTip{this};
    vb::Ctl<vb::Frame> Frame_Find{this};
    vb::Ctl<vb::Label> Lbl_Find_RID{this};
    vb::Ctl<FTextBox> Txt_Find_RID{this};
    vb::Ctl<vb::Frame> Frame_Sort{this};
    vb::Ctl<vb::Label> Lbl_Sort_1{this};
    vb::Ctl<FCombo> Cmb_Sort_1{this};
    vb::Ctl<FCombo> Cmb_Sort_1_Order{this};
    vb::Ctl<vb::Label> Lbl_Sort_2{this};
    vb::Ctl<FCombo> Cmb_Sort_2{this};
    vb::Ctl<FCombo> Cmb_Sort_2_Order{this};
    vb::Ctl<vb::Frame> Frame_Filter{this};
    vb::Ctl<vb::Label> Lbl_Filter_RStatus{this};
    vb::Ctl<FCombo> Cmb_Filter_RStatus{this};
    vb::Ctl<vb::Label> Lbl_Filter_RType{this};
    vb::Ctl<FCombo> Cmb_Filter_RType{this};

    // Handlers.
    void Cmd_Add_Click();
    void Cmd_Modify_Click();
    void Cmd_Delete_Click();
    void Cmb_Filter_RStatus_Click();
    void Cmb_Filter_RType_Click();
    void Txt_Find_RID_Change();
    void Cmb_Sort_Click();

protected:
    void CreateControls() override;
    QString GatePower() const override { return QStringLiteral("查看读者权限"); }
    void ResetQuery() override { ResetReaderSQL(); }
    void InitGrid() override { InitReaderGrid(); }
    void FillSideBarLists() override { FillReaderCombos(); }
    void HideCtrls() override { HideReaderCtrls(); }
    void ShowCtrls() override { ShowReaderCtrls(); }
    void DeleteAction() override { Cmd_Delete_Click(); }
    void ModifyAction() override { Cmd_Modify_Click(); }

private:
    void HideReaderCtrls() { HideListCtrls(); }
    void ShowReaderCtrls() { ShowListCtrls(); }
    void InitReaderGrid();
    void FillReaderCombos();
    void ResetReaderSQL();
    void ApplyReaderSort();
    QString CellText(int row, int col);
    // Whether the reader holds a book not yet returned.
    static bool HasOpenLoans(const QString &readerId);
};
