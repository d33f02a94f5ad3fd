#include "catalogue/Frm_ReaderDoc.h"

#include "catalogue/Frm_ReaderAdd.h"
#include "core/DialogConventions.h"
#include "core/Mdl_ComVarList.h"
#include "core/Mdl_SQLConnection.h"
#include "core/ModalEditForm.h"
#include "core/Refusal.h"
#include "db/Transaction.h"
#include "ui/Runtime.h"
#include "ui/Twips.h"

#include <QAbstractItemView>
#include <QComboBox>

#include <exception>

namespace {
const QString kEditPower = QStringLiteral("修改读者权限");
}  // namespace

Frm_ReaderDoc::Frm_ReaderDoc() : ChildListForm(QStringLiteral("Frm_ReaderDoc"))
{
    setCaption(QStringLiteral("读者档案管理"));
}

// ---------------------------------------------------------------- controls

void Frm_ReaderDoc::CreateControls()
{
    CreateTitleBar();
    Cmd_TBarClose->setToolTip(QStringLiteral("关闭当前窗口"));

    Cmd_Add = CreateToolButton(0, QStringLiteral("Cmd_Add"), QStringLiteral("添加"), QStringLiteral("添加新读者档案"));
    Cmd_Modify =
        CreateToolButton(1, QStringLiteral("Cmd_Modify"), QStringLiteral("修改"), QStringLiteral("修改当前读者档案"));
    Cmd_Delete =
        CreateToolButton(2, QStringLiteral("Cmd_Delete"), QStringLiteral("删除"), QStringLiteral("删除当前读者档案"));
    Cmd_Refresh =
        CreateToolButton(3, QStringLiteral("Cmd_Refresh"), QStringLiteral("刷新"), QStringLiteral("刷新读者档案"));

    vb::Grid *g = CreateGrid(240, 1110, 11000, 6000);
    g->setToolTipText(QStringLiteral("双击修改当前读者档案 | Del 删除 | Up/Down 移动"));

    CreateSBarSwitch(9000, 660, 1000, 255);

    // The side bar: find, sort and filter frames.
    CreateSideBar();
    Lbl_SBarTitle = CreateSideBarTitle();

    // Labels stand 45 twips below their boxes' tops.
    const auto makeLabel = [](QWidget *parent, const QString &name, const QString &caption, int top) {
        return CreateSideLabel(parent, name, caption, SideLabelLeft, top + 45, 840);
    };

    Frame_Find = CreateSideFrame(QStringLiteral("Frame_Find"), QStringLiteral("模糊查找"), 600, 900);
    Lbl_Find_RID = makeLabel(Frame_Find.peek(), QStringLiteral("Lbl_Find_RID"), QStringLiteral("读者编号"), 360);
    auto *find = new FTextBox(Frame_Find.peek(), QStringLiteral("Txt_Find_RID"));
    find->Move(1080, 390, SideBoxRight - 1080, FTextBox::FixedHeight);
    find->setAutoSelAll(true);
    Txt_Find_RID = find;

    CreateSortGroup(this, QStringLiteral("读者排序"), 1620, 1380, 45);
    // The field names are longer than the boxes: their lists open wider.
    for (FCombo *c : {Cmb_Sort_1.peek(), Cmb_Sort_2.peek()}) c->comboBox()->view()->setMinimumWidth(vb::toPx(1800));

    Frame_Filter = CreateSideFrame(QStringLiteral("Frame_Filter"), QStringLiteral("读者筛选"), 3120, 1380);
    Lbl_Filter_RStatus =
        makeLabel(Frame_Filter.peek(), QStringLiteral("Lbl_Filter_RStatus"), QStringLiteral("读者状态"), 360);
    Cmb_Filter_RStatus =
        CreatePickList(Frame_Filter.peek(), QStringLiteral("Cmb_Filter_RStatus"), 1080, 360, SideBoxRight - 1080);
    Lbl_Filter_RType =
        makeLabel(Frame_Filter.peek(), QStringLiteral("Lbl_Filter_RType"), QStringLiteral("读者类别"), 840);
    Cmb_Filter_RType =
        CreatePickList(Frame_Filter.peek(), QStringLiteral("Cmb_Filter_RType"), 1080, 840, SideBoxRight - 1080);

    Lbl_SBarTip = CreateSideBarTip(4620, 2880);

    ConnectEditButtons(this);
    connect(find, &FTextBox::Change, this, &Frm_ReaderDoc::Txt_Find_RID_Change);
    connect(Cmb_Filter_RStatus.peek(), &FCombo::Click, this, &Frm_ReaderDoc::Cmb_Filter_RStatus_Click);
    connect(Cmb_Filter_RType.peek(), &FCombo::Click, this, &Frm_ReaderDoc::Cmb_Filter_RType_Click);
    ConnectSortGroup(this);
}

// ---------------------------------------------------------------- grid, lists, query

void Frm_ReaderDoc::InitReaderGrid()
{
    Grid_ShowData->Clear();
    static const int widths[17] = {1200, 1200, 600,  900,  900,  900, 1200, 1200, 1200,
                                   1200, 1200, 1800, 1200, 3000, 900, 1200, 900};
    SetColWidths(widths);
}

void Frm_ReaderDoc::FillReaderCombos()
{
    FCombo *sort1 = Cmb_Sort_1.get();
    FCombo *sort2 = Cmb_Sort_2.get();
    FCombo *order1 = Cmb_Sort_1_Order.get();
    FCombo *order2 = Cmb_Sort_2_Order.get();
    FCombo *rtype = Cmb_Filter_RType.get();
    FCombo *rstatus = Cmb_Filter_RStatus.get();
    for (FCombo *c : {sort1, order1, sort2, order2, rstatus, rtype}) c->Clear();
    try {
        FillSortLists(QStringLiteral("读者档案"), sort1, order1, sort2, order2);
        FillFilterList(rtype, QStringLiteral("SELECT * FROM 读者类别 ORDER BY 借书数量限制 ASC"),
                       QStringLiteral("读者类别"));
        rstatus->AddItem(QStringLiteral("[全部]"));
        rstatus->AddItem(QStringLiteral("正常"));
        rstatus->AddItem(QStringLiteral("停用"));
    } catch (const std::exception &e) {
        ShowError(e);
    }
}

void Frm_ReaderDoc::ResetReaderSQL()
{
    SQLSelect = QStringLiteral(
        "SELECT 读者编号, 姓名, 性别 = CASE WHEN 性别 = 1 THEN '男' ELSE '女' END, CONVERT(varchar(10), 账户金额,0) AS "
        "账户金额, 读者档案.读者类别, 状态, 当前借书数量, 总借书数量, 总借书次数, 有损还书次数, 未还书总数, "
        "身份证号码, "
        "联系电话, 地址, 邮编, CONVERT(varchar(10),登记日期,23) AS 登记日期, 经手人");
    SQLFrom = QStringLiteral("FROM 读者档案,读者类别");
    SQLWhere = QStringLiteral("WHERE 读者档案.读者类别 *= 读者类别.读者类别");
    SQLGroup.clear();
    SQLOrder = QStringLiteral("ORDER BY 读者编号 ASC");
    SQLText =
        SQLSelect + QStringLiteral(" ") + SQLFrom + QStringLiteral(" ") + SQLWhere + QStringLiteral(" ") + SQLOrder;
}

// ---------------------------------------------------------------- filters, find, sort

void Frm_ReaderDoc::Cmb_Filter_RStatus_Click()
{
    ApplyFilter(Cmb_Filter_RStatus.get(), QStringLiteral("读者档案.状态"));
}

void Frm_ReaderDoc::Cmb_Filter_RType_Click()
{
    ApplyFilter(Cmb_Filter_RType.get(), QStringLiteral("读者档案.读者类别"));
}

void Frm_ReaderDoc::Txt_Find_RID_Change() { ApplyFind(QStringLiteral("读者编号"), Txt_Find_RID->Text()); }

void Frm_ReaderDoc::Cmb_Sort_Click() { ApplyReaderSort(); }

void Frm_ReaderDoc::ApplyReaderSort()
{
    ApplySort(QStringLiteral("读者档案"), Cmb_Sort_1.get(), Cmb_Sort_1_Order.get(), Cmb_Sort_2.get(),
              Cmb_Sort_2_Order.get());
}

// ---------------------------------------------------------------- add, modify, delete

QString Frm_ReaderDoc::CellText(int row, int col)
{
    vb::Grid *g = Grid_ShowData.get();
    if (row < 0 || row >= g->Rows() || col < 0 || col >= g->Cols()) return QString();
    return g->TextMatrix(row, col);
}

void Frm_ReaderDoc::Cmd_Add_Click()
{
    Frm_ReaderAdd &ed = vb::Default<Frm_ReaderAdd>();
    OpenModalEditor(
        ed, this, kEditPower, QStringLiteral("ADD"), [&ed](const QString &k) { ed.RID = k; }, QString());
}

void Frm_ReaderDoc::Cmd_Modify_Click()
{
    Frm_ReaderAdd &ed = vb::Default<Frm_ReaderAdd>();
    // The number is passed as the grid shows it.
    OpenModalEditor(
        ed, this, kEditPower, QStringLiteral("MOD"), [&ed](const QString &k) { ed.RID = k; }, CellText(CurRow, 0));
}

bool Frm_ReaderDoc::HasOpenLoans(const QString &readerId)
{
    // Inside the transaction that deletes the reader, the reader is locked
    // first: a desk lending to the reader meanwhile holds the row until its
    // loans are in (and seen here), or finds the reader gone.
    if (SQLConn().InTransaction()) {
        ado::Recordset locked;
        locked.Open(QStringLiteral("SELECT 读者编号 FROM 读者档案 WITH (UPDLOCK) WHERE 读者编号 = ")
                        + SQLQuote(readerId),
                    SQLConn(), ado::adOpenKeyset, ado::adLockReadOnly);
    }
    ado::Recordset rs;
    rs.Open(QStringLiteral("SELECT 图书借阅编号 FROM 图书借阅 WHERE 是否已还 = '0' AND 读者编号 = ")
                + SQLQuote(readerId),
            SQLConn(), ado::adOpenKeyset, ado::adLockReadOnly);
    return !rs.EOF_();
}

void Frm_ReaderDoc::Cmd_Delete_Click()
{
    if (!CheckUserPower(kEditPower)) {
        ShowErrorText(RefusedText());
        return;
    }
    const QString id = vb::Trim(CellText(CurRow, 0));
    const QString name = CellText(CurRow, 1);
    if (id.isEmpty()) return;
    // A reader who still holds books stays: the open loans must keep their
    // reader, or the books could never be returned. Asked again as the reader
    // goes, in case a desk lent a book meanwhile.
    const QString holdsBooks = QStringLiteral("编号为 [ ") + id + QStringLiteral(" ] 的读者尚有图书未还，不能删除！");
    try {
        if (HasOpenLoans(id)) {
            ShowErrorText(holdsBooks);
            return;
        }
        if (ConfirmDelete(QStringLiteral("确实要删除编号为 [ ") + id + QStringLiteral(" ] 的读者 [ ") + name
                              + QStringLiteral(" ] 吗？"),
                          QStringLiteral("删除读者"))) {
            ado::Transaction trans(SQLConn());
            if (HasOpenLoans(id)) throw Refusal{holdsBooks};
            SQLConn().Execute(QStringLiteral("DELETE FROM 读者档案 WHERE 读者编号 = ") + SQLQuote(id));
            trans.Commit();
        }
    } catch (const Refusal &r) {
        ShowErrorText(r.text);
    } catch (const std::exception &e) {
        ShowError(e);
    }
    Cmd_Refresh_Click();
}
