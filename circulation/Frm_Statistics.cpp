#include "circulation/Frm_Statistics.h"

#include "core/Mdl_ComVarList.h"
#include "core/Mdl_SQLConnection.h"
#include "ui/Colors.h"
#include "ui/Runtime.h"

#include <QStringList>
#include <algorithm>

namespace {

// The views' frames, one over the other.
constexpr int ViewLeft = 480, ViewTop = 1200;

// Navigator bar: buttons side by side, the rest of the bar filled by Pic_NBarSub1.
constexpr int NBarLeft = 480, NBarTop = 660, NBarHeight = 390;
constexpr int NavWidth = 1320;

// Inside a frame: the figures line, then the chart.
constexpr int LabelTop = 360;
constexpr int ChartLeft = 240, ChartTop = 720;
constexpr int BrwChartTop = 1260;

void setNavLook(XButton *b, long back, long fore, bool bold)
{
    b->setBackColor(back);
    b->setForeColor(fore);
    QFont f = b->Font();
    f.setBold(bold);
    b->setFont(f);
}

// A field as text; throws for a null (the row keeps what it has).
QString fieldText(const ado::Recordset &rs, int index)
{
    const QVariant v = rs.Fields(index);
    if (!v.isValid() || v.isNull()) throw ado::Error(QStringLiteral("无效使用 Null"));
    return v.toString();
}

}  // namespace

Frm_Statistics::Frm_Statistics() : ChildListForm(QStringLiteral("Frm_Statistics"))
{
    setCaption(QStringLiteral("统计"));
}

// ---------------------------------------------------------------- controls

namespace {

vb::Frame *makeFrame(QWidget *parent, const QString &name, const QString &caption)
{
    auto *f = new vb::Frame(parent, name, caption);
    f->Move(ViewLeft, ViewTop, 11000, 6000);
    return f;
}

vb::Label *makeLabel(QWidget *parent, const QString &name, const QString &caption, int left, int top, int width)
{
    auto *l = new vb::Label(parent, name, caption);
    l->setBackStyle(vb::vbTransparent);
    l->Move(left, top, width, 255);
    return l;
}

vb::Chart *makeChart(QWidget *parent, const QString &name, const QString &title, int top)
{
    auto *c = new vb::Chart(parent);
    c->setObjectName(name);
    c->Move(ChartLeft, top, 10000, 4800);
    c->setTitleText(title);
    return c;
}

}  // namespace

void Frm_Statistics::CreateControls()
{
    CreateTitleBar();
    Cmd_TBarClose->setToolTip(QStringLiteral("关闭当前窗口"));

    CreateNavigatorBar();

    // Catalogue.
    auto *fb = makeFrame(client(), QStringLiteral("Frame_Book"), QStringLiteral("图书资料"));
    Frame_Book = fb;
    Lbl_BookNum = makeLabel(fb, QStringLiteral("Lbl_BookNum"), QString(), 240, LabelTop, 9000);
    Chart_Book = makeChart(fb, QStringLiteral("Chart_Book"), QStringLiteral("出版社图书种类排行"), ChartTop);

    // Readers.
    auto *fr = makeFrame(client(), QStringLiteral("Frame_Reader"), QStringLiteral("读者资料"));
    Frame_Reader = fr;
    Lbl_ReaderNum = makeLabel(fr, QStringLiteral("Lbl_ReaderNum"), QString(), 240, LabelTop, 9000);
    Chart_Reader = makeChart(fr, QStringLiteral("Chart_Reader"), QStringLiteral("读者账户金额排行"), ChartTop);

    CreateBorrowView();

    connect(Cmd_Book.peek(), &XButton::Click, this, &Frm_Statistics::Cmd_Book_Click);
    connect(Cmd_Reader.peek(), &XButton::Click, this, &Frm_Statistics::Cmd_Reader_Click);
    connect(Cmd_Borrow.peek(), &XButton::Click, this, &Frm_Statistics::Cmd_Borrow_Click);
    connect(Cmd_OK.peek(), &XButton::Click, this, &Frm_Statistics::Cmd_OK_Click);
    connect(Opt_Book.peek(), &vb::OptionButton::Click, this, &Frm_Statistics::Opt_Book_Click);
    connect(Opt_Reader.peek(), &vb::OptionButton::Click, this, &Frm_Statistics::Opt_Reader_Click);
    connect(Txt_From.peek(), &FTextBox::Click, this, &Frm_Statistics::Txt_From_Click);
    connect(Txt_To.peek(), &FTextBox::Click, this, &Frm_Statistics::Txt_To_Click);
}

// The buttons that choose the view, side by side like tabs.
void Frm_Statistics::CreateNavigatorBar()
{
    auto *nbar = new vb::PictureBox(client(), QStringLiteral("Pic_NBar"));
    nbar->setBorderStyle(0);
    nbar->Move(NBarLeft, NBarTop, 11000, NBarHeight);
    Pic_NBar = nbar;
    auto makeNav = [&](const QString &name, const QString &caption, int index) {
        auto *b = new XButton(nbar, name);
        b->Move(index * NavWidth, 0, NavWidth, NBarHeight);
        b->setCaption(caption);
        b->setStyleColor(vb::kFrameGrey);
        b->setIfDraw(true);
        b->setMouseOnColor(vb::kWhite);
        b->setMouseDownColor(vb::kLightGrey);
        setNavLook(b, vb::vbButtonFace, vb::kGrey, false);
        return b;
    };
    Cmd_Book = makeNav(QStringLiteral("Cmd_Book"), QStringLiteral("图书资料"), 0);
    Cmd_Reader = makeNav(QStringLiteral("Cmd_Reader"), QStringLiteral("读者资料"), 1);
    Cmd_Borrow = makeNav(QStringLiteral("Cmd_Borrow"), QStringLiteral("借书资料"), 2);
    auto *sub = new vb::PictureBox(nbar, QStringLiteral("Pic_NBarSub1"));
    sub->setBorderStyle(0);
    sub->Move(3 * NavWidth, 0, 11000 - 3 * NavWidth, NBarHeight);
    Pic_NBarSub1 = sub;
    // The bar's base line under the filler, so the chosen (white) button stands out as a tab.
    auto *base = new vb::LineControl(sub, QStringLiteral("Line_NBarBase"));
    base->setBorderColor(vb::kGrey);
    base->setLine(0, NBarHeight - 15, 30000, NBarHeight - 15);
}

// Lending: the two rankings to choose from, the time range and the chart.
void Frm_Statistics::CreateBorrowView()
{
    auto *fw = makeFrame(client(), QStringLiteral("Frame_Borrow"), QStringLiteral("借书资料"));
    Frame_Borrow = fw;
    Opt_Reader = new vb::OptionButton(fw, QStringLiteral("Opt_Reader"), QStringLiteral("读者借书总数排行"));
    Opt_Reader->Move(240, 330, 2400, 300);
    Opt_Book = new vb::OptionButton(fw, QStringLiteral("Opt_Book"), QStringLiteral("图书借阅次数排行"));
    Opt_Book->Move(2760, 330, 2400, 300);
    for (vb::OptionButton *o : {Opt_Reader.peek(), Opt_Book.peek()})
        o->setAutoFillBackground(false);  // the frame's own face shows through
    Lbl_Date = makeLabel(fw, QStringLiteral("Lbl_Date"), QStringLiteral("时间范围"), 240, 780, 960);
    Lbl_From = makeLabel(fw, QStringLiteral("Lbl_From"), QStringLiteral("从"), 1260, 780, 300);
    auto *from = new FTextBox(fw, QStringLiteral("Txt_From"));
    from->Move(1560, 750, 1560, FTextBox::FixedHeight);
    from->setToolTipText(QStringLiteral("起始日期，如 2000-01-01"));
    Txt_From = from;
    Lbl_To = makeLabel(fw, QStringLiteral("Lbl_To"), QStringLiteral("到"), 3300, 780, 300);
    auto *to = new FTextBox(fw, QStringLiteral("Txt_To"));
    to->Move(3600, 750, 1560, FTextBox::FixedHeight);
    to->setToolTipText(QStringLiteral("截止日期，如 2024-12-31"));
    Txt_To = to;
    Cmd_OK = CreateButton(QStringLiteral("Cmd_OK"), QStringLiteral("确定"), 5400, 735, 1080, 330,
                          QStringLiteral("统计时间范围内的图书借阅次数"), fw);
    Chart_Brw = makeChart(fw, QStringLiteral("Chart_Brw"), QString(), BrwChartTop);
}

void Frm_Statistics::Form_Load()
{
    // No permission is asked. Every opening starts on the catalogue view.
    m_curNav = nullptr;
    Lbl_TBarText->setCaption(Caption());
    for (vb::Frame *f : {Frame_Book.get(), Frame_Reader.get(), Frame_Borrow.get()}) f->Move(ViewLeft, ViewTop);
    ShowBookView();
    Form_Resize();
}

void Frm_Statistics::Form_Resize()
{
    try {
        const int W = Width();
        const int H = Height();
        vb::PictureBox *nbar = Pic_NBar.peek();
        if (!nbar) return;
        nbar->setWidth(std::max(0, W - nbar->Left() - 240 - 45));
        Pic_NBarSub1->setWidth(std::max(0, nbar->Width() - Pic_NBarSub1->Left()));

        vb::Frame *fb = Frame_Book.peek();
        fb->setWidth(std::max(0, W - fb->Left() - 240 - 45));
        fb->setHeight(std::max(0, H - fb->Top() - 240 - 435));
        const int fw = fb->Width(), fh = fb->Height();
        auto sizeChart = [fw, fh](vb::Chart *c) {
            c->setWidth(std::max(0, fw - c->Left() - 240 - 45));
            c->setHeight(std::max(0, fh - c->Top() - 240 - 45));
        };
        sizeChart(Chart_Book.peek());
        for (vb::Frame *f : {Frame_Reader.peek(), Frame_Borrow.peek()}) {
            f->setWidth(fw);
            f->setHeight(fh);
        }
        sizeChart(Chart_Reader.peek());
        sizeChart(Chart_Brw.peek());
    } catch (...) {
        // A resize while the window unloads: the charts keep their size.
    }
}

// ---------------------------------------------------------------- navigator

void Frm_Statistics::Cmd_Book_Click()
{
    if (!m_curNav || m_curNav->Caption() != Cmd_Book->Caption()) ShowBookView();
}

void Frm_Statistics::Cmd_Reader_Click()
{
    if (!m_curNav || m_curNav->Caption() != Cmd_Reader->Caption()) ShowReaderView();
}

void Frm_Statistics::Cmd_Borrow_Click()
{
    if (!m_curNav || m_curNav->Caption() != Cmd_Borrow->Caption()) ShowBorrowView();
}

void Frm_Statistics::ShowBookView()
{
    ShowBookStats();
    SetNavButton(Cmd_Book.get());
    Frame_Book->setVisible(true);
    Frame_Reader->setVisible(false);
    Frame_Borrow->setVisible(false);
}

void Frm_Statistics::ShowReaderView()
{
    ShowReaderStats();
    SetNavButton(Cmd_Reader.get());
    Frame_Book->setVisible(false);
    Frame_Reader->setVisible(true);
    Frame_Borrow->setVisible(false);
}

void Frm_Statistics::ShowBorrowView()
{
    // Choosing the reader ranking draws it (the option's Click); chosen already, draw it here.
    if (Opt_Reader->Value())
        ShowBorrowStats();
    else
        Opt_Reader->setValue(true);
    SetNavButton(Cmd_Borrow.get());
    Frame_Book->setVisible(false);
    Frame_Reader->setVisible(false);
    Frame_Borrow->setVisible(true);
}

void Frm_Statistics::SetNavButton(XButton *button)
{
    try {
        if (m_curNav) setNavLook(m_curNav, vb::vbButtonFace, vb::kGrey, false);
        setNavLook(button, vb::kWhite, vb::kBlack, true);
        m_curNav = button;
    } catch (...) {
        // A button gone with its window keeps its look; the next opening sets it again.
    }
}

// ---------------------------------------------------------------- lending options

void Frm_Statistics::Cmd_OK_Click()
{
    Opt_Book->setValue(true);
    ShowBorrowStats();
}

void Frm_Statistics::Opt_Reader_Click() { ShowBorrowStats(); }

void Frm_Statistics::Opt_Book_Click() { Txt_From->SetFocus(); }

void Frm_Statistics::Txt_From_Click() { Opt_Book->setValue(true); }

void Frm_Statistics::Txt_To_Click()
{
    Opt_Book->setValue(true);
    // The title ranking's choice moves the keyboard to the start date; the user
    // clicked into the end date to type there, so it stays there.
    Txt_To->SetFocus();
}

// ---------------------------------------------------------------- figures

void Frm_Statistics::ComposeStats()
{
    QStringList parts{SQLSelect, SQLFrom};
    for (const QString &p : {SQLWhere, SQLGroup, SQLOrder})
        if (!p.isEmpty()) parts << p;
    SQLText = JoinParts(parts);
}

void Frm_Statistics::FillChart(vb::Chart *chart, int rowCount, ado::Recordset &rs, int rowsToWrite, bool trimLabels)
{
    chart->setRowCount(rowCount);
    chart->setColumnCount(1);
    for (int i = 1; i <= rowsToWrite; ++i) {
        chart->setRow(i);
        chart->setRowLabel(QString());
        try {
            const QString label = fieldText(rs, 0);
            chart->setRowLabel(trimLabels ? vb::Trim(label) : label);
        } catch (...) {
            // A row without a label keeps the empty one written above.
        }
        chart->setData(QStringLiteral("0"));
        try {
            chart->setData(fieldText(rs, 1));
        } catch (...) {
            // A row without a value keeps the 0 written above.
        }
        if (!rs.EOF_()) rs.MoveNext();
    }
    chart->Refresh();
}

void Frm_Statistics::ShowBookStats()
{
    SQLWhere.clear();
    SQLGroup.clear();
    SQLOrder.clear();
    try {
        SQLSelect = QStringLiteral("SELECT DISTINCT ISBN");
        SQLFrom = QStringLiteral("FROM 图书档案");
        ComposeStats();
        ado::Recordset rs;
        rs.Open(SQLText, SQLConn(), ado::adOpenKeyset, ado::adLockReadOnly);
        Lbl_BookNum->setCaption(QStringLiteral("共有图书 ") + QString::number(rs.RecordCount())
                                + QStringLiteral(" 种"));
    } catch (...) {
        // A count that can't be read leaves the caption as it was; the next figures still run.
    }
    try {
        SQLSelect = QStringLiteral("SELECT 图书编号");
        SQLFrom = QStringLiteral("FROM 图书库存");
        ComposeStats();
        ado::Recordset rs;
        rs.Open(SQLText, SQLConn(), ado::adOpenKeyset, ado::adLockReadOnly);
        Lbl_BookNum->setCaption(Lbl_BookNum->Caption() + QStringLiteral("，总计库存 ")
                                + QString::number(rs.RecordCount()) + QStringLiteral(" 本"));
    } catch (...) {
        // A count that can't be read leaves the caption as it was; the next figures still run.
    }
    try {
        SQLSelect = QStringLiteral("SELECT TOP 5 出版社名称, COUNT(出版社名称) AS 图书种类");
        SQLFrom = QStringLiteral("FROM 图书档案");
        SQLGroup = QStringLiteral("GROUP BY 出版社名称");
        SQLOrder = QStringLiteral("ORDER BY 图书种类 DESC");
        ComposeStats();
        ado::Recordset rs;
        rs.Open(SQLText, SQLConn(), ado::adOpenKeyset, ado::adLockReadOnly);
        FillChart(Chart_Book.get(), 5, rs, int(rs.RecordCount()), false);
    } catch (...) {
        // A ranking that can't be read leaves the chart as it was.
    }
}

void Frm_Statistics::ShowReaderStats()
{
    SQLWhere.clear();
    SQLGroup.clear();
    SQLOrder.clear();
    try {
        SQLSelect = QStringLiteral("SELECT DISTINCT 读者编号");
        SQLFrom = QStringLiteral("FROM 读者档案");
        ComposeStats();
        ado::Recordset rs;
        rs.Open(SQLText, SQLConn(), ado::adOpenKeyset, ado::adLockReadOnly);
        Lbl_ReaderNum->setCaption(QStringLiteral("共有读者 ") + QString::number(rs.RecordCount())
                                  + QStringLiteral(" 名"));
    } catch (...) {
        // A count that can't be read leaves the caption as it was; the next figures still run.
    }
    try {
        SQLSelect = QStringLiteral("SELECT TOP 10 读者编号, 账户金额");
        SQLFrom = QStringLiteral("FROM 读者档案");
        SQLOrder = QStringLiteral("ORDER BY 账户金额 DESC");
        ComposeStats();
        ado::Recordset rs;
        rs.Open(SQLText, SQLConn(), ado::adOpenKeyset, ado::adLockReadOnly);
        FillChart(Chart_Reader.get(), 10, rs, int(rs.RecordCount()), false);
    } catch (...) {
        // A ranking that can't be read leaves the chart as it was.
    }
}

void Frm_Statistics::ShowBorrowStats()
{
    try {
        vb::Chart *chart = Chart_Brw.get();
        SQLWhere.clear();
        SQLGroup.clear();
        if (Opt_Reader->Value()) {
            SQLSelect = QStringLiteral("SELECT TOP 10 读者编号, 总借书数量");
            SQLFrom = QStringLiteral("FROM 读者档案");
            SQLOrder = QStringLiteral("ORDER BY 总借书数量 DESC");
            chart->setTitleText(Opt_Reader->Caption());
        } else {
            QString start, end;
            if (IsSQLDate(Txt_From->Text())) {
                start = vb::Trim(Txt_From->Text());
            } else {
                start = QStringLiteral("2000-01-01");
                Txt_From->setText(start);
            }
            if (IsSQLDate(Txt_To->Text())) {
                end = vb::Trim(Txt_To->Text());
            } else {
                end = vb::Format(vb::Date(), QStringLiteral("yyyy-mm-dd"));
                Txt_To->setText(end);
            }
            SQLSelect = QStringLiteral("SELECT TOP 10 图书档案.ISBN, COUNT(图书档案.ISBN) AS 借阅次数");
            SQLFrom = QStringLiteral("FROM 图书借阅, 图书档案, 图书库存");
            SQLWhere =
                QStringLiteral("WHERE 图书借阅.图书编号 = 图书库存.图书编号 AND 图书库存.ISBN = 图书档案.ISBN AND "
                               "借书日期 BETWEEN ")
                + SQLQuote(start) + QStringLiteral(" AND ") + SQLQuote(end);
            SQLGroup = QStringLiteral("GROUP BY 图书档案.ISBN");
            SQLOrder = QStringLiteral("ORDER BY 借阅次数 DESC");
            chart->setTitleText(Opt_Book->Caption());
        }
        ComposeStats();
        ado::Recordset rs;
        rs.Open(SQLText, SQLConn(), ado::adOpenKeyset, ado::adLockReadOnly);
        FillChart(chart, 10, rs, 10, true);
    } catch (...) {
        // A ranking that can't be read leaves the chart as it was.
    }
}
