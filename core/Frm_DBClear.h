#pragma once
// The database clean-up dialog "清理数据库": each ticked option deletes a whole
// group of old or dead records (login log, disabled accounts with what they
// handled, returned or all loans, damage records, titles without copies,
// deposits, disabled readers with their records). Each option's statements
// are done together or not at all; an option that fails leaves the others
// done, and its statements are listed afterwards with each option that was not
// done and why. An option that would take away the loan of a book not yet
// returned is not done, nor one its permission can't be read for.
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

    // One ticked option: its statements, children first, and, when it deletes
    // loans or copies, the condition on 图书借阅 that picks the open loans it
    // would take away (none may be).
    struct ClearItem {
        QString caption;
        QStringList statements;
        QString openLoans;
        // The option that ticked this one with it: this one runs only when that one was done.
        QString tickedFor = {};
        // Why the option can't run, known before the run (its permission).
        QString notRun = {};
    };

protected:
    void CreateControls() override;
    void Form_Load() override;

private:
    void CreateItemList();
    void CreateReturnDateRange(vb::Frame *frame, int top);
    void DisableByPower();
    static void DisableItem(vb::CheckBox *item);
    // Runs one statement; false when it failed, and `why` (when given) the
    // database's description.
    static bool ExecClearSQL(const QString &statement, QString *why = nullptr);

    enum class ClearResult { Done, Failed, Refused };
    static ClearResult ExecClearItem(const ClearItem &item, QString &why);

    // The ticked items, by the permission they need. Without it a ticked item
    // is not run and says why; an item greyed at the start and refused again
    // is left out, as the clerk could not tick it.
    QList<ClearItem> AccountClearSQL();
    QList<ClearItem> LoanClearSQL();  // Refusal: a date box that holds no date
    QList<ClearItem> BookClearSQL();
    QList<ClearItem> ReaderClearSQL();

    QStringList m_lastRun;
    QStringList m_lastFailed;
};
