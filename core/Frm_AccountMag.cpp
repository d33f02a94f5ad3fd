#include "core/Frm_AccountMag.h"

#include "core/Frm_AccountAdd.h"
#include "core/Mdl_ComVarList.h"
#include "core/Mdl_SQLConnection.h"
#include "core/ModalEditForm.h"

namespace {
constexpr int GridLeft = 240, GridTop = 1380;
}  // namespace

Frm_AccountMag::Frm_AccountMag() : ChildListForm(QStringLiteral("Frm_AccountMag"))
{
    setCaption(QStringLiteral("账户管理"));
}

void Frm_AccountMag::CreateControls()
{
    CreateTitleBar();
    Cmd_TBarClose->setToolTip(QStringLiteral("关闭当前窗口"));

    Cmd_Add = CreateToolButton(0, QStringLiteral("Cmd_Add"), QStringLiteral("添加"), QStringLiteral("添加新账户"));
    Cmd_Modify =
        CreateToolButton(1, QStringLiteral("Cmd_Modify"), QStringLiteral("修改"), QStringLiteral("修改当前账户"));
    Cmd_Delete =
        CreateToolButton(2, QStringLiteral("Cmd_Delete"), QStringLiteral("删除"), QStringLiteral("删除当前账户"));
    Cmd_Refresh =
        CreateToolButton(3, QStringLiteral("Cmd_Refresh"), QStringLiteral("刷新"), QStringLiteral("刷新账户列表"));

    auto *hint = new vb::Label(client(), QStringLiteral("Lbl_Hint"),
                               QStringLiteral("双击修改当前账户 | Del 删除 | Up/Down 移动"));
    hint->setBackStyle(vb::vbTransparent);
    hint->setForeColor(vb::kGrey);
    hint->Move(GridLeft, 1080, 6000, 255);
    Lbl_Hint = hint;
    AddWorkingControl(hint);

    CreateGrid(GridLeft, GridTop, 9000, 5000);

    ConnectEditButtons(this);
}

void Frm_AccountMag::InitAccGrid()
{
    Grid_ShowData->Clear();
    static const int widths[5] = {1800, 1800, 1800, 2400, 1200};
    SetColWidths(widths);
}

void Frm_AccountMag::ResetAccSQL()
{
    SQLSelect =
        QStringLiteral("SELECT 用户名, 真实姓名, 账户类型, CONVERT(varchar(20),最后登录时间,20) AS 最后登录时间, 状态");
    SQLFrom = QStringLiteral("FROM 账户");
    // Without the right to see every account, the list holds the user's own row only.
    if (CheckUserPower(QStringLiteral("查看账户权限")))
        SQLWhere.clear();
    else
        SQLWhere = QStringLiteral("WHERE 用户名 = ") + SQLQuote(CurUID);
    SQLGroup.clear();
    SQLOrder.clear();
    SQLText = SQLSelect + QStringLiteral(" ") + SQLFrom + QStringLiteral(" ") + SQLWhere;
}

void Frm_AccountMag::Cmd_Add_Click()
{
    Frm_AccountAdd &editor = vb::Default<Frm_AccountAdd>();
    OpenModalEditor(
        editor, this, QStringLiteral("修改账户权限"), QStringLiteral("ADD"),
        [&editor](const QString &key) { editor.UID = key; }, QString());
}

void Frm_AccountMag::Cmd_Modify_Click()
{
    QString uid;
    if (vb::Grid *g = Grid_ShowData.peek(); g && CurRow >= 1 && CurRow < g->Rows() && g->Cols() > 0)
        uid = g->TextMatrix(CurRow, 0);
    Frm_AccountAdd &editor = vb::Default<Frm_AccountAdd>();
    OpenModalEditor(
        editor, this, QString(), QStringLiteral("MOD"), [&editor](const QString &key) { editor.UID = key; }, uid);
}

void Frm_AccountMag::Cmd_Delete_Click()
{
    ShowNotice(QStringLiteral("由于账户关联信息太多，系统不提供账户删除功能！"), QStringLiteral("提示"));
}
