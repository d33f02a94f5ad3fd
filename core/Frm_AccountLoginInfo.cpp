#include "core/Frm_AccountLoginInfo.h"

#include "core/DialogConventions.h"
#include "core/Mdl_ComVarList.h"
#include "core/Mdl_SQLConnection.h"
#include "ui/Runtime.h"

#include <exception>

namespace {

const QString kAll = QStringLiteral("[全部]");

constexpr int FrameLeft = 120, FrameWidth = 3000;
constexpr int FilterTop = 600, FilterHeight = 3060;
constexpr int DeleteTop = FilterTop + FilterHeight + 180, DeleteHeight = 1380;
constexpr int InLabelLeft = 240, InBoxLeft = 1080, InBoxWidth = 1680;

// "[全部]" at the head of the list: no condition.
bool isAll(FCombo *c) { return c->ListIndex() == 0 && c->Text() == kAll; }

}  // namespace

Frm_AccountLoginInfo::Frm_AccountLoginInfo() : ChildListForm(QStringLiteral("Frm_AccountLoginInfo"))
{
    setCaption(QStringLiteral("账户最近登录信息"));
    // The grid only shows the log: no keys, double click or row tracking.
    m_gridKeys = false;
    m_gridDblClick = false;
    m_gridMouse = false;
}

void Frm_AccountLoginInfo::CreateControls()
{
    CreateTitleBar();
    Cmd_TBarClose->setToolTip(QStringLiteral("关闭当前窗口"));

    CreateGrid(240, 600, 9000, 6000);

    vb::PictureBox *side = CreateSideBar();
    auto *title = new vb::Label(side, QStringLiteral("Lbl_SBarTitle"), QStringLiteral("侧边栏"));
    title->setBackStyle(vb::vbTransparent);
    title->setFontBold(true);
    title->Move(240, 180, 1500, 255);
    Lbl_SBarTitle = title;

    const auto label = [](QWidget *parent, const QString &name, const QString &caption, int left, int top) {
        auto *l = new vb::Label(parent, name, caption);
        l->setBackStyle(vb::vbTransparent);
        l->Move(left, top + 30, 840, 255);
        return l;
    };
    const auto combo = [](QWidget *parent, const QString &name, int top) {
        auto *c = new FCombo(parent, name);
        c->Move(InBoxLeft, top, InBoxWidth);
        c->setEnabledText(false);
        return c;
    };
    const auto box = [](QWidget *parent, const QString &name, int top) {
        auto *t = new FTextBox(parent, name);
        t->Move(InBoxLeft, top, InBoxWidth, FTextBox::FixedHeight);
        t->setAutoSelAll(true);
        return t;
    };

    auto *filter = new vb::Frame(side, QStringLiteral("Frame_Filter"), QStringLiteral("信息筛选"));
    filter->setBackColor(vb::kWhite);
    filter->Move(FrameLeft, FilterTop, FrameWidth, FilterHeight);
    Frame_Filter = filter;
    Lbl_UID = label(filter, QStringLiteral("Lbl_UID"), QStringLiteral("用户名"), InLabelLeft, 360);
    Cmb_UID = combo(filter, QStringLiteral("Cmb_UID"), 360);
    Lbl_Time = label(filter, QStringLiteral("Lbl_Time"), QStringLiteral("时间范围"), InLabelLeft, 780);
    // The two bounds under their label, wide enough for a date and a time.
    Txt_From = box(filter, QStringLiteral("Txt_From"), 1110);
    Txt_From->Move(InLabelLeft, 1110, InBoxLeft + InBoxWidth - InLabelLeft);
    Txt_To = box(filter, QStringLiteral("Txt_To"), 1500);
    Txt_To->Move(InLabelLeft, 1500, InBoxLeft + InBoxWidth - InLabelLeft);
    Lbl_Number = label(filter, QStringLiteral("Lbl_Number"), QStringLiteral("条目数"), InLabelLeft, 1920);
    Cmb_Number = combo(filter, QStringLiteral("Cmb_Number"), 1920);
    Cmd_OK = CreateButton(QStringLiteral("Cmd_OK"), QStringLiteral("确定"), InBoxLeft + InBoxWidth - 1200, 2430, 1200,
                          375, QString(), filter);

    auto *del = new vb::Frame(side, QStringLiteral("Frame_Delete"), QStringLiteral("批量删除"));
    del->setBackColor(vb::kWhite);
    del->Move(FrameLeft, DeleteTop, FrameWidth, DeleteHeight);
    Frame_Delete = del;
    Lbl_DUID = label(del, QStringLiteral("Lbl_DUID"), QStringLiteral("用户名"), InLabelLeft, 360);
    Cmb_DUID = combo(del, QStringLiteral("Cmb_DUID"), 360);
    Cmd_Del = CreateButton(QStringLiteral("Cmd_Del"), QStringLiteral("确定"), InBoxLeft + InBoxWidth - 1200, 840, 1200,
                           375, QString(), del);

    connect(Cmd_OK.peek(), &XButton::Click, this, &Frm_AccountLoginInfo::Cmd_OK_Click);
    connect(Cmd_Del.peek(), &XButton::Click, this, &Frm_AccountLoginInfo::Cmd_Del_Click);
}

void Frm_AccountLoginInfo::InitLoginGrid()
{
    vb::Grid *g = Grid_ShowData.get();
    g->Clear();
    if (g->Cols() < 2) g->setCols(2);
    g->setColWidth(0, 3000);
    g->setColWidth(1, 9000);
}

void Frm_AccountLoginInfo::FillLoginCombos()
{
    Cmb_UID->AddItem(kAll);
    Cmb_DUID->AddItem(kAll);
    try {
        ado::Recordset rs;
        rs.Open(QStringLiteral("SELECT DISTINCT 用户名 FROM 账户"), SQLConn(), ado::adOpenKeyset, ado::adLockReadOnly);
        while (!rs.EOF_()) {
            const QString uid = rs.Fields(QStringLiteral("用户名")).toString();
            Cmb_UID->AddItem(uid);
            Cmb_DUID->AddItem(uid);
            rs.MoveNext();
        }
    } catch (const ado::Error &e) {
        ShowError(e);
    }
    for (const char *n : {"[全部]", "100", "50", "10", "5"}) Cmb_Number->AddItem(QString::fromUtf8(n));
}

void Frm_AccountLoginInfo::ResetLoginSQL()
{
    SQLSelect = QStringLiteral("SELECT 用户名, CONVERT(varchar(20), 登录时间, 20) AS 登录时间");
    SQLFrom = QStringLiteral("FROM 账户登录");
    SQLWhere.clear();
    SQLGroup.clear();
    SQLOrder = QStringLiteral("ORDER BY 登录时间 DESC");
    SQLText = SQLSelect + QStringLiteral(" ") + SQLFrom + QStringLiteral(" ") + SQLOrder;
}

void Frm_AccountLoginInfo::Cmd_OK_Click()
{
    QString user;
    if (Cmb_UID->ListIndex() < 0)
        Cmb_UID->setListIndex(0);
    else if (!isAll(Cmb_UID.get()))
        user = Cmb_UID->Text();

    int number = 0;
    if (Cmb_Number->ListIndex() < 0)
        Cmb_Number->setListIndex(0);
    else if (!isAll(Cmb_Number.get()))
        number = static_cast<qint16>(vb::Val(Cmb_Number->Text()));

    QString from;
    if (!IsSQLDate(Txt_From->Text())) {
        from = QStringLiteral("2000-01-01 00:00:00");
        Txt_From->setText(from);
    } else {
        from = vb::Trim(Txt_From->Text());
    }
    QString to;
    if (!IsSQLDate(Txt_To->Text())) {
        to = vb::Format(vb::Date(), QStringLiteral("yyyy-mm-dd")) + QStringLiteral(" ")
             + vb::Format(vb::Time(), QStringLiteral("hh:nn:ss"));
        Txt_To->setText(to);
    } else {
        to = vb::Trim(Txt_To->Text());
    }

    ResetLoginSQL();
    SQLSelect = QStringLiteral("SELECT ") + (number != 0 ? QStringLiteral("TOP ") + QString::number(number) : QString())
                + QStringLiteral(" 用户名, CONVERT(varchar(20), 登录时间, 20) AS 登录时间");
    SQLWhere =
        QStringLiteral("WHERE")
        + (user.isEmpty() ? QString() : QStringLiteral(" (用户名 = ") + SQLQuote(user) + QStringLiteral(") AND "))
        + QStringLiteral(" (登录时间 BETWEEN ") + SQLQuote(from) + QStringLiteral(" AND ") + SQLQuote(to)
        + QStringLiteral(")");
    SQLText =
        SQLSelect + QStringLiteral(" ") + SQLFrom + QStringLiteral(" ") + SQLWhere + QStringLiteral(" ") + SQLOrder;
    RunList(true);
}

void Frm_AccountLoginInfo::Cmd_Del_Click()
{
    if (Cmb_DUID->ListIndex() < 0) return;
    const QString user = isAll(Cmb_DUID.get()) ? QString() : Cmb_DUID->Text();
    QString question;
    QString sql = QStringLiteral("DELETE FROM 账户登录");
    if (!user.isEmpty()) {
        question = QStringLiteral("确实要删除 [ ") + user + QStringLiteral(" ] 的所有登录信息吗？");
        sql += QStringLiteral(" WHERE 用户名 = ") + SQLQuote(user);
    } else {
        question = QStringLiteral("确实要删除所有登录信息吗？");
    }
    if (!ConfirmDelete(question, QStringLiteral("删除登录信息"))) return;
    try {
        SQLConn().Execute(sql);
    } catch (const std::exception &e) {
        ShowError(e);
    }
    // The default list again: the filter is dropped.
    ResetLoginSQL();
    RunList(true);
}
