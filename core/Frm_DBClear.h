#pragma once
// The database clean-up dialog "清理数据库": each ticked option deletes a whole
// group of old or dead records (login log, disabled accounts with what they
// handled, returned or all loans, damage records, titles without copies,
// deposits, disabled readers with their records). Each option's statements
// are done together or not at all; an option that fails leaves the others
// done, and its statements are listed afterwards. An option that would take
// away the loan of a book not yet returned is not done.
#include "ui/Form.h"
#include "ui/Intrinsics.h"

#include "controls/FTextBox.h"
#include "controls/XButton.h"

#include <QList>
#include <QStringList>

class Frm_DBClear : public vb::Form {
    Q_OBJECT
public:
    Frm_DBClear();

    vb::Ctl<vb::PictureBox> Pic_TitleBar{this};
    vb::Ctl<vb::Label> Lbl_TBarText{this};
    vb::Ctl<XButton> Cmd_TBarClose{this};
    vb::Ctl<vb::Frame> Frame_ItemList{this};
    vb::Ctl<vb::CheckBox> Chk_Acc_Login{this};
    vb::Ctl<vb::CheckBox> Chk_Acc_Standby{this};
    vb::Ctl<vb::CheckBox> Chk_Brw_Return{this};
    vb::Ctl<vb::CheckBox> Chk_Brw_All{this};
    vb::Ctl<vb::CheckBox> Chk_Book_Damag{this};
    vb::Ctl<vb::CheckBox> Chk_Book_NoStore{this};
    vb::Ctl<vb::CheckBox> Chk_Reader_Dep{this};
    vb::Ctl<vb::CheckBox> Chk_Reader_Standby{this};
    vb::Ctl<vb::Label> Lbl_Acc_Standby{this};
    vb::Ctl<vb::Label> Lbl_Brw_All{this};
    vb::Ctl<vb::Label> Lbl_Reader_Standby{this};
    vb::Ctl<vb::Label> Lbl_From{this};
    vb::Ctl<FTextBox> Txt_From{this};
    vb::Ctl<vb::Label> Lbl_To{this};
    vb::Ctl<FTextBox> Txt_To{this};
    vb::Ctl<vb::Label> Lbl_Tip{this};
    vb::Ctl<XButton> Cmd_Clear{this};
    vb::Ctl<XButton> Cmd_Close{this};

    void Chk_Acc_Standby_Click();
    void Chk_Reader_Standby_Click();
    void Chk_Brw_All_Click();
    void Chk_Book_Damag_Click();
    void Chk_Brw_Return_Click();
    void Cmd_Clear_Click();
    void Cmd_Close_Click();

    // The statements the last run executed, in order, and those that failed.
    QStringList LastRun() const { return m_lastRun; }
    QStringList LastFailed() const { return m_lastFailed; }

protected:
    void CreateControls() override;
    void Form_Load() override;

private:
    void CreateItemList();
    void CreateReturnDateRange(vb::Frame *frame, int top);
    void DisableByPower();
    static void DisableItem(vb::CheckBox *item);
    static bool ExecClearSQL(const QString &statement);

    // One ticked option: its statements, children first, and, when it deletes
    // loans or copies, the condition on 图书借阅 that picks the open loans it
    // would take away (none may be).
    struct ClearItem {
        QString caption;
        QStringList statements;
        QString openLoans;
    };
    enum class ClearResult { Done, Failed, Refused };
    static ClearResult ExecClearItem(const ClearItem &item);

    // The ticked items, by the permission they need; none without it.
    QList<ClearItem> AccountClearSQL();
    QList<ClearItem> LoanClearSQL();
    QList<ClearItem> BookClearSQL();
    QList<ClearItem> ReaderClearSQL();

    QStringList m_lastRun;
    QStringList m_lastFailed;
};
