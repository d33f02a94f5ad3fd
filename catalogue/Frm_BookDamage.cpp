#include "catalogue/Frm_BookDamage.h"

#include "catalogue/Frm_BookDamageItem.h"
#include "core/DialogConventions.h"
#include "core/Mdl_ComVarList.h"
#include "core/Mdl_SQLConnection.h"
#include "core/ModalEditForm.h"
#include "ui/Runtime.h"

#include <exception>

Frm_BookDamage::Frm_BookDamage() : ChildListForm(QStringLiteral("Frm_BookDamage"))
{
    setCaption(QStringLiteral("图书损坏管理"));
}

void Frm_BookDamage::CreateControls()
{
    CreateTitleBar();
    Cmd_TBarClose->setToolTip(QStringLiteral("关闭当前窗口"));

    Cmd_Add = CreateToolButton(0, QStringLiteral("Cmd_Add"), QStringLiteral("添加"), QStringLiteral("添加记录"));
    Cmd_Modify = CreateToolButton(1, QStringLiteral("Cmd_Modify"), QStringLiteral("修改"), QStringLiteral("修改记录"));
    Cmd_Delete = CreateToolButton(2, QStringLiteral("Cmd_Delete"), QStringLiteral("删除"), QStringLiteral("删除记录"));
    Cmd_Refresh =
        CreateToolButton(3, QStringLiteral("Cmd_Refresh"), QStringLiteral("刷新"), QStringLiteral("刷新记录"));

    vb::Grid *g = CreateGrid(240, 1110, 11000, 6000);
    g->setToolTipText(QStringLiteral("双击修改记录 | Del 删除 | Up/Down 移动"));

    CreateSBarSwitch(9000, 660, 1000, 255);

    CreateSideBar();
    Lbl_SBarTitle = CreateSideBarTitle();

    vb::Frame *frame = CreateSideFrame(QStringLiteral("Frame_Filter"), QStringLiteral("信息筛选"), 600, 1440);
    Frame_Filter = frame;
    Lbl_Filter_ISBN =
        CreateSideLabel(frame, QStringLiteral("Lbl_Filter_ISBN"), QStringLiteral("ISBN"), SideLabelLeft, 450, 900);
    FCombo *isbn = CreatePickList(frame, QStringLiteral("Cmb_Filter_ISBN"), 1140, 390, SideBoxRight - 1140);
    Cmb_Filter_ISBN = isbn;
    Lbl_Filter_RID =
        CreateSideLabel(frame, QStringLiteral("Lbl_Filter_RID"), QStringLiteral("读者编号"), SideLabelLeft, 930, 900);
    FCombo *rid = CreatePickList(frame, QStringLiteral("Cmb_Filter_RID"), 1140, 870, SideBoxRight - 1140);
    Cmb_Filter_RID = rid;

    ConnectEditButtons(this);
    connect(isbn, &FCombo::Click, this, &Frm_BookDamage::Cmb_Filter_ISBN_Click);
    connect(rid, &FCombo::Click, this, &Frm_BookDamage::Cmb_Filter_RID_Click);
}

// ---------------------------------------------------------------- list

void Frm_BookDamage::ResetDamageSQL()
{
    SQLSelect = QStringLiteral(
        "SELECT 图书损坏编号, 图书借阅.读者编号, 读者档案.姓名, 图书借阅.图书编号, 图书档案.图书名称, "
        "CONVERT(varchar(10),图书借阅.实际还书日期,23) AS 损坏日期, 损坏描述, CONVERT(varchar(10),赔偿金额,0) AS "
        "赔偿金额, 备注");
    SQLFrom = QStringLiteral("FROM 图书损坏, 图书借阅, 图书档案, 图书库存, 读者档案");
    SQLWhere = QStringLiteral(
        "WHERE 图书损坏.图书借阅编号 = 图书借阅.图书借阅编号 AND 图书借阅.图书编号 = 图书库存.图书编号 AND "
        "图书库存.ISBN = 图书档案.ISBN AND 图书借阅.读者编号 = 读者档案.读者编号");
    SQLGroup.clear();
    SQLOrder = QStringLiteral("ORDER BY 图书损坏编号 DESC");
    SQLText =
        SQLSelect + QStringLiteral(" ") + SQLFrom + QStringLiteral(" ") + SQLWhere + QStringLiteral(" ") + SQLOrder;
}

void Frm_BookDamage::InitDamageGrid()
{
    Grid_ShowData->Clear();
    static const int widths[9] = {1800, 1200, 1200, 1200, 1800, 1200, 3000, 900, 1800};
    SetColWidths(widths);
}

void Frm_BookDamage::FillDamageCombos()
{
    FCombo *rid = Cmb_Filter_RID.get();
    FCombo *isbn = Cmb_Filter_ISBN.get();
    rid->Clear();
    isbn->Clear();
    // A failed read is reported; the window goes on with what was filled.
    try {
        FillFilterList(rid, QStringLiteral("SELECT DISTINCT 读者编号 FROM 读者档案"), QStringLiteral("读者编号"));
        FillFilterList(isbn, QStringLiteral("SELECT DISTINCT ISBN FROM 图书档案"), QStringLiteral("ISBN"));
    } catch (const std::exception &e) {
        ShowError(e);
    }
}

void Frm_BookDamage::Cmb_Filter_ISBN_Click() { ApplyFilter(Cmb_Filter_ISBN.get(), QStringLiteral("图书库存.ISBN")); }

void Frm_BookDamage::Cmb_Filter_RID_Click() { ApplyFilter(Cmb_Filter_RID.get(), QStringLiteral("图书借阅.读者编号")); }

// ---------------------------------------------------------------- actions

void Frm_BookDamage::Cmd_Add_Click()
{
    Frm_BookDamageItem &ed = vb::Default<Frm_BookDamageItem>();
    OpenModalEditor(
        ed, this, QString(), QStringLiteral("ADD"), [&ed](const QString &k) { ed.DamageID = k; }, QString());
}

void Frm_BookDamage::Cmd_Modify_Click()
{
    QString id;
    if (vb::Grid *g = Grid_ShowData.peek(); g && CurRow >= 1 && CurRow < g->Rows() && g->Cols() > 0)
        id = g->TextMatrix(CurRow, 0);
    Frm_BookDamageItem &ed = vb::Default<Frm_BookDamageItem>();
    // An empty key (no record under the cursor) opens nothing.
    OpenModalEditor(
        ed, this, QString(), QStringLiteral("MOD"), [&ed](const QString &k) { ed.DamageID = k; }, id);
}

void Frm_BookDamage::Cmd_Delete_Click()
{
    QString id;
    if (vb::Grid *g = Grid_ShowData.peek(); g && CurRow >= 1 && CurRow < g->Rows() && g->Cols() > 0)
        id = vb::Trim(g->TextMatrix(CurRow, 0));
    if (id.isEmpty()) return;
    try {
        if (ConfirmDelete(QStringLiteral("确实要删除编号为 [ ") + id + QStringLiteral(" ] 的记录吗？"),
                          QStringLiteral("删除记录"), false))
            SQLConn().Execute(QStringLiteral("DELETE FROM 图书损坏 WHERE 图书损坏编号 = ") + SQLQuote(id));
    } catch (const std::exception &e) {
        ShowError(e);
    }
    // Refreshed whatever the answer.
    Cmd_Refresh_Click();
}
