#pragma once
// The damage-record editor "添加图书损坏" / "修改图书损坏": the loan concerned
// (fixed once saved), a description, the compensation and a remark. Opened
// modal by Frm_BookDamage with Mode ("ADD" or "MOD") and DamageID set.
#include "core/DialogConventions.h"
#include "core/ModalEditForm.h"
#include "core/RecordGuard.h"

#include "controls/FTextBox.h"
#include "controls/XButton.h"

class Frm_BookDamageItem : public ModalEditForm {
    Q_OBJECT
public:
    Frm_BookDamageItem();

    // The 图书损坏编号 of the record to change; empty for a new record.
    QString DamageID;

    vb::Ctl<vb::PictureBox> Pic_TitleBar{this};
    vb::Ctl<vb::Label> Lbl_TBarText{this};
    vb::Ctl<XButton> Cmd_TBarClose{this};
    vb::Ctl<vb::Frame> Frame1{this};
    vb::Ctl<vb::Label> Lbl_BrwID{this};
    vb::Ctl<FTextBox> Txt_BrwID{this};
    vb::Ctl<vb::Label> Lbl_Info{this};
    vb::Ctl<FTextBox> Txt_Info{this};
    vb::Ctl<vb::Label> Lbl_Cash{this};
    vb::Ctl<FTextBox> Txt_Cash{this};
    vb::Ctl<vb::Label> Lbl_Other{this};
    vb::Ctl<FTextBox> Txt_Other{this};
    vb::Ctl<XButton> Cmd_OK{this};
    vb::Ctl<XButton> Cmd_Close{this};

    static QString DesignCaption() { return QStringLiteral("图书损坏"); }

    void Cmd_OK_Click();
    void Cmd_Close_Click();
    void Cmd_TBarClose_Click();

protected:
    void CreateControls() override;
    void Form_Load() override;

    bool InsertRecord(QString &errText) override;
    bool UpdateRecord(QString &errText) override;
    bool RequiredFieldsFilled() override;
    bool ValuesAccepted() override;
    // The damage editor refreshes the list first, then closes.
    void AfterSaved() override;
    RecordGuard *Guard() override { return &m_guard; }

private:
    void SetDamageMode();
    void LoadDamage();
    // Whether the loan has a damage record already (a failed read raises ado::Error).
    void IsBrwIDUsed(const QString &brwID, bool &used);
    // The compensation as a plain number for a statement.
    QString CashValue() const;

    // The record as loaded: the columns the update writes.
    RecordGuard m_guard;
};
