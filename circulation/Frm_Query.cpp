#include "circulation/Frm_Query.h"

#include "core/Mdl_ComVarList.h"
#include "core/Mdl_SQLConnection.h"
#include "ui/Runtime.h"

#include <QFontMetrics>
#include <QTableView>
#include <QTimer>
#include <algorithm>

namespace {

// One kind of search: the statement parts; the condition ends just before the quoted pattern.
struct QueryCase {
    const char *caption;
    const char *select;
    const char *from;
    const char *where;
    const char *order;
};

const char *const kSelectBook = "SELECT 图书名称, 作者, ISBN, 出版社名称,CONVERT(varchar(10),出版时间,23) AS 出版时间, "
                                "CONVERT(varchar(10),价格,0) AS 价格, CONVERT(varchar(10),每日租金,0) AS 每日租金, "
                                "可否外借 = CASE WHEN 可否外借 = 1 THEN '是' ELSE '否' END";

const char *const kSelectReader =
    "SELECT 读者编号, 姓名, 性别 = CASE WHEN 性别 = 1 THEN '男' ELSE '女' END, "
    "CONVERT(varchar(10), 账户金额,0) AS 账户金额, 读者档案.读者类别, 状态, 当前借书数量, 总借书数量, "
    "总借书次数, 有损还书次数, 未还书总数, CONVERT(varchar(10),未还书总价值,0) AS 未还书总价值, 身份证号码, "
    "联系电话, 地址, 邮编, 登记日期, 经手人";

const QueryCase kCases[Frm_Query::CaseCount] = {
    {"ISBN", kSelectBook, "FROM 图书档案", "WHERE ISBN LIKE ", "ORDER BY ISBN ASC"},
    {"图书编号",
     "SELECT 图书编号, 图书名称, 作者, 图书库存.ISBN, CONVERT(varchar(20),入库日期,20) AS 入库日期, 经手人, "
     "最近读者编号, 最近借阅日期, 状态",
     "FROM 图书档案,图书库存", "WHERE 图书档案.ISBN =* 图书库存.ISBN AND 图书编号 LIKE ", "ORDER BY 图书编号 ASC"},
    {"图书名称", kSelectBook, "FROM 图书档案", "WHERE 图书名称 LIKE ", "ORDER BY 图书名称 ASC"},
    {"出版社名称", "SELECT *", "FROM 出版社", "WHERE 出版社名称 LIKE ", "ORDER BY 出版社名称 ASC"},
    {"读者编号", kSelectReader, "FROM 读者档案,读者类别",
     "WHERE 读者档案.读者类别 *= 读者类别.读者类别 AND 读者编号 LIKE ", "ORDER BY 读者编号 ASC"},
    {"读者姓名", kSelectReader, "FROM 读者档案,读者类别", "WHERE 读者档案.读者类别 *= 读者类别.读者类别 AND 姓名 LIKE ",
     "ORDER BY 姓名 ASC"},
    {"图书借阅编号",
     "SELECT 图书借阅编号, 图书借阅.图书编号, 图书名称, 图书库存.ISBN, 图书借阅.读者编号, 姓名, "
     "CONVERT(varchar(10),借书日期,23) AS 借书日期, CONVERT(varchar(10),理论还书日期,23) AS 理论还书日期, "
     "CONVERT(varchar(10),实际还书日期,23) AS 实际还书日期, 是否已还 = CASE WHEN 是否已还 = 1 THEN '是' ELSE '否' "
     "END, 借书经手人, 还书经手人",
     "FROM 读者档案, 图书档案, 图书借阅, 图书库存",
     "WHERE 图书借阅.图书编号 = 图书库存.图书编号 AND 图书库存.ISBN = 图书档案.ISBN AND 图书借阅.读者编号 = "
     "读者档案.读者编号 AND 图书借阅编号 LIKE ",
     "ORDER BY 图书借阅编号 ASC"},
    {"图书损坏编号",
     "SELECT 图书损坏编号, 图书借阅.读者编号, 读者档案.姓名, 图书借阅.图书编号, 图书档案.图书名称, "
     "CONVERT(varchar(10),图书借阅.实际还书日期,23) AS 损坏日期, 损坏描述, CONVERT(varchar(10),赔偿金额,0) AS "
     "赔偿金额, "
     "备注",
     "FROM 图书损坏, 图书借阅, 图书档案, 图书库存, 读者档案",
     "WHERE 图书损坏.图书借阅编号 = 图书借阅.图书借阅编号 AND 图书借阅.图书编号 = 图书库存.图书编号 AND 图书库存.ISBN "
     "= "
     "图书档案.ISBN AND 图书借阅.读者编号 = 读者档案.读者编号 AND 图书损坏编号 LIKE ",
     "ORDER BY 图书损坏编号 DESC"},
};

// Option buttons in one row inside the frame: left and width of each (twips).
constexpr int OptTop = 780;
constexpr int OptWidths[Frm_Query::CaseCount] = {900, 1260, 1260, 1440, 1260, 1260, 1620, 1620};

constexpr int FrameLeft = 240, FrameTop = 600, FrameHeight = 1620;
constexpr int GridTop = FrameTop + FrameHeight + 120;

}  // namespace

Frm_Query::Frm_Query() : ChildListForm(QStringLiteral("Frm_Query"))
{
    setCaption(QStringLiteral("查询"));
    // The grid follows the pointer only; it has no keys and no double click here.
    m_gridKeys = false;
    m_gridDblClick = false;
}

vb::OptionButton *Frm_Query::Opt_Case(int index) const
{
    const_cast<Frm_Query *>(this)->ensureLoaded();
    return (index >= 0 && index < CaseCount) ? m_case[index].data() : nullptr;
}

void Frm_Query::CreateControls()
{
    CreateTitleBar();
    Cmd_TBarClose->setToolTip(QStringLiteral("关闭当前窗口"));

    auto *fr = new vb::Frame(client(), QStringLiteral("Frame_Query"), QStringLiteral("查询条件"));
    fr->Move(FrameLeft, FrameTop, 11000, FrameHeight);
    Frame_Query = fr;

    auto *txt = new FTextBox(fr, QStringLiteral("Txt_Info"));
    txt->Move(240, 360, 10400, FTextBox::FixedHeight);
    txt->setAutoSelAll(true);
    txt->setToolTipText(QStringLiteral("输入要查找的内容的开头部分，回车键查询"));
    Txt_Info = txt;

    int left = 240;
    for (int i = 0; i < CaseCount; ++i) {
        auto *o = new vb::OptionButton(fr, QStringLiteral("Opt_Case_%1").arg(i), QString::fromUtf8(kCases[i].caption));
        o->Move(left, OptTop, OptWidths[i], 300);
        o->setAutoFillBackground(false);  // the frame's own face shows through
        left += OptWidths[i];
        m_case[i] = o;
    }

    Cmd_Query = CreateButton(QStringLiteral("Cmd_Query"), QStringLiteral("查询"), (11000 - 1200) / 2, 1170, 1200, 330,
                             QString(), fr);

    vb::Grid *g = CreateGrid(FrameLeft, GridTop, 11000, 5000);
    g->setToolTipText(QStringLiteral("查询结果"));

    connect(Cmd_Query.peek(), &XButton::Click, this, &Frm_Query::Cmd_Query_Click);
    connect(txt, &FTextBox::KeyPress, this, &Frm_Query::Txt_Info_KeyPress);
}

void Frm_Query::ControlsDestroyed() { m_case.fill(nullptr); }

void Frm_Query::Form_Load()
{
    // No permission is asked: every user may search. The grid stays empty until the first search.
    Lbl_TBarText->setCaption(Caption());
    m_case[0]->setValue(true);
    CurRow = 0;
    Form_Resize();
    QTimer::singleShot(0, this, [this] {
        if (FTextBox *t = Txt_Info.peek(); t && t->isVisible()) t->SetFocus();
    });
}

void Frm_Query::Form_Resize()
{
    try {
        const int W = Width();
        const int H = Height();
        vb::Frame *fr = Frame_Query.peek();
        if (!fr) return;
        fr->setWidth(std::max(0, W - fr->Left() - 240 - 45));
        Txt_Info->setWidth(std::max(0, fr->Width() - Txt_Info->Left() - 240 - 45));
        Cmd_Query->setLeft((fr->Width() - Cmd_Query->Width()) / 2);
        vb::Grid *g = Grid_ShowData.peek();
        g->setWidth(std::max(0, W - g->Left() - 240 - 45));
        g->setHeight(std::max(0, H - g->Top() - 240 - 435));
    } catch (...) {
        // A resize while the window unloads: its controls keep their places.
    }
}

void Frm_Query::Txt_Info_KeyPress(int &KeyAscii)
{
    if (KeyAscii == 13) Cmd_Query_Click();
}

void Frm_Query::Cmd_Query_Click()
{
    int kind = -1;
    for (int i = 0; i < CaseCount; ++i)
        if (m_case[i] && m_case[i]->Value()) kind = i;
    const QString info = vb::Trim(Txt_Info->Text());
    if (info.isEmpty() || kind < 0) {
        ShowNotice(QStringLiteral("请输入查询条件！"), QStringLiteral("提示"));
        Txt_Info->SetFocus();
        return;
    }

    const QueryCase &c = kCases[kind];
    SQLSelect = QString::fromUtf8(c.select);
    SQLFrom = QString::fromUtf8(c.from);
    SQLWhere = QString::fromUtf8(c.where) + SQLQuote(info + QStringLiteral("%"));
    SQLGroup.clear();
    SQLOrder = QString::fromUtf8(c.order);
    SQLText =
        SQLSelect + QStringLiteral(" ") + SQLFrom + QStringLiteral(" ") + SQLWhere + QStringLiteral(" ") + SQLOrder;

    // Fills the grid with the count in the status bar, shows a refusal, CurRow = 1.
    if (RunList(true)) FitColumns();
    Txt_Info->SetFocus();
}

void Frm_Query::FitColumns()
{
    // Every kind of search has columns of its own: each column is made as wide as
    // its header and the texts of the first rows, within bounds.
    vb::Grid *g = Grid_ShowData.peek();
    if (!g) return;
    const QFontMetrics fm(g->view()->font());
    const int rows = std::min(g->Rows(), 50);  // the header and about two screens
    for (int c = 0; c < g->Cols(); ++c) {
        int px = 0;
        for (int r = 0; r < rows; ++r) px = std::max(px, int(fm.horizontalAdvance(g->TextMatrix(r, c))));
        g->setColWidth(c, std::clamp((px + 16) * 15, 720, 4800));
    }
}
