#pragma once
// Reader deposits "读者充值管理": every deposit with the reader's name and
// category, oldest first; in the deposit panel a reader is looked up by number
// and an amount booked: the deposit record and the reader's higher balance are
// written together. All deposit records can be deleted at once (balances stay).
#include "core/ChildListForm.h"

#include <array>

class Frm_ReaderDeposit : public ChildListForm {
    Q_OBJECT
public:
    Frm_ReaderDeposit();

    // A reader number has been looked up successfully and the panel shows that reader.
    bool ReaderFound = false;

    vb::Ctl<XButton> Cmd_Deposit{this};
    vb::Ctl<XButton> Cmd_Clear{this};
    vb::Ctl<XButton> Cmd_Refresh{this};
    vb::Ctl<XButton> Cmd_Close{this};
    vb::Ctl<vb::Frame> Frame_Deposit{this};
    vb::Ctl<vb::Label> Lbl_RID{this};
    vb::Ctl<FTextBox> Txt_RID{this};
    vb::Ctl<vb::Label> Lbl_Tip{this};
    vb::Ctl<vb::LineControl> Line_Split1{this};
    vb::Ctl<vb::LineControl> Line_Split1_Shadow{this};
    vb::Ctl<vb::LineControl> Line_Split2{this};
    vb::Ctl<vb::LineControl> Line_Split2_Shadow{this};
    vb::Ctl<vb::Label> Lbl_Cash{this};
    vb::Ctl<FTextBox> Txt_Cash{this};
    vb::Ctl<vb::CheckBox> Chk_Return{this};
    vb::Ctl<XButton> Cmd_Save{this};
    vb::Ctl<XButton> Cmd_Cancel{this};

    // The display boxes Txt(0..3) (name, sex, balance, status) and their labels Lbl(0..3).
    FTextBox *Txt(int index) const;
    vb::Label *Lbl(int index) const;

    // Handlers.
    void Cmd_Deposit_Click();
    void Cmd_Cancel_Click();
    void Cmd_Save_Click();
    void Cmd_Clear_Click();
    void Cmd_Close_Click();
    void Txt_RID_Validate(bool &Cancel);
    void Txt_RID_KeyPress(int &KeyAscii);
    void Txt_Cash_KeyPress(int &KeyAscii);

protected:
    void CreateControls() override;
    void ControlsDestroyed() override;
    QString GatePower() const override { return QStringLiteral("修改读者权限"); }
    void ResetQuery() override { ResetDepositSQL(); }
    void InitGrid() override { InitDepositGrid(); }
    void HideCtrls() override { HideDepositCtrls(); }
    void ShowCtrls() override { ShowDepositCtrls(); }
    void Form_Load() override;
    void Form_Resize() override;

private:
    void CreateDepositPanel();
    void HideDepositCtrls();
    void ShowDepositCtrls();
    void InitDepositGrid();
    void ResetDepositSQL();
    // The deposit record and the balance, written as one unit; returns the new
    // balance. A reader gone since the look-up raises Refusal (nothing written).
    QString BookDeposit(const QString &amount);
    // Looks the reader number up and shows the reader (ReaderFound); one not
    // found is told. A failure of the database raises ado::Error.
    void LookUpReader();
    // The reader's stored balance and last deposits, read again and shown.
    QString StoredDepositText();

    std::array<QPointer<FTextBox>, 4> m_txt{};
    std::array<QPointer<vb::Label>, 4> m_lbl{};
    bool m_enterMovesFocus = false;
};
