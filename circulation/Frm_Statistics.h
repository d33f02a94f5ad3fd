#pragma once
// The statistics window "统计": three views switched by a navigator bar, each a
// frame with a chart: the catalogue (titles, copies, the publishers with the
// most titles), the readers (count, the highest account balances) and the
// lending (the readers who borrowed most, or the titles lent most often within
// a date range). It only reads.
#include "core/ChildListForm.h"
#include "ui/Chart.h"

#include <QPointer>

class Frm_Statistics : public ChildListForm {
    Q_OBJECT
public:
    Frm_Statistics();

    vb::Ctl<vb::PictureBox> Pic_NBar{this};
    vb::Ctl<vb::PictureBox> Pic_NBarSub1{this};
    vb::Ctl<XButton> Cmd_Book{this};
    vb::Ctl<XButton> Cmd_Reader{this};
    vb::Ctl<XButton> Cmd_Borrow{this};

    vb::Ctl<vb::Frame> Frame_Book{this};
    vb::Ctl<vb::Label> Lbl_BookNum{this};
    vb::Ctl<vb::Chart> Chart_Book{this};

    vb::Ctl<vb::Frame> Frame_Reader{this};
    vb::Ctl<vb::Label> Lbl_ReaderNum{this};
    vb::Ctl<vb::Chart> Chart_Reader{this};

    vb::Ctl<vb::Frame> Frame_Borrow{this};
    vb::Ctl<vb::OptionButton> Opt_Book{this};
    vb::Ctl<vb::OptionButton> Opt_Reader{this};
    vb::Ctl<vb::Label> Lbl_Date{this};
    vb::Ctl<vb::Label> Lbl_From{this};
    vb::Ctl<FTextBox> Txt_From{this};
    vb::Ctl<vb::Label> Lbl_To{this};
    vb::Ctl<FTextBox> Txt_To{this};
    vb::Ctl<XButton> Cmd_OK{this};
    vb::Ctl<vb::Chart> Chart_Brw{this};

    // The navigator button of the view shown (null before the first view).
    XButton *CurNavButton() const { return m_curNav.data(); }

    // Handlers.
    void Cmd_Book_Click();
    void Cmd_Reader_Click();
    void Cmd_Borrow_Click();
    void Cmd_OK_Click();
    void Opt_Book_Click();
    void Opt_Reader_Click();
    void Txt_From_Click();
    void Txt_To_Click();

protected:
    void CreateControls() override;
    void Form_Load() override;
    void Form_Resize() override;

private:
    void CreateNavigatorBar();
    void CreateBorrowView();
    void ShowBookView();
    void ShowReaderView();
    void ShowBorrowView();
    void SetNavButton(XButton *button);
    void ShowBookStats();
    void ShowReaderStats();
    void ShowBorrowStats();
    // SQLText from the parts that are used, one blank between them.
    void ComposeStats();
    // Fills a chart from an open recordset: label from the first field, value from the second.
    // rows > 0 writes exactly that many rows; rows == 0 writes one row per record found.
    static void FillChart(vb::Chart *chart, int rowCount, ado::Recordset &rs, int rowsToWrite, bool trimLabels);

    QPointer<XButton> m_curNav;
};
