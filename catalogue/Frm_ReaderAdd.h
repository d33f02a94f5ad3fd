#pragma once
// The reader editor "添加读者" / "修改读者", opened modally by the reader file
// (Frm_ReaderDoc) with Mode "ADD" (RID empty) or "MOD" (RID = the reader's
// number). A new reader starts active, with balance and counters 0, registered
// today by the current user; a change keeps number, counters, balance,
// registration date and registering user.
#include "core/DialogConventions.h"
#include "core/ModalEditForm.h"
#include "core/RecordGuard.h"

#include "controls/FCombo.h"
#include "controls/FTextBox.h"
#include "controls/XButton.h"
#include "ui/Intrinsics.h"

class Frm_ReaderAdd : public ModalEditForm {
    Q_OBJECT
public:
    Frm_ReaderAdd();

    // The reader to change (empty for a new one); Mode is the family's.
    QString RID;

    vb::Ctl<vb::PictureBox> Pic_TitleBar{this};
    vb::Ctl<vb::Label> Lbl_TBarText{this};
    vb::Ctl<XButton> Cmd_TBarClose{this};
    vb::Ctl<vb::Frame> Frame_BaseInfo{this};
    vb::Ctl<vb::Label> Lbl_RID{this};
    vb::Ctl<FTextBox> Txt_RID{this};
    vb::Ctl<vb::Label> Lbl_Name{this};
    vb::Ctl<FTextBox> Txt_Name{this};
    vb::Ctl<vb::Label> Lbl_Sex{this};
    vb::Ctl<FCombo> Cmb_Sex{this};
    vb::Ctl<vb::Label> Lbl_Type{this};
    vb::Ctl<FCombo> Cmb_Type{this};
    vb::Ctl<vb::Label> Lbl_Phone{this};
    vb::Ctl<FTextBox> Txt_Phone{this};
    vb::Ctl<vb::Label> Lbl_Address{this};
    vb::Ctl<FTextBox> Txt_Address{this};
    vb::Ctl<vb::Label> Lbl_Code{this};
    vb::Ctl<FTextBox> Txt_Code{this};
    vb::Ctl<vb::Label> Lbl_CID{this};
    vb::Ctl<FTextBox> Txt_CID{this};
    vb::Ctl<vb::Label> Lbl_Status{this};
    vb::Ctl<FCombo> Cmb_Status{this};
    vb::Ctl<XButton> Cmd_Add{this};
    vb::Ctl<XButton> Cmd_Close{this};

    void Cmd_Add_Click();
    void Cmd_Close_Click();

protected:
    void CreateControls() override;
    void Form_Load() override;

    bool InsertRecord(QString &errText) override { return AddReader(errText); }
    bool UpdateRecord(QString &errText) override { return UpdateReader(errText); }
    bool RequiredFieldsFilled() override;
    RecordGuard *Guard() override { return &m_guard; }

private:
    void SetReaderMode();
    void LoadReader();
    bool AddReader(QString &errText);
    bool UpdateReader(QString &errText);
    QString SexValue();

    // The reader as loaded: the columns the update writes.
    RecordGuard m_guard;
};
