#include "circulation/Frm_ReturnBook.h"

#include "core/DialogConventions.h"
#include "core/Mdl_ComVarList.h"
#include "core/Mdl_SQLConnection.h"
#include "core/Refusal.h"
#include "db/Transaction.h"
#include "ui/Runtime.h"

#include <QTableView>
#include <QTimer>
#include <exception>

Frm_ReturnBook::Frm_ReturnBook() : ChildListForm(QStringLiteral("Frm_ReturnBook"))
{
    setCaption(QStringLiteral("还书"));
}

void Frm_ReturnBook::CreateControls()
{
    CreateTitleBar();
    Cmd_TBarClose->setToolTip(QStringLiteral("关闭当前窗口"));

    Cmd_ReturnSel = CreateToolButton(0, QStringLiteral("Cmd_ReturnSel"), QStringLiteral("归还选中"),
                                     QStringLiteral("归还选中图书"));
    Cmd_ReturnAll = CreateToolButton(1, QStringLiteral("Cmd_ReturnAll"), QStringLiteral("归还所有"),
                                     QStringLiteral("双击归还所有图书"));
    Cmd_Refresh =
        CreateToolButton(2, QStringLiteral("Cmd_Refresh"), QStringLiteral("刷新"), QStringLiteral("刷新借书档案"));

    vb::Grid *g = CreateGrid(240, 1110, 11000, 6000);
    g->setToolTipText(QStringLiteral("双击归还选中图书 | Up/Down 移动"));

    CreateSBarSwitch(9000, 660, 1000, 255);

    CreateSideBar();
    Lbl_SBarTitle = CreateSideBarTitle();
    vb::Frame *frame = CreateSideFrame(QStringLiteral("Frame_Find"), QStringLiteral("模糊查找"), 600, 2280);
    Frame_Find = frame;
    Opt_RID = new vb::OptionButton(frame, QStringLiteral("Opt_RID"), QStringLiteral("读者编号"));
    Opt_RID->Move(SideLabelLeft, 360, 2400, 300);
    Opt_BID = new vb::OptionButton(frame, QStringLiteral("Opt_BID"), QStringLiteral("图书编号"));
    Opt_BID->Move(SideLabelLeft, 720, 2400, 300);
    Opt_ISBN = new vb::OptionButton(frame, QStringLiteral("Opt_ISBN"), QStringLiteral("ISBN"));
    Opt_ISBN->Move(SideLabelLeft, 1080, 2400, 300);
    for (vb::OptionButton *o : {Opt_RID.peek(), Opt_BID.peek(), Opt_ISBN.peek()}) o->setBackColor(vb::kWhite);
    auto *txt = new FTextBox(frame, QStringLiteral("Txt_ID"));
    txt->Move(SideLabelLeft, 1500, SideBoxRight - SideLabelLeft, FTextBox::FixedHeight);
    txt->setAutoSelAll(true);
    Txt_ID = txt;
    Cmd_Find = CreateButton(QStringLiteral("Cmd_Find"), QStringLiteral("查找"), SideBoxRight - 1200, 1860, 1200, 330,
                            QString(), frame);

    connect(Cmd_ReturnSel.peek(), &XButton::Click, this, &Frm_ReturnBook::Cmd_ReturnSel_Click);
    connect(Cmd_ReturnAll.peek(), &XButton::Click, this, &Frm_ReturnBook::Cmd_ReturnAll_Click);
    connect(Cmd_Refresh.peek(), &XButton::Click, this, &Frm_ReturnBook::Cmd_Refresh_Click);
    connect(Cmd_Find.peek(), &XButton::Click, this, &Frm_ReturnBook::Cmd_Find_Click);
    connect(txt, &FTextBox::KeyPress, this, &Frm_ReturnBook::Txt_ID_KeyPress);
}

void Frm_ReturnBook::Form_Load()
{
    ChildListForm::Form_Load();
    // Up and Down move through the loans as soon as the window is shown.
    QTimer::singleShot(0, this, [this] {
        if (vb::Grid *g = Grid_ShowData.peek(); g && g->isVisible()) g->view()->setFocus();
    });
}

namespace {
// The list joins each open loan to its copy, its title and its reader.
const QString kJoins = QStringLiteral("图书借阅.图书编号 = 图书库存.图书编号 AND 图书库存.ISBN = 图书档案.ISBN AND "
                                      "图书借阅.读者编号 = 读者档案.读者编号");
const QString kOpenLoans = QStringLiteral("是否已还 = '0'");
}  // namespace

void Frm_ReturnBook::ResetReturnQuery()
{
    SQLSelect = QStringLiteral(
        "SELECT 图书借阅编号, 图书借阅.图书编号, 图书名称, 图书库存.ISBN, 图书借阅.读者编号, 姓名, "
        "CONVERT(varchar(10),借书日期,23) AS 借书日期, CONVERT(varchar(10),理论还书日期,23) AS 理论还书日期, "
        "CONVERT(varchar(10),实际还书日期,23) AS 实际还书日期, 是否已还 = CASE WHEN 是否已还 = 1 THEN '是' ELSE '否' "
        "END, 借书经手人, 还书经手人");
    SQLFrom = QStringLiteral("FROM 读者档案, 图书档案, 图书借阅, 图书库存");
    SQLGroup.clear();
    SQLOrder = QStringLiteral("ORDER BY 图书借阅编号 ASC");
    ComposeReturnQuery(kOpenLoans, QString());
}

void Frm_ReturnBook::ComposeReturnQuery(const QString &loanConditions, const QString &copyCondition)
{
    LoanConditions = loanConditions;
    SQLWhere = QStringLiteral("WHERE ") + kJoins + QStringLiteral(" AND ") + loanConditions + copyCondition;
    SQLText =
        SQLSelect + QStringLiteral(" ") + SQLFrom + QStringLiteral(" ") + SQLWhere + QStringLiteral(" ") + SQLOrder;
}

void Frm_ReturnBook::InitReturnGrid()
{
    Grid_ShowData->Clear();
    static const int widths[12] = {1600, 1200, 1800, 1200, 1200, 1200, 1200, 1200, 1200, 1200, 1200, 1200};
    SetColWidths(widths);
}

void Frm_ReturnBook::SetDefaultFilter() { Opt_RID->setValue(true); }

// ---------------------------------------------------------------- find

void Frm_ReturnBook::Txt_ID_KeyPress(int &KeyAscii)
{
    if (KeyAscii == 13) Cmd_Find_Click();
}

void Frm_ReturnBook::Cmd_Find_Click()
{
    ResetReturnQuery();
    const QString p = SQLQuote(Txt_ID->Text() + QStringLiteral("%"));
    // The reload highlights row 1, and CurRow follows it.
    if (Opt_ISBN->Value()) {
        // An ISBN is the copies': the list is counted with its join.
        ComposeReturnQuery(kOpenLoans, QStringLiteral(" AND 图书库存.ISBN LIKE ") + p);
        RunList(true);
        return;
    }
    if (Opt_RID->Value())
        ComposeReturnQuery(kOpenLoans + QStringLiteral(" AND 图书借阅.读者编号 LIKE ") + p, QString());
    else if (Opt_BID->Value())
        ComposeReturnQuery(kOpenLoans + QStringLiteral(" AND 图书借阅.图书编号 LIKE ") + p, QString());
    LoadLoans();
}

void Frm_ReturnBook::Cmd_Refresh_Click()
{
    if (!Grid_ShowData.peek()) return;
    ResetReturnQuery();
    LoadLoans();
}

// Counting the list's join reads every copy, title and reader of the library
// (a tenth of a second and more on the server, after every return of every
// desk). The program never lets an open loan lose any of the three: a copy on
// loan, a reader who holds books and a title with copies are not deleted, nor
// is a loan, copy or reader of an open loan by the clean-up, and no key is
// ever changed. So the list has a row for every loan its conditions on the
// loans take, and is counted from the loans alone; every open loan, from the
// count the database keeps of them (lib_open_loans), which costs the server
// less than counting them after every return. (`librarydb check` reports a
// database where a loan's copy, title or reader was lost some other way, or
// the kept count is off; its list shows blank rows at the end.)
void Frm_ReturnBook::LoadLoans()
{
    if (vb::Grid *g = Grid_ShowData.peek()) {
        const QString count = LoanConditions == kOpenLoans
                                  ? QStringLiteral("SELECT ISNULL(SUM(未还), 0) FROM lib_open_loans")
                                  : QStringLiteral("SELECT COUNT(*) FROM 图书借阅 WHERE ") + LoanConditions;
        if (!LoadGridData(*g, SQLText, ErrText, true, count)) ShowErrorText(ErrText);
    }
    CurRow = 1;
}

// ---------------------------------------------------------------- return

void Frm_ReturnBook::Cmd_ReturnSel_Click()
{
    ado::Connection &conn = SQLConn();
    try {
        vb::Grid *g = Grid_ShowData.get();
        if (CurRow < 1 || CurRow >= g->Rows() || g->Cols() < 5) throw ado::Error(QStringLiteral("无效的行号"));
        const QString loanNo = vb::Trim(g->TextMatrix(CurRow, 0));
        const QString bookId = vb::Trim(g->TextMatrix(CurRow, 1));
        const QString title = vb::Trim(g->TextMatrix(CurRow, 2));
        const QString readerId = vb::Trim(g->TextMatrix(CurRow, 4));
        if (loanNo.isEmpty()) return;
        if (!AskQuestion(QStringLiteral("确实要归还编号为 [ ") + bookId + QStringLiteral(" ] 的 [ ") + title
                             + QStringLiteral(" ] 吗？"),
                         QStringLiteral("归还图书")))
            return;

        // The loan, the copy and the reader's counters change together or not at all;
        // a loan closed meanwhile (another desk, a stale list) is not returned twice.
        // The loan is locked as it is read: another desk returning it waits and
        // then finds it closed. The updates lock the copy, then the reader, in
        // the order a lending locks them.
        {
            ado::Transaction trans(conn);
            ado::Recordset rs;
            rs.Open(QStringLiteral("SELECT 是否已还 FROM 图书借阅 WITH (UPDLOCK) WHERE 图书借阅编号 = ")
                        + SQLQuote(loanNo),
                    conn, ado::adOpenKeyset, ado::adLockReadOnly);
            if (rs.EOF_() || vb::Val(rs.Fields(0).toString()) != 0)
                throw Refusal{QStringLiteral("编号为 [ ") + bookId + QStringLiteral(" ] 的图书已经归还！")};
            rs.Close();
            const QString today = vb::Format(vb::Date(), QStringLiteral("yyyy-mm-dd"));
            conn.Execute(QStringLiteral("UPDATE 图书借阅 SET ") + QStringLiteral("实际还书日期 = ") + SQLQuote(today)
                         + QStringLiteral(",是否已还 = '1'") + QStringLiteral(",还书经手人 = ") + SQLQuote(CurUID)
                         + QStringLiteral(" WHERE 图书借阅编号 = ") + SQLQuote(loanNo));
            conn.Execute(QStringLiteral("UPDATE 图书库存 SET 状态 = '空闲'") + QStringLiteral(" WHERE 图书编号 = ")
                         + SQLQuote(bookId));
            conn.Execute(QStringLiteral("UPDATE 读者档案 SET 当前借书数量 = 当前借书数量 - 1")
                         + QStringLiteral(",未还书总数 = 未还书总数 - 1") + QStringLiteral(" WHERE 读者编号 = ")
                         + SQLQuote(readerId));
            trans.Commit();
        }
        ShowNotice(QStringLiteral("还书成功！共归还 1 本图书。"), QStringLiteral("还书成功"));
        Cmd_Refresh_Click();
    } catch (const Refusal &r) {
        ShowErrorText(r.text);
        Cmd_Refresh_Click();
    } catch (const std::exception &e) {
        ShowError(e);
        Cmd_Refresh_Click();
    }
}

void Frm_ReturnBook::Cmd_ReturnAll_Click()
{
    // The button is offered but has no action.
}
