#include "catalogue/Frm_BookInfo.h"

#include "catalogue/BookForms.h"
#include "catalogue/Frm_BookAdd.h"
#include "core/DialogConventions.h"
#include "core/Mdl_ComVarList.h"
#include "core/Mdl_SQLConnection.h"
#include "core/Refusal.h"
#include "db/Transaction.h"
#include "ui/Runtime.h"

#include <exception>

namespace {

// Column widths in twips: normal and compact display.
constexpr int kCols = 9;
constexpr int kNormalWidths[kCols] = {3000, 1800, 1200, 1800, 1200, 900, 1050, 1050, 600};
constexpr int kCompactWidths[kCols] = {2700, 1800, 1200, 970, 1000, 600, 600, 600, 450};

}  // namespace

Frm_BookInfo::Frm_BookInfo() : ChildListForm(QStringLiteral("Frm_BookInfo"))
{
    setCaption(QStringLiteral("图书档案管理"));
}

// ---------------------------------------------------------------- controls

void Frm_BookInfo::CreateControls()
{
    CreateTitleBar();
    Cmd_TBarClose->setToolTip(QStringLiteral("关闭当前窗口"));

    Cmd_Add =
        CreateToolButton(0, QStringLiteral("Cmd_Add"), QStringLiteral("添加"), QStringLiteral("添加新图书档案(库存)"));
    Cmd_Modify =
        CreateToolButton(1, QStringLiteral("Cmd_Modify"), QStringLiteral("修改"), QStringLiteral("修改当前图书档案"));
    Cmd_Delete =
        CreateToolButton(2, QStringLiteral("Cmd_Delete"), QStringLiteral("删除"), QStringLiteral("删除当前图书档案"));
    Cmd_Refresh =
        CreateToolButton(3, QStringLiteral("Cmd_Refresh"), QStringLiteral("刷新"), QStringLiteral("刷新图书档案"));

    vb::Grid *g = CreateGrid(240, 1110, 11000, 6000);
    g->setToolTipText(QStringLiteral("双击修改当前图书档案 | Del 删除 | Up/Down 移动"));

    CreateSBarSwitch(9000, 660, 1000, 255);

    CreateSideBar();
    Lbl_SBarTitle = CreateSideBarTitle();

    vb::Frame *ff = CreateSideFrame(QStringLiteral("Frame_Filter"), QStringLiteral("图书筛选"), 600, 1260);
    Frame_Filter = ff;
    Lbl_Filter_Press =
        CreateSideLabel(ff, QStringLiteral("Lbl_Filter_Press"), QStringLiteral("出版社"), SideLabelLeft, 420, 720);
    Cmb_Filter_Press = CreatePickList(ff, QStringLiteral("Cmb_Filter_Press"), 960, 360, SideBoxRight - 960);
    Lbl_Filter_Writer =
        CreateSideLabel(ff, QStringLiteral("Lbl_Filter_Writer"), QStringLiteral("作    者"), SideLabelLeft, 900, 720);
    Cmb_Filter_Writer = CreatePickList(ff, QStringLiteral("Cmb_Filter_Writer"), 960, 840, SideBoxRight - 960);

    CreateSortGroup(this, QStringLiteral("图书排序"), 1980, 1260);

    vb::Frame *fi = CreateSideFrame(QStringLiteral("Frame_Find"), QStringLiteral("模糊查找"), 3360, 840);
    Frame_Find = fi;
    Lbl_Find_ISBN =
        CreateSideLabel(fi, QStringLiteral("Lbl_Find_ISBN"), QStringLiteral("ISBN"), SideLabelLeft, 420, 720);
    auto *txt = new FTextBox(fi, QStringLiteral("Txt_Find_ISBN"));
    txt->Move(960, 390, SideBoxRight - 960, FTextBox::FixedHeight);
    txt->setAutoSelAll(true);
    Txt_Find_ISBN = txt;

    Lbl_SBarTip = CreateSideBarTip(4380, 2760);

    CreateShowClose(240, 2400, QStringLiteral("以紧凑方式显示"));

    ConnectEditButtons(this);
    connect(Chk_ShowClose.peek(), &vb::CheckBox::Click, this, &Frm_BookInfo::Chk_ShowClose_Click);
    connect(Cmb_Filter_Press.peek(), &FCombo::Click, this, &Frm_BookInfo::Cmb_Filter_Press_Click);
    connect(Cmb_Filter_Writer.peek(), &FCombo::Click, this, &Frm_BookInfo::Cmb_Filter_Writer_Click);
    ConnectSortGroup(this);
    connect(txt, &FTextBox::Change, this, &Frm_BookInfo::Txt_Find_ISBN_Change);
}

// ---------------------------------------------------------------- grid and lists

void Frm_BookInfo::SetBookColWidths(bool compact)
{
    if (compact)
        SetColWidths(kCompactWidths);
    else
        SetColWidths(kNormalWidths);
}

void Frm_BookInfo::InitBookGrid()
{
    Grid_ShowData->Clear();
    SetBookColWidths(false);
}

void Frm_BookInfo::Chk_ShowClose_Click()
{
    SetBookColWidths(Chk_ShowClose->Value() == vb::vbChecked);
    Grid_ShowData->Refresh();
}

void Frm_BookInfo::FillBookCombos()
{
    FCombo *sort1 = Cmb_Sort_1.get();
    FCombo *order1 = Cmb_Sort_1_Order.get();
    FCombo *sort2 = Cmb_Sort_2.get();
    FCombo *order2 = Cmb_Sort_2_Order.get();
    FCombo *writer = Cmb_Filter_Writer.get();
    FCombo *press = Cmb_Filter_Press.get();
    for (FCombo *c : {sort1, order1, sort2, order2, writer, press}) c->Clear();
    try {
        FillSortLists(QStringLiteral("图书档案"), sort1, order1, sort2, order2);
        FillFilterList(writer, QStringLiteral("SELECT DISTINCT 作者 FROM 图书档案"), QStringLiteral("作者"));
        FillFilterList(press, QStringLiteral("SELECT DISTINCT 出版社名称 FROM 出版社"), QStringLiteral("出版社名称"));
    } catch (const ado::Error &e) {
        ShowError(e);
    }
}

// ---------------------------------------------------------------- query

void Frm_BookInfo::ResetBookSQL()
{
    SQLSelect = QStringLiteral(
        "SELECT 图书名称, 作者, 图书档案.ISBN, 出版社名称,CONVERT(varchar(10),出版时间,23) AS 出版时间, "
        "CONVERT(varchar(10),价格,0) AS 价格, CONVERT(varchar(10),每日租金,0) AS 每日租金, 可否外借 = CASE WHEN "
        "可否外借 = 1 THEN '是' ELSE '否' END, COUNT(图书库存.ISBN) AS 数量");
    SQLFrom = QStringLiteral("FROM 图书档案,图书库存");
    SQLWhere = QStringLiteral("WHERE 图书档案.ISBN *= 图书库存.ISBN");
    SQLGroup = QStringLiteral("GROUP BY 图书名称, 作者, 图书档案.ISBN, 出版社名称, 出版时间, 价格, 每日租金, 可否外借");
    SQLOrder.clear();
    SQLText =
        SQLSelect + QStringLiteral(" ") + SQLFrom + QStringLiteral(" ") + SQLWhere + QStringLiteral(" ") + SQLGroup;
}

void Frm_BookInfo::Cmb_Filter_Press_Click() { ApplyFilter(Cmb_Filter_Press.get(), QStringLiteral("出版社名称")); }

void Frm_BookInfo::Cmb_Filter_Writer_Click() { ApplyFilter(Cmb_Filter_Writer.get(), QStringLiteral("作者")); }

void Frm_BookInfo::Txt_Find_ISBN_Change() { ApplyFind(QStringLiteral("图书档案.ISBN"), Txt_Find_ISBN->Text()); }

void Frm_BookInfo::ApplyBookSort()
{
    ApplySort(QStringLiteral("图书档案"), Cmb_Sort_1.get(), Cmb_Sort_1_Order.get(), Cmb_Sort_2.get(),
              Cmb_Sort_2_Order.get());
}

// ---------------------------------------------------------------- actions

void Frm_BookInfo::Cmd_Add_Click()
{
    Frm_BookAdd &editor = vb::Default<Frm_BookAdd>();
    OpenModalEditor(
        editor, this, QStringLiteral("修改图书权限"), QStringLiteral("ADD_Book"),
        [&editor](const QString &key) { editor.BookISBN = key; }, QString());
}

void Frm_BookInfo::Cmd_Modify_Click()
{
    Frm_BookAdd &editor = vb::Default<Frm_BookAdd>();
    vb::Grid *g = Grid_ShowData.get();
    const QString isbn = (CurRow >= 1 && CurRow < g->Rows()) ? g->TextMatrix(CurRow, 2) : QString();
    OpenModalEditor(
        editor, this, QStringLiteral("修改图书权限"), QStringLiteral("MOD_Book"),
        [&editor](const QString &key) { editor.BookISBN = key; }, isbn);
}

bool Frm_BookInfo::HasStoreCopies(const QString &isbn)
{
    ado::Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM 图书库存 WHERE ISBN = ") + SQLQuote(isbn), SQLConn(), ado::adOpenKeyset,
            ado::adLockReadOnly);
    return !rs.EOF_();
}

void Frm_BookInfo::Cmd_Delete_Click()
{
    if (!CheckUserPower(QStringLiteral("修改图书权限"))) {
        ShowErrorText(RefusedText());
        return;
    }
    vb::Grid *g = Grid_ShowData.get();
    if (CurRow < 1 || CurRow >= g->Rows()) return;
    const QString title = g->TextMatrix(CurRow, 0);
    const QString isbn = g->TextMatrix(CurRow, 2);
    if (isbn.isEmpty()) return;
    const QString onLoan = QStringLiteral("检测到 [ ") + title + QStringLiteral(" ] 有库存尚未归还，不能删除！");
    const QString copiesOfTitle = QStringLiteral("ISBN = ") + SQLQuote(isbn);
    try {
        const bool hasCopies = HasStoreCopies(isbn);
        if (hasCopies) {
            // A copy out on loan keeps its title: its open loan must still be returnable.
            if (CopiesOnLoan(copiesOfTitle)) {
                ShowErrorText(onLoan);
                return;
            }
            if (!ConfirmDelete(QStringLiteral("检测到 [ ") + title + QStringLiteral(" ] 存在库存。\r\n")
                                   + QStringLiteral("要删除该书必须先删除所有相关库存，确定吗？"),
                               QStringLiteral("删除库存"), false)) {
                Cmd_Refresh_Click();
                return;
            }
        }
        const bool titleToo = ConfirmDelete(
            QStringLiteral("确实要删除 [ ") + title + QStringLiteral(" ] 的所有信息吗？"), QStringLiteral("删除图书"));
        // Both questions come first: the copies and the title then go together
        // or not at all, and no desk waits on a question while this one writes.
        if (hasCopies || titleToo) {
            ado::Transaction trans(SQLConn());
            if (hasCopies) {
                if (CopiesOnLoan(copiesOfTitle)) throw Refusal{onLoan};  // lent at another desk meanwhile
                SQLConn().Execute(QStringLiteral("DELETE FROM 图书库存 WHERE ISBN = ") + SQLQuote(isbn));
            }
            if (titleToo) SQLConn().Execute(QStringLiteral("DELETE FROM 图书档案 WHERE ISBN = ") + SQLQuote(isbn));
            trans.Commit();
        }
    } catch (const Refusal &r) {
        ShowErrorText(r.text);
    } catch (const std::exception &e) {
        ShowError(e);
    }
    Cmd_Refresh_Click();
}
