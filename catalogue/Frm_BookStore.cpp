#include "catalogue/Frm_BookStore.h"

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

const QString kPower = QStringLiteral("修改库存权限");

// Column widths in twips: normal and compact display.
constexpr int kCols = 9;
constexpr int kNormalWidths[kCols] = {1200, 3000, 1800, 1200, 1800, 1200, 1200, 1200, 1200};
constexpr int kCompactWidths[kCols] = {1200, 1200, 1200, 1200, 960, 960, 960, 1200, 960};

}  // namespace

Frm_BookStore::Frm_BookStore() : ChildListForm(QStringLiteral("Frm_BookStore"))
{
    setCaption(QStringLiteral("图书库存管理"));
}

// ---------------------------------------------------------------- controls

void Frm_BookStore::CreateControls()
{
    CreateTitleBar();
    Cmd_TBarClose->setToolTip(QStringLiteral("关闭当前窗口"));

    Cmd_Add =
        CreateToolButton(0, QStringLiteral("Cmd_Add"), QStringLiteral("添加"), QStringLiteral("添加新图书档案(库存)"));
    Cmd_Delete = CreateToolButton(1, QStringLiteral("Cmd_Delete"), QStringLiteral("删除"),
                                  QStringLiteral("删除当前图书(所有同类)库存"));
    Cmd_Refresh =
        CreateToolButton(2, QStringLiteral("Cmd_Refresh"), QStringLiteral("刷新"), QStringLiteral("刷新图书库存"));

    vb::Grid *g = CreateGrid(240, 1110, 11000, 6000);
    g->setToolTipText(QStringLiteral("双击添加同类库存 | Del 删除 | Up/Down 移动"));

    CreateSBarSwitch(9000, 660, 1000, 255);

    CreateSideBar();
    Lbl_SBarTitle = CreateSideBarTitle();

    vb::Frame *fi = CreateSideFrame(QStringLiteral("Frame_Find"), QStringLiteral("模糊查找"), 600, 840);
    Frame_Find = fi;
    Lbl_Find_BID =
        CreateSideLabel(fi, QStringLiteral("Lbl_Find_BID"), QStringLiteral("图书编号"), SideLabelLeft, 420, 840);
    auto *txt = new FTextBox(fi, QStringLiteral("Txt_Find_BID"));
    txt->Move(1080, 390, SideBoxRight - 1080, FTextBox::FixedHeight);
    txt->setAutoSelAll(true);
    Txt_Find_BID = txt;

    CreateSortGroup(this, QStringLiteral("库存排序"), 1560, 1260);

    vb::Frame *ff = CreateSideFrame(QStringLiteral("Frame_Filter"), QStringLiteral("库存筛选"), 2940, 1260);
    Frame_Filter = ff;
    Lbl_Filter_ISBN =
        CreateSideLabel(ff, QStringLiteral("Lbl_Filter_ISBN"), QStringLiteral("ISBN"), SideLabelLeft, 420, 720);
    Cmb_Filter_ISBN = CreatePickList(ff, QStringLiteral("Cmb_Filter_ISBN"), 1080, 360, SideBoxRight - 1080);
    Lbl_Filter_UID =
        CreateSideLabel(ff, QStringLiteral("Lbl_Filter_UID"), QStringLiteral("经手人"), SideLabelLeft, 900, 720);
    Cmb_Filter_UID = CreatePickList(ff, QStringLiteral("Cmb_Filter_UID"), 1080, 840, SideBoxRight - 1080);

    Lbl_SBarTip = CreateSideBarTip(4380, 2760);

    CreateShowClose(240, 2400, QStringLiteral("以紧凑方式显示"));

    ConnectEditButtons(this);
    connect(Chk_ShowClose.peek(), &vb::CheckBox::Click, this, &Frm_BookStore::Chk_ShowClose_Click);
    connect(Cmb_Filter_ISBN.peek(), &FCombo::Click, this, &Frm_BookStore::Cmb_Filter_ISBN_Click);
    connect(Cmb_Filter_UID.peek(), &FCombo::Click, this, &Frm_BookStore::Cmb_Filter_UID_Click);
    ConnectSortGroup(this);
    connect(txt, &FTextBox::Change, this, &Frm_BookStore::Txt_Find_BID_Change);
}

// ---------------------------------------------------------------- grid and lists

void Frm_BookStore::SetStoreColWidths(bool compact)
{
    if (compact)
        SetColWidths(kCompactWidths);
    else
        SetColWidths(kNormalWidths);
}

void Frm_BookStore::InitStoreGrid()
{
    Grid_ShowData->Clear();
    SetStoreColWidths(false);
}

void Frm_BookStore::Chk_ShowClose_Click()
{
    SetStoreColWidths(Chk_ShowClose->Value() == vb::vbChecked);
    Grid_ShowData->Refresh();
}

void Frm_BookStore::FillStoreCombos()
{
    FCombo *sort1 = Cmb_Sort_1.get();
    FCombo *order1 = Cmb_Sort_1_Order.get();
    FCombo *sort2 = Cmb_Sort_2.get();
    FCombo *order2 = Cmb_Sort_2_Order.get();
    FCombo *isbn = Cmb_Filter_ISBN.get();
    FCombo *uid = Cmb_Filter_UID.get();
    for (FCombo *c : {sort1, order1, sort2, order2, isbn, uid}) c->Clear();
    try {
        FillSortLists(QStringLiteral("图书库存"), sort1, order1, sort2, order2);
        FillFilterList(isbn, QStringLiteral("SELECT DISTINCT ISBN FROM 图书档案"), QStringLiteral("ISBN"));
        FillFilterList(uid, QStringLiteral("SELECT DISTINCT 用户名 FROM 账户"), QStringLiteral("用户名"));
    } catch (const ado::Error &e) {
        ShowError(e);
    }
}

// ---------------------------------------------------------------- query

void Frm_BookStore::ResetStoreSQL()
{
    SQLSelect = QStringLiteral(
        "SELECT 图书编号, 图书名称, 作者, 图书库存.ISBN, CONVERT(varchar(20),入库日期,20) AS 入库日期, 经手人, "
        "最近读者编号, 最近借阅日期, 状态");
    SQLFrom = QStringLiteral("FROM 图书档案,图书库存");
    SQLWhere = QStringLiteral("WHERE 图书档案.ISBN =* 图书库存.ISBN");
    SQLGroup.clear();
    SQLOrder = QStringLiteral("ORDER BY 图书编号 ASC");
    SQLText =
        SQLSelect + QStringLiteral(" ") + SQLFrom + QStringLiteral(" ") + SQLWhere + QStringLiteral(" ") + SQLOrder;
}

void Frm_BookStore::Cmb_Filter_ISBN_Click() { ApplyFilter(Cmb_Filter_ISBN.get(), QStringLiteral("图书库存.ISBN")); }

void Frm_BookStore::Cmb_Filter_UID_Click() { ApplyFilter(Cmb_Filter_UID.get(), QStringLiteral("经手人")); }

void Frm_BookStore::Txt_Find_BID_Change() { ApplyFind(QStringLiteral("图书编号"), Txt_Find_BID->Text()); }

void Frm_BookStore::ApplyStoreSort()
{
    ApplySort(QStringLiteral("图书库存"), Cmb_Sort_1.get(), Cmb_Sort_1_Order.get(), Cmb_Sort_2.get(),
              Cmb_Sort_2_Order.get());
}

// ---------------------------------------------------------------- actions

void Frm_BookStore::Cmd_Add_Click()
{
    Frm_BookAdd &editor = vb::Default<Frm_BookAdd>();
    OpenModalEditor(
        editor, this, kPower, QStringLiteral("ADD_Book"), [&editor](const QString &key) { editor.BookISBN = key; },
        QString());
}

void Frm_BookStore::AddRowCopies()
{
    if (!CheckUserPower(kPower)) {
        ShowErrorText(RefusedText());
        return;
    }
    Frm_BookAdd &editor = vb::Default<Frm_BookAdd>();
    vb::Grid *g = Grid_ShowData.get();
    editor.Mode = QStringLiteral("ADD_Store");
    editor.BookISBN = (CurRow >= 1 && CurRow < g->Rows()) ? g->TextMatrix(CurRow, 3) : QString();
    if (editor.BookISBN.isEmpty()) {
        // An empty list: enter a new title instead.
        Cmd_Add_Click();
        return;
    }
    editor.CallerForm = this;
    editor.Show(vb::vbModal);
}

void Frm_BookStore::Cmd_Delete_Click()
{
    if (!CheckUserPower(kPower)) {
        ShowErrorText(RefusedText());
        return;
    }
    vb::Grid *g = Grid_ShowData.get();
    if (CurRow < 1 || CurRow >= g->Rows()) return;
    const QString title = g->TextMatrix(CurRow, 1);
    const QString bookId = vb::Trim(g->TextMatrix(CurRow, 0));
    const QString isbn = g->TextMatrix(CurRow, 3);
    if (bookId.isEmpty()) return;
    try {
        // A copy out on loan stays: its open loan must still be returnable.
        const QString thisCopy = QStringLiteral("图书编号 = ") + SQLQuote(bookId);
        const QString onLoan = QStringLiteral("编号为 [ ") + bookId + QStringLiteral(" ] 的图书尚未归还，不能删除！");
        if (CopiesOnLoan(thisCopy)) {
            ShowErrorText(onLoan);
            return;
        }
        if (ConfirmDelete(QStringLiteral("确实要删除编号为 [ ") + bookId + QStringLiteral(" ] 的 [ ") + title
                              + QStringLiteral(" ] 吗？"),
                          QStringLiteral("删除库存"))) {
            // Whether the other copies go too is asked before anything is
            // written: this copy and the others then go together or not at
            // all, and no desk waits on a question while this one writes.
            // (This copy is not on loan, so a lent copy of the title is another one.)
            const QString sameTitle = QStringLiteral("ISBN = ") + SQLQuote(isbn);
            const QString othersOnLoan =
                QStringLiteral("[ ") + title + QStringLiteral(" ] 的同类库存中有图书尚未归还，不能全部删除！");
            bool othersToo = false;
            if (CopiesOnLoan(sameTitle))
                ShowErrorText(othersOnLoan);
            else
                othersToo = ConfirmDelete(QStringLiteral("是否要删除 [ ") + title + QStringLiteral(" ] 的同类库存？"),
                                          QStringLiteral("删除库存"));
            ado::Transaction trans(SQLConn());
            if (CopiesOnLoan(thisCopy)) throw Refusal{onLoan};  // lent at another desk meanwhile
            SQLConn().Execute(QStringLiteral("DELETE FROM 图书库存 WHERE 图书编号 = ") + SQLQuote(bookId));
            if (othersToo) {
                if (CopiesOnLoan(sameTitle)) throw Refusal{othersOnLoan};
                SQLConn().Execute(QStringLiteral("DELETE FROM 图书库存 WHERE ISBN = ") + SQLQuote(isbn));
            }
            trans.Commit();
        }
    } catch (const Refusal &r) {
        ShowErrorText(r.text);
    } catch (const std::exception &e) {
        ShowError(e);
    }
    Cmd_Refresh_Click();
}
