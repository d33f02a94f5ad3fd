#include "catalogue/Frm_ReaderType.h"

#include "core/DialogConventions.h"
#include "core/Mdl_ComVarList.h"
#include "core/Mdl_SQLConnection.h"
#include "ui/Runtime.h"

Frm_ReaderType::Frm_ReaderType() : PanelEditForm(QStringLiteral("Frm_ReaderType"))
{
    setCaption(QStringLiteral("读者类别管理"));
}

void Frm_ReaderType::CreateControls()
{
    CreateTitleBar();
    Cmd_TBarClose->setToolTip(QStringLiteral("关闭当前窗口"));
    CreatePanelControls(
        {QStringLiteral("类别名称"), QStringLiteral("借书时间期限(天)"), QStringLiteral("借书数量限制(本)")},
        {QStringLiteral("添加新类别"), QStringLiteral("修改当前类别"), QStringLiteral("删除当前类别"),
         QStringLiteral("刷新读者类别"), QStringLiteral("双击修改当前类别 | Del 删除 | Up/Down 移动")});
    // The two limits take whole numbers of at most 8 digits.
    for (int i = 1; i <= 2; ++i) {
        Txt(i)->setIsNumber(true);
        Txt(i)->setMaxLength(8);
    }
    for (int i = 0; i < 3; ++i)
        connect(Txt(i), &FTextBox::KeyPress, this, [this, i](int &KeyAscii) { Txt_KeyPress(i, KeyAscii); });
}

void Frm_ReaderType::Txt_KeyPress(int Index, int &KeyAscii)
{
    (void)Index;
    DropDotKey(KeyAscii);
}

QStringList Frm_ReaderType::PanelColumns() const
{
    return {QStringLiteral("读者类别"), QStringLiteral("借书时间期限"), QStringLiteral("借书数量限制")};
}

void Frm_ReaderType::InitReaderTypeGrid()
{
    vb::Grid *g = Grid_ShowData.get();
    g->Clear();
    if (g->Cols() < 3) g->setCols(3);
    for (int i = 0; i < 3; ++i) g->setColWidth(i, 1800);
}

void Frm_ReaderType::ResetReaderTypeSQL()
{
    SQLSelect = QStringLiteral("SELECT *");
    SQLFrom = QStringLiteral("FROM 读者类别");
    SQLWhere.clear();
    SQLGroup.clear();
    SQLOrder = QStringLiteral("ORDER BY 借书数量限制 ASC");
    SQLText =
        SQLSelect + QStringLiteral(" ") + SQLFrom + QStringLiteral(" ") + SQLWhere + QStringLiteral(" ") + SQLOrder;
}

bool Frm_ReaderType::RequiredBoxesFilled()
{
    for (int i = 0; i < 3; ++i) {
        // A name of blanks only would be stored as an empty name: it counts as empty.
        if ((i == 0 ? vb::Trim(Txt(i)->Text()) : Txt(i)->Text()).isEmpty()) {
            ShowNotice(QStringLiteral("请填写") + Lbl(i)->Caption() + QStringLiteral("！"), QStringLiteral("提示"));
            Txt(i)->SetFocus();
            return false;
        }
    }
    return true;
}

// The two limits are written as their text: whole days and books, at least
// one, within the integer columns (a pasted "-30" would make every loan of
// the category due before it was lent).
bool Frm_ReaderType::ValuesAccepted()
{
    for (int i = 1; i <= 2; ++i)
        if (!AcceptWholeNumber(Txt(i), Lbl(i)->Caption(), 1, IntegerColumnMax)) return false;
    return true;
}

bool Frm_ReaderType::IsReaderTypeUsed(const QString &name)
{
    return RowExists(QStringLiteral("SELECT * FROM 读者档案 WHERE 读者类别 = ") + SQLQuote(name));
}

QString Frm_ReaderType::InUseText(const QString &key) const
{
    return QStringLiteral("检测到有读者为 [ ") + key + QStringLiteral(" ] 类别，无法删除。");
}

QString Frm_ReaderType::DeleteQuestion(const QString &key) const
{
    return QStringLiteral("确实要删除 [ ") + key + QStringLiteral(" ] 类别吗？");
}
