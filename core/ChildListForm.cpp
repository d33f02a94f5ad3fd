#include "core/ChildListForm.h"

#include "core/ChildFormSwitch.h"
#include "core/Mdl_ComVarList.h"
#include "core/Mdl_SQLConnection.h"
#include "db/Ado.h"
#include "ui/Colors.h"

#include <QEvent>
#include <QHelpEvent>
#include <QLabel>
#include <QToolTip>
#include <algorithm>

namespace {
constexpr int TitleBarHeight = 480;
constexpr int SideBarWidth = 3240;
}  // namespace

ChildListForm::ChildListForm(const QString &className) : vb::Form(className) { setMdiChild(true); }

ChildListForm::~ChildListForm() = default;

namespace {

// The title line keeps its design width and one line of the title bar; a
// text longer than it (a refusal, a database's message) is read whole in a
// tool tip over it.
class FullTextTip final : public QObject {
public:
    explicit FullTextTip(QLabel *label) : QObject(label), m_label(label) { label->installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        if (watched != m_label || e->type() != QEvent::ToolTip) return false;
        const QString text = m_label->text();
        // What shows of it: the close button (360 twips from the bar's right) covers the rest.
        int room = m_label->contentsRect().width();
        if (const QWidget *bar = m_label->parentWidget()) room = std::min(room, bar->width() - 24 - m_label->x());
        if (m_label->fontMetrics().horizontalAdvance(text) <= room) return false;
        QToolTip::showText(static_cast<QHelpEvent *>(e)->globalPos(), text, m_label);
        return true;
    }

private:
    QLabel *m_label;
};

}  // namespace

QString ChildListForm::JoinParts(const QStringList &parts) { return parts.join(QLatin1Char(' ')); }

// ---------------------------------------------------------------- builders

void ChildListForm::CreateTitleBar()
{
    auto *bar = new vb::PictureBox(client(), QStringLiteral("Pic_TitleBar"));
    bar->setBorderStyle(0);
    bar->setBackColor(vb::kWhite);
    bar->setAlign(vb::vbAlignTop);
    bar->setHeight(TitleBarHeight);
    Pic_TitleBar = bar;

    auto *lbl = new vb::Label(bar, QStringLiteral("Lbl_TBarText"));
    lbl->setBackStyle(vb::vbTransparent);
    lbl->setFontSize(10.5);
    lbl->setFontBold(true);
    lbl->setForeColor(vb::kBlack);
    lbl->Move(240, 120, 9000, 270);
    new FullTextTip(lbl);
    Lbl_TBarText = lbl;

    auto *close = new XButton(bar, QStringLiteral("Cmd_TBarClose"));
    close->Move(std::max(0, bar->Width() - 360), 90, 300, 300);
    close->setBackColor(vb::kWhite);
    close->setMouseOnColor(vb::kLightGrey);
    close->setMouseDownColor(vb::kSilver);
    close->setCaption(QStringLiteral("×"));
    close->setToolTip(QStringLiteral("关闭当前窗口"));
    Cmd_TBarClose = close;

    connect(bar, &vb::PictureBox::Resize, this, &ChildListForm::Pic_TitleBar_Resize);
    connect(close, &XButton::Click, this, &ChildListForm::Cmd_TBarClose_Click);
}

vb::Grid *ChildListForm::CreateGrid(int left, int top, int width, int height, QWidget *parent)
{
    auto *g = new vb::Grid(parent ? parent : client());
    g->setObjectName(QStringLiteral("Grid_ShowData"));
    g->Move(left, top, width, height);
    Grid_ShowData = g;
    connect(g, &vb::Grid::KeyDown, this, &ChildListForm::Grid_ShowData_KeyDown);
    connect(g, &vb::Grid::DblClick, this, &ChildListForm::Grid_ShowData_DblClick);
    connect(g, &vb::Grid::MouseMove, this, &ChildListForm::Grid_ShowData_MouseMove);
    connect(g, &vb::Grid::RowColChange, this, &ChildListForm::Grid_ShowData_RowColChange);
    return g;
}

vb::PictureBox *ChildListForm::CreateSideBar()
{
    auto *side = new vb::PictureBox(client(), QStringLiteral("Pic_SideBar"));
    side->setBorderStyle(0);
    side->setBackColor(vb::kWhite);
    side->setAlign(vb::vbAlignRight);
    side->setWidth(SideBarWidth);
    Pic_SideBar = side;
    connect(side, &vb::PictureBox::Resize, this, &ChildListForm::Pic_SideBar_Resize);
    return side;
}

vb::CheckBox *ChildListForm::CreateSBarSwitch(int left, int top, int width, int height, const QString &caption)
{
    auto *chk = new vb::CheckBox(client(), QStringLiteral("Chk_SBarSwitch"), caption);
    chk->Move(left, top, width, height);
    Chk_SBarSwitch = chk;
    connect(chk, &vb::CheckBox::Click, this, &ChildListForm::Chk_SBarSwitch_Click);
    return chk;
}

vb::CheckBox *ChildListForm::CreateShowClose(int left, int width, const QString &caption)
{
    vb::PictureBox *side = Pic_SideBar.peek();
    auto *chk =
        new vb::CheckBox(side ? static_cast<QWidget *>(side) : client(), QStringLiteral("Chk_ShowClose"), caption);
    chk->setBackColor(vb::kWhite);
    chk->Move(left, side ? std::max(0, side->Height() - 360) : 0, width, 255);
    Chk_ShowClose = chk;
    return chk;
}

XButton *ChildListForm::CreateButton(const QString &name, const QString &caption, int left, int top, int width,
                                     int height, const QString &toolTip, QWidget *parent)
{
    auto *b = new XButton(parent ? parent : client(), name);
    b->Move(left, top, width, height);
    b->setCaption(caption);
    b->setStyleColor(vb::kFrameGrey);
    b->setIfDraw(true);
    if (!toolTip.isEmpty()) b->setToolTip(toolTip);
    return b;
}

void ChildListForm::AddWorkingControl(QWidget *w)
{
    if (w) m_working.emplace_back(w);
}

XButton *ChildListForm::CreateToolButton(int index, const QString &name, const QString &caption, const QString &toolTip)
{
    XButton *b = CreateButton(name, caption, 240 + index * 1320, 600, 1200, 375, toolTip);
    AddWorkingControl(b);
    return b;
}

vb::Label *ChildListForm::CreateSideBarTitle()
{
    vb::Label *l =
        CreateSideLabel(Pic_SideBar.peek(), QStringLiteral("Lbl_SBarTitle"), QStringLiteral("侧边栏"), 240, 180, 1500);
    l->setFontBold(true);
    return l;
}

vb::Label *ChildListForm::CreateSideBarTip(int top, int width)
{
    vb::Label *l = CreateSideLabel(Pic_SideBar.peek(), QStringLiteral("Lbl_SBarTip"),
                                   QStringLiteral("注意：以上操作范围为整个数据库"), 240, top, width);
    l->setForeColor(vb::kGrey);
    return l;
}

vb::Frame *ChildListForm::CreateSideFrame(const QString &name, const QString &caption, int top, int height)
{
    auto *f = new vb::Frame(Pic_SideBar.peek(), name, caption);
    f->setBackColor(vb::kWhite);
    f->Move(60, top, SideBarWidth - 120, height);
    return f;
}

vb::Label *ChildListForm::CreateSideLabel(QWidget *parent, const QString &name, const QString &caption, int left,
                                          int top, int width)
{
    auto *l = new vb::Label(parent, name, caption);
    l->setBackStyle(vb::vbTransparent);
    l->Move(left, top, width, 255);
    return l;
}

FCombo *ChildListForm::CreatePickList(QWidget *parent, const QString &name, int left, int top, int width)
{
    auto *c = new FCombo(parent, name);
    c->setEnabledText(false);  // a pick list: no typing
    c->Move(left, top, width);
    return c;
}

// ---------------------------------------------------------------- load, layout, unload

void ChildListForm::GateLoad()
{
    HideCtrls();
    const QString power = GatePower();
    if (power.isEmpty()) {
        UngatedLoad();
        return;
    }
    if (CheckUserPower(power)) {
        if (auto *l = Lbl_TBarText.peek()) l->setCaption(Caption());
        ShowCtrls();
        InitGrid();
        FillSideBarLists();
        Cmd_Refresh_Click();
    } else if (auto *l = Lbl_TBarText.peek()) {
        l->setForeColor(vb::kRed);
        l->setCaption(RefusedText());
    }
}

void ChildListForm::UngatedLoad()
{
    if (auto *l = Lbl_TBarText.peek()) l->setCaption(Caption());
    ShowCtrls();
    InitGrid();
    FillSideBarLists();
    Cmd_Refresh_Click();
}

void ChildListForm::HideListCtrls()
{
    for (const auto &w : m_working)
        if (w) w->setVisible(false);
    if (auto *g = Grid_ShowData.peek()) static_cast<QWidget *>(g)->setVisible(false);
    if (auto *s = Pic_SideBar.peek()) s->setVisible(false);
    if (auto *c = Chk_SBarSwitch.peek()) {
        c->setVisible(false);
        c->setValue(vb::vbUnchecked);
    }
}

void ChildListForm::ShowListCtrls()
{
    for (const auto &w : m_working)
        if (w) w->setVisible(true);
    if (auto *g = Grid_ShowData.peek()) static_cast<QWidget *>(g)->setVisible(true);
    if (auto *s = Pic_SideBar.peek()) s->setVisible(true);
    if (auto *c = Chk_SBarSwitch.peek()) {
        c->setVisible(true);
        c->setValue(vb::vbChecked);
    } else {
        ListResize();
    }
}

void ChildListForm::ListResize()
{
    try {
        const int W = Width();
        const int H = Height();
        vb::CheckBox *sw = Chk_SBarSwitch.peek();
        vb::PictureBox *side = Pic_SideBar.peek();
        bool sideShown;
        if (sw)
            sideShown = sw->Value() == vb::vbChecked;
        else  // a side bar without a switch is always shown
            sideShown = side != nullptr && side->isVisibleTo(this);
        const int S = (side && sideShown) ? side->Width() : 0;
        if (sw) sw->setLeft(W - sw->Width() - S - 240 - 45);
        if (vb::Grid *g = Grid_ShowData.peek()) {
            g->setWidth(std::max(0, W - g->Left() - S - 240 - 45));
            g->setHeight(std::max(0, H - g->Top() - 240 - 435));
        }
        if (side && sw) side->setVisible(sideShown);
    } catch (...) {
        // A resize while the window unloads: its controls keep their places.
    }
}

void ChildListForm::Pic_TitleBar_Resize()
{
    try {
        if (auto *bar = Pic_TitleBar.peek())
            if (auto *close = Cmd_TBarClose.peek()) close->setLeft(bar->Width() - 360);
    } catch (...) {
        // A resize while the window unloads: the close button keeps its place.
    }
}

void ChildListForm::Pic_SideBar_Resize()
{
    if (auto *side = Pic_SideBar.peek())
        if (auto *chk = Chk_ShowClose.peek()) chk->setTop(side->Height() - 360);
}

void ChildListForm::Chk_SBarSwitch_Click()
{
    vb::CheckBox *sw = Chk_SBarSwitch.peek();
    if (sw && sw->Value() == vb::vbUnchecked)
        if (auto *chk = Chk_ShowClose.peek()) chk->setValue(vb::vbUnchecked);
    Form_Resize();
}

void ChildListForm::Form_Unload(int &cancel)
{
    (void)cancel;
    if (m_clearTipOnUnload) ShowSBarTip(QString());
}

void ChildListForm::Cmd_TBarClose_Click() { CloseChildForm(this); }

// ---------------------------------------------------------------- grid keys and mouse

void ChildListForm::Grid_ShowData_KeyDown(int &KeyCode, int &Shift)
{
    (void)Shift;
    if (!m_gridKeys) return;
    vb::Grid *g = Grid_ShowData.peek();
    if (!g) return;
    switch (KeyCode) {
    case 46:  // Delete
        DeleteAction();
        break;
    case 38:  // Up: the grid has moved already
    case 40:  // Down
        CurRow = g->Row();
        break;
    default: break;
    }
}

// The row the actions use is the row the user sees highlighted, however the
// grid's current row moved there (arrows, a page, the list's ends, a click).
void ChildListForm::Grid_ShowData_RowColChange()
{
    if (!m_gridKeys && !m_gridMouse) return;
    if (vb::Grid *g = Grid_ShowData.peek(); g && g->Row() >= 1) CurRow = g->Row();
}

void ChildListForm::Grid_ShowData_DblClick()
{
    if (m_gridDblClick) ModifyAction();
}

void ChildListForm::Grid_ShowData_MouseMove(int &Button, int &Shift, float &X, float &Y)
{
    (void)Button;
    (void)Shift;
    (void)X;
    (void)Y;
    if (!m_gridMouse) return;
    try {
        vb::Grid *g = Grid_ShowData.peek();
        if (!g) return;
        g->setFocus();
        const int r = g->MouseRow();
        if (r != CurRow && r >= 1) {
            CurRow = r;
            g->setRow(r);
            g->setCol(0);
            g->setColSel(g->Cols() - 1);
        }
    } catch (...) {
        // A click on a grid that is going away selects nothing.
    }
}

// ---------------------------------------------------------------- query in parts

void ChildListForm::ComposeSQL() { SQLText = JoinParts({SQLSelect, SQLFrom, SQLWhere, SQLGroup, SQLOrder}); }

bool ChildListForm::RunList(bool showCount)
{
    bool ok = false;
    if (vb::Grid *g = Grid_ShowData.peek()) {
        ok = LoadGridData(*g, SQLText, ErrText, showCount);
        if (!ok) ShowErrorText(ErrText);
    }
    // The reload highlights row 1: the actions follow it.
    CurRow = 1;
    return ok;
}

void ChildListForm::Cmd_Refresh_Click()
{
    if (!Grid_ShowData.peek()) return;
    ResetQuery();
    RunList(true);
}

void ChildListForm::ApplyFilter(FCombo *box, const QString &column)
{
    ResetQuery();
    if (box && !(box->Text() == QStringLiteral("[全部]") && box->ListIndex() <= 0))
        SQLWhere += QStringLiteral(" AND ") + column + QStringLiteral(" = ") + SQLQuote(box->Text());
    ComposeSQL();
    RunList(true);
}

void ChildListForm::ApplyFind(const QString &column, const QString &text)
{
    ResetQuery();
    SQLWhere += QStringLiteral(" AND ") + column + QStringLiteral(" LIKE ") + SQLQuote(text + QStringLiteral("%"));
    ComposeSQL();
    RunList(false);
}

void ChildListForm::ApplySort(const QString &table, FCombo *sort1, FCombo *order1, FCombo *sort2, FCombo *order2)
{
    ResetQuery();
    if (!sort1 || !order1) return;
    if (sort1->ListIndex() < 0) {
        ShowNotice(QStringLiteral("第一排序项未选择！"), QStringLiteral("提示"));
        return;
    }
    if (sort2 && sort2->Text() == sort1->Text()) {
        ShowErrorText(QStringLiteral("不能选择相同项进行排序！"));
        return;
    }
    if (order1->ListIndex() < 0) {
        order1->setListIndex(0);  // its own Click sorts again
        return;
    }
    SQLOrder = QStringLiteral("ORDER BY ") + table + QStringLiteral(".") + sort1->Text()
               + (order1->ListIndex() == 0 ? QStringLiteral(" ASC") : QStringLiteral(" DESC"));
    if (sort2 && sort2->ListIndex() >= 0) {
        if (!order2) return;
        if (order2->ListIndex() < 0) {
            order2->setListIndex(0);
            return;
        }
        SQLOrder += QStringLiteral(",") + table + QStringLiteral(".") + sort2->Text()
                    + (order2->ListIndex() == 0 ? QStringLiteral(" ASC") : QStringLiteral(" DESC"));
    }
    ComposeSQL();
    RunList(false);
}

void ChildListForm::FillSortLists(const QString &table, FCombo *sort1, FCombo *order1, FCombo *sort2, FCombo *order2)
{
    // Only the field names are read: forward-only, nothing is counted.
    ado::Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM ") + table, SQLConn(), ado::adOpenForwardOnly, ado::adLockReadOnly);
    for (int i = 0; i < rs.FieldCount(); ++i) {
        sort1->AddItem(rs.FieldName(i));
        sort2->AddItem(rs.FieldName(i));
    }
    rs.Close();
    for (FCombo *c : {order1, order2}) {
        c->AddItem(QStringLiteral("升序"));
        c->AddItem(QStringLiteral("降序"));
    }
}

// The statement runs now (a failure is the caller's at once); its rows go
// into the box only when the box first needs them, so a filter of every title
// costs nothing until a clerk opens it.
void ChildListForm::FillFilterList(FCombo *box, const QString &sql, const QString &field)
{
    ado::Recordset rs;
    rs.Open(sql, SQLConn(), ado::adOpenForwardOnly, ado::adLockReadOnly);
    box->AddItem(QStringLiteral("[全部]"));
    const ado::ResultSetPtr rows = rs.result();
    if (!rows) return;
    const QStringList names = rs.FieldNames();
    const int col = int(std::find_if(names.begin(), names.end(),
                                     [&](const QString &n) { return n.compare(field, Qt::CaseInsensitive) == 0; })
                        - names.begin());
    // An unknown field fails now, as reading it would; a result without rows
    // still knows its fields.
    if (col == int(names.size())) rs.Fields(field);
    box->AddItemsWhenNeeded([rows, col] {
        QStringList texts;
        texts.reserve(rows->rowCount());
        for (int r = 0; r < rows->rowCount(); ++r) texts << rows->value(r, col).toString();
        return texts;
    });
}

void ChildListForm::SetColWidths(std::span<const int> widths)
{
    vb::Grid *g = Grid_ShowData.get();
    const int n = static_cast<int>(widths.size());
    if (g->Cols() < n) g->setCols(n);
    for (int i = 0; i < n; ++i) g->setColWidth(i, widths[i]);
}
