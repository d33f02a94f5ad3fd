#include "catalogue/Frm_PressInfo.h"

#include "core/Mdl_ComVarList.h"
#include "core/Mdl_SQLConnection.h"
#include "ui/Runtime.h"

Frm_PressInfo::Frm_PressInfo() : PanelEditForm(QStringLiteral("Frm_PressInfo"))
{
    setCaption(QStringLiteral("出版社信息设置"));
}

void Frm_PressInfo::CreateControls()
{
    CreateTitleBar();
    Cmd_TBarClose->setToolTip(QStringLiteral("关闭当前窗口"));
    CreatePanelControls({QStringLiteral("出版社名称"), QStringLiteral("地址"), QStringLiteral("邮编")},
                        {QStringLiteral("添加新出版社信息"), QStringLiteral("修改当前出版社信息"),
                         QStringLiteral("删除当前出版社信息"), QStringLiteral("刷新出版社信息"),
                         QStringLiteral("双击修改当前出版社信息 | Del 删除 | Up/Down 移动")});
    // A post code is short; the address takes any text.
    Txt(2)->setMaxLength(8);
}

QStringList Frm_PressInfo::PanelColumns() const
{
    return {QStringLiteral("出版社名称"), QStringLiteral("地址"), QStringLiteral("邮编")};
}

void Frm_PressInfo::InitPressGrid()
{
    vb::Grid *g = Grid_ShowData.get();
    g->Clear();
    if (g->Cols() < 3) g->setCols(3);
    g->setColWidth(0, 3000);
    g->setColWidth(1, 6000);
    g->setColWidth(2, 1800);
}

void Frm_PressInfo::ResetPressSQL()
{
    SQLSelect = QStringLiteral("SELECT *");
    SQLFrom = QStringLiteral("FROM 出版社");
    SQLWhere.clear();
    SQLGroup.clear();
    SQLOrder.clear();
    SQLText = SQLSelect + QStringLiteral(" ") + SQLFrom + QStringLiteral(" ") + SQLWhere;
}

bool Frm_PressInfo::RequiredBoxesFilled()
{
    // A name of blanks only would be stored as an empty name: it counts as empty.
    if (vb::Trim(Txt(0)->Text()).isEmpty()) {
        ShowNotice(QStringLiteral("请填写出版社名称！"), QStringLiteral("提示"));
        Txt(0)->SetFocus();
        return false;
    }
    return true;
}

bool Frm_PressInfo::IsPressUsed(const QString &name)
{
    return RowExists(QStringLiteral("SELECT * FROM 图书档案 WHERE 出版社名称 = ") + SQLQuote(name));
}

QString Frm_PressInfo::InUseText(const QString &key) const
{
    return QStringLiteral("检测到有图书为 [ ") + key + QStringLiteral(" ] 出版，无法删除。");
}

QString Frm_PressInfo::DeleteQuestion(const QString &key) const
{
    return QStringLiteral("确实要删除 [ ") + key + QStringLiteral(" ] 吗？");
}

QString Frm_PressInfo::InsertSQL() const
{
    return QStringLiteral("INSERT 出版社 VALUES (") + SQLQuote(Txt(0)->Text()) + QStringLiteral(",")
           + SQLQuote(Txt(1)->Text()) + QStringLiteral(",") + SQLQuote(Txt(2)->Text()) + QStringLiteral(")");
}

QString Frm_PressInfo::UpdateSQL() const
{
    return QStringLiteral("UPDATE 出版社 SET ") + QStringLiteral(" 地址 =") + SQLQuote(Txt(1)->Text())
           + QStringLiteral(",邮编 =") + SQLQuote(Txt(2)->Text()) + QStringLiteral(" WHERE 出版社名称 =")
           + SQLQuote(Txt(0)->Text());
}

QString Frm_PressInfo::DeleteSQL(const QString &key) const
{
    return QStringLiteral("DELETE 出版社 WHERE 出版社名称 =") + SQLQuote(key);
}
