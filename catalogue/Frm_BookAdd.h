#pragma once
// The title and copies editor. By Mode it enters a new title with its first
// copies ("ADD_Book", "添加图书"), changes a title whose ISBN stays fixed
// ("MOD_Book", "修改图书") or adds copies to an existing title ("ADD_Store",
// "添加库存"). An existing ISBN typed into a new-title dialog and confirmed with
// Enter turns the dialog into adding copies of that title. After each save that
// reached the database the list window in CallerForm is refreshed.
#include "core/DialogConventions.h"
#include "core/ModalEditForm.h"
#include "core/RecordGuard.h"
#include "ui/Intrinsics.h"

#include "controls/FCombo.h"
#include "controls/FTextBox.h"
#include "controls/XButton.h"

#include <QString>
#include <QStringList>

class Frm_BookAdd : public ModalEditForm {
    Q_OBJECT
public:
    Frm_BookAdd();

    // The title to change or to add copies to; empty for a new title.
    QString BookISBN;

    // Design size in twips; MOD_Book shows the lower window without the copies frame.
    static constexpr int DesignWidth = 5160;
    static constexpr int DesignHeight = 5760;
    static constexpr int ModHeight = 4800;
    static constexpr int ModShift = 1440;
    static constexpr int MaxCopies = 1000;

    vb::Ctl<vb::PictureBox> Pic_TitleBar{this};
    vb::Ctl<vb::Label> Lbl_TBarText{this};
    vb::Ctl<XButton> Cmd_TBarClose{this};

    vb::Ctl<vb::Frame> Frame_BaseInfo{this};
    vb::Ctl<vb::Label> Lbl_ISBN{this};
    vb::Ctl<FTextBox> Txt_ISBN{this};
    vb::Ctl<vb::Label> Lbl_BookName{this};
    vb::Ctl<FTextBox> Txt_BookName{this};
    vb::Ctl<vb::Label> Lbl_Writer{this};
    vb::Ctl<FTextBox> Txt_Writer{this};
    vb::Ctl<vb::Label> Lbl_Press{this};
    vb::Ctl<FCombo> Cmb_Press{this};
    vb::Ctl<vb::Label> Lbl_PressDate{this};
    vb::Ctl<FTextBox> Txt_PressDate{this};
    vb::Ctl<vb::Label> Lbl_Price{this};
    vb::Ctl<FTextBox> Txt_Price{this};
    vb::Ctl<vb::Label> Lbl_Rent{this};
    vb::Ctl<FTextBox> Txt_Rent{this};
    vb::Ctl<vb::Label> Lbl_IsBrw{this};
    vb::Ctl<FCombo> Cmb_IsBrw{this};

    vb::Ctl<vb::CheckBox> Chk_FrameSwitch{this};
    vb::Ctl<vb::Frame> Frame_Add2Store{this};
    vb::Ctl<vb::Label> Lbl_Num{this};
    vb::Ctl<FTextBox> Txt_Num{this};
    vb::Ctl<vb::Label> Lbl_Index{this};
    vb::Ctl<FCombo> Cmb_Index{this};
    vb::Ctl<vb::Label> Lbl_BookID{this};
    vb::Ctl<FTextBox> Txt_BookID{this};

    vb::Ctl<XButton> Cmd_Add{this};
    vb::Ctl<XButton> Cmd_Clear{this};
    vb::Ctl<XButton> Cmd_GoBack{this};
    vb::Ctl<vb::Label> Lbl_Tip{this};
    vb::Ctl<vb::CheckBox> Chk_AutoClose{this};
    vb::Ctl<vb::CheckBox> Chk_Transparent{this};
    vb::Ctl<vb::LineControl> Line_Split{this};
    vb::Ctl<vb::LineControl> Line_SplitShadow{this};

    // Handlers.
    void Cmd_Add_Click();
    void Cmd_Clear_Click();
    void Cmd_GoBack_Click();
    void Cmd_TBarClose_Click();
    void Chk_FrameSwitch_Click();
    void Chk_Transparent_Click();
    void Txt_ISBN_KeyPress(int &KeyAscii);
    void Txt_Num_KeyPress(int &KeyAscii);
    void Txt_Num_Validate(bool &Cancel);
    void Cmb_Index_Click();
    void Txt_BookID_KeyPress(int &KeyAscii);
    void Txt_BookID_Validate(bool &Cancel);
    void Txt_PressDate_Validate(bool &Cancel);

    // The copies to add (for inspection): count and typed numbers.
    int bookCount() const { return BookCount; }
    QStringList bookIDList() const { return BookIDList; }

protected:
    void CreateControls() override;
    void Form_Load() override;
    bool InsertRecord(QString &errText) override;
    bool UpdateRecord(QString &errText) override;
    bool RequiredFieldsFilled() override;
    bool ValuesAccepted() override;
    void AfterSaved() override;
    RecordGuard *Guard() override { return &m_guard; }

private:
    void CreateBaseInfoFrame(QWidget *c);
    void CreateStoreFrame(QWidget *c);
    void CreateButtonsAndOptions(QWidget *c);
    void ConnectControls();
    void SetBookMode();
    bool LoadBookInfo();
    bool AddBook(QString &errText);
    bool AddStoreCopies(QString &errText);
    bool UpdateBook(QString &errText);
    bool IsPressExist(const QString &name);
    void AddPress(const QString &name);
    // Stores the typed number of the chosen copy and moves to the next copy.
    void StoreBookID();
    QString IsBrwFlag();

    QStringList BookIDList;
    int BookCount = 0;
    bool m_choosingCopy = false;
    // The title as loaded: a change compares the columns it writes, adding
    // copies needs the title still there.
    RecordGuard m_guard;
};
