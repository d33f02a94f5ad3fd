#pragma once
// The lending window "借书": look a reader up by number, collect the copies to
// lend in a ticked list (each copy tested as it is added) and confirm: every
// ticked copy becomes a loan, the copy is marked lent and the reader's
// counters rise once for the batch. The confirmation writes as one unit.
#include "core/ChildListForm.h"
#include "ui/ListView.h"

#include <array>

class Frm_BorrowBook : public ChildListForm {
    Q_OBJECT
public:
    Frm_BorrowBook();

    vb::Ctl<vb::Frame> Frame_Reader{this};
    vb::Ctl<vb::Label> Lbl_RID{this};
    vb::Ctl<FTextBox> Txt_RID{this};
    vb::Ctl<vb::Label> Lbl_Tip1{this};
    vb::Ctl<vb::LineControl> Line_Split1{this};
    vb::Ctl<vb::LineControl> Line_Split1_Shadow{this};
    vb::Ctl<vb::Frame> Frame_Book{this};
    vb::Ctl<vb::Label> Lbl_BID{this};
    vb::Ctl<FTextBox> Txt_BID{this};
    vb::Ctl<vb::Label> Lbl_Tip2{this};
    vb::Ctl<vb::LineControl> Line_Split2{this};
    vb::Ctl<vb::LineControl> Line_Split2_Shadow{this};
    vb::Ctl<vb::Frame> Frame_View{this};
    vb::Ctl<vb::Label> Lbl_TipRID{this};
    vb::Ctl<vb::Label> Lbl_ShowRID{this};
    vb::Ctl<vb::ListView> Lst_View{this};
    vb::Ctl<XButton> Cmd_OK{this};
    vb::Ctl<XButton> Cmd_Clear{this};
    vb::Ctl<XButton> Cmd_Close{this};

    // The display boxes: Txt_Reader(0..8), Txt_Book(0..5).
    FTextBox *Txt_Reader(int index) const;
    FTextBox *Txt_Book(int index) const;

    // The reader accepted by the last successful look-up ("" when none).
    QString AcceptedReader() const { return BorrowRID; }

    // Handlers.
    void Txt_RID_KeyPress(int &KeyAscii);
    void Txt_RID_Validate(bool &Cancel);
    void Txt_BID_KeyPress(int &KeyAscii);
    void Cmd_OK_Click();
    void Cmd_Clear_Click();
    void Cmd_Close_Click();

protected:
    void CreateControls() override;
    void ControlsDestroyed() override;
    QString GatePower() const override { return QStringLiteral("办理借书权限"); }
    void HideCtrls() override { HideBorrowCtrls(); }
    void ShowCtrls() override { ShowBorrowCtrls(); }
    void Form_Load() override;
    void Form_Resize() override;

private:
    void CreateReaderFrame();
    void CreateBookFrame();
    void CreateLendingList();
    void HideBorrowCtrls();
    void ShowBorrowCtrls();
    void AddCopy();
    void ComposeLookup();
    // The confirmation, inside one transaction the caller runs: the checks
    // (a refusal, a ticked copy gone or lent meanwhile included, raises
    // Refusal before anything is written) and the writes; a database failure
    // raises ado::Error.
    int CheckLending();
    void WriteLending(int n);

    QString BorrowRID;
    std::array<QPointer<FTextBox>, 9> m_reader{};
    std::array<QPointer<FTextBox>, 6> m_book{};
};
