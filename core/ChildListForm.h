#pragma once
// ChildListForm: the pattern every working child window of the main window is
// built on. A title bar of its own (Pic_TitleBar, Lbl_TBarText, Cmd_TBarClose),
// a permission gate at load, working controls that stay hidden without the
// permission, a grid of records (Grid_ShowData) with an optional side bar
// (Pic_SideBar, switched by Chk_SBarSwitch), and a list query kept in parts
// and rebuilt from its defaults before every refresh, filter, find or sort.
//
// A member window derives from ChildListForm, creates its controls in
// CreateControls() with the builders below (CreateTitleBar, CreateGrid,
// CreateSideBar, CreateSBarSwitch ...), registers its other working controls
// with AddWorkingControl, and overrides the hooks for its own values:
//
//   GatePower()        the permission column asked at load ("" = no gate)
//   ResetQuery()       sets SQLSelect/SQLFrom/SQLWhere/SQLGroup/SQLOrder and calls ComposeSQL()
//   InitGrid()         clears the grid and sets the column widths
//   FillSideBarLists() fills the filter and sort combo boxes
//   DeleteAction()     the Delete key on the grid (the Cmd_Delete click)
//   ModifyAction()     the double click on the grid
//   HideCtrls()/ShowCtrls()  the window's named hide/show procedures
//
// After every reload of the grid (refresh, filter, find, sort) the grid
// highlights row 1 and CurRow is 1, so the actions always work on the row the
// user sees selected.
#include "ui/Form.h"
#include "ui/Grid.h"
#include "ui/Intrinsics.h"

#include "controls/FCombo.h"
#include "controls/FTextBox.h"
#include "controls/XButton.h"
#include "core/Mdl_SQLConnection.h"

#include <QString>
#include <span>
#include <vector>

class ChildListForm : public vb::Form {
    Q_OBJECT
public:
    explicit ChildListForm(const QString &className);
    ~ChildListForm() override;

    // The list query in parts, the statement run and the error text of the last run.
    QString SQLSelect;
    QString SQLFrom;
    QString SQLWhere;
    QString SQLGroup;
    QString SQLOrder;
    QString SQLText;
    QString ErrText;
    // The grid row the window's actions use.
    int CurRow = 0;

    // Controls every member shares (a member without a grid or side bar leaves them empty).
    vb::Ctl<vb::PictureBox> Pic_TitleBar{this};
    vb::Ctl<vb::Label> Lbl_TBarText{this};
    vb::Ctl<XButton> Cmd_TBarClose{this};
    vb::Ctl<vb::Grid> Grid_ShowData{this};
    vb::Ctl<vb::PictureBox> Pic_SideBar{this};
    vb::Ctl<vb::CheckBox> Chk_SBarSwitch{this};
    vb::Ctl<vb::CheckBox> Chk_ShowClose{this};

    // The list's refresh: reset the query, fill the grid with the record count
    // in the status bar, CurRow = 1. Also called by the record editors after a save.
    virtual void Cmd_Refresh_Click();
    // Closes the window and shows the home page again.
    virtual void Cmd_TBarClose_Click();

    // Event handlers of the shared controls (connected by the builders).
    void Pic_TitleBar_Resize();
    void Pic_SideBar_Resize();
    virtual void Chk_SBarSwitch_Click();
    void Grid_ShowData_KeyDown(int &KeyCode, int &Shift);
    void Grid_ShowData_DblClick();
    void Grid_ShowData_MouseMove(int &Button, int &Shift, float &X, float &Y);
    void Grid_ShowData_RowColChange();

    // The composed statement: the parts joined by single blanks (select, tables,
    // condition, grouping, order).
    static QString JoinParts(const QStringList &parts);

    // Red refusal text of the title bar: no permission, or why the last
    // permission check could not read it.
    static QString RefusedText() { return PowerRefusedText(); }

protected:
    // ---- Hooks for the member's own values.
    virtual QString GatePower() const { return QString(); }
    virtual void ResetQuery() { ComposeSQL(); }
    virtual void InitGrid() { }
    virtual void FillSideBarLists() { }
    virtual void DeleteAction() { }
    virtual void ModifyAction() { }
    // Default hide/show: the registered working controls, the grid, the side bar and its switch.
    virtual void HideCtrls() { HideListCtrls(); }
    virtual void ShowCtrls() { ShowListCtrls(); }
    // Load of a window without a gate: title, controls shown, grid set up, lists filled, refresh.
    virtual void UngatedLoad();

    // Which grid events the window handles.
    bool m_gridKeys = true;          // the keys move CurRow with the grid (Delete runs DeleteAction)
    bool m_gridDblClick = true;      // the double click runs ModifyAction
    bool m_gridMouse = true;         // the pointer selects the row under it
    bool m_clearTipOnUnload = true;  // the unload hides the status-bar tip

    // ---- Builders (call from CreateControls).
    // The title bar docked at the top, 480 twips high, white, with the title label and the close button.
    void CreateTitleBar();
    vb::Grid *CreateGrid(int left, int top, int width, int height, QWidget *parent = nullptr);
    // The side bar docked at the right, 3240 twips wide, white.
    vb::PictureBox *CreateSideBar();
    vb::CheckBox *CreateSBarSwitch(int left, int top, int width = 1000, int height = 255,
                                   const QString &caption = QStringLiteral("侧边栏"));
    // The compact-columns box at the foot of the side bar.
    vb::CheckBox *CreateShowClose(int left, int width, const QString &caption);
    XButton *CreateButton(const QString &name, const QString &caption, int left, int top, int width, int height,
                          const QString &toolTip = QString(), QWidget *parent = nullptr);
    // A control that the hide/show procedures switch with the grid.
    void AddWorkingControl(QWidget *w);
    // The button at place index (0, 1, 2 ...) of the row above the grid (1200 x 375 twips, 120 apart),
    // registered as a working control.
    XButton *CreateToolButton(int index, const QString &name, const QString &caption, const QString &toolTip);
    // Connects the Click of the window's Cmd_Add, Cmd_Modify, Cmd_Delete and Cmd_Refresh (those it has)
    // to its handlers of the same names.
    template <class W> void ConnectEditButtons(W *w);

    // ---- Side bar pieces (call after CreateSideBar).
    // The bold title "侧边栏" at the top of the side bar.
    vb::Label *CreateSideBarTitle();
    // The grey note under the side bar's frames.
    vb::Label *CreateSideBarTip(int top, int width);
    // A white frame across the side bar. Inside it, labels start at SideLabelLeft and the boxes
    // end at SideBoxRight, so that the frames' contents line up.
    vb::Frame *CreateSideFrame(const QString &name, const QString &caption, int top, int height);
    static constexpr int SideLabelLeft = 120;
    static constexpr int SideBoxRight = 2985;
    // A transparent label, 255 twips high.
    static vb::Label *CreateSideLabel(QWidget *parent, const QString &name, const QString &caption, int left, int top,
                                      int width);
    // A pick list: a combo box without typing.
    static FCombo *CreatePickList(QWidget *parent, const QString &name, int left, int top, int width);
    // The sort frame Frame_Sort: the labels Lbl_Sort_1/Lbl_Sort_2 ("第一顺序"/"第二顺序"), the field lists
    // Cmb_Sort_1/Cmb_Sort_2 and the order lists Cmb_Sort_1_Order/Cmb_Sort_2_Order, stored in the window's
    // members of those names. The labels stand labelDy below their lists' tops. A field list shows a
    // field name of six Chinese characters whole, an order list "升序" or "降序".
    template <class W> void CreateSortGroup(W *w, const QString &caption, int top, int height, int labelDy = 60);
    // Connects the Click of the four sort lists: to Cmb_Sort_Click where the window has one handler for
    // them all, else to Cmb_Sort_1_Click, Cmb_Sort_1_Order_Click, Cmb_Sort_2_Click, Cmb_Sort_2_Order_Click.
    template <class W> void ConnectSortGroup(W *w);

    // ---- Mechanics.
    void GateLoad();    // the load: gate, then show / refuse
    void ListResize();  // the resize rules of the grid, the side-bar switch and the side bar
    void HideListCtrls();
    void ShowListCtrls();
    void ComposeSQL();  // SQLText from the parts
    // Runs SQLText into the grid; a failure shows ErrText. CurRow = 1 afterwards.
    bool RunList(bool showCount);
    // Filter: reset, " AND column = 'text'" unless the box shows "[全部]" at index 0 or less.
    void ApplyFilter(FCombo *box, const QString &column);
    // Find: reset, " AND column LIKE 'text%'", run without the count.
    void ApplyFind(const QString &column, const QString &text);
    // Sort by one or two fields of table, with the two messages of a bad choice.
    void ApplySort(const QString &table, FCombo *sort1, FCombo *order1, FCombo *sort2, FCombo *order2);
    // Fills the two field lists with the field names of "SELECT * FROM table" and the two order lists
    // with "升序" and "降序". A failed read throws ado::Error to the caller.
    static void FillSortLists(const QString &table, FCombo *sort1, FCombo *order1, FCombo *sort2, FCombo *order2);
    // A filter list: "[全部]" and then the column field of every row of sql,
    // put into the box when it first needs them. A statement that fails throws
    // ado::Error to the caller (the box keeps what it got).
    static void FillFilterList(FCombo *box, const QString &sql, const QString &field);
    // The grid's column widths in twips (the grid gets at least that many columns).
    void SetColWidths(std::span<const int> widths);

    void Form_Load() override { GateLoad(); }
    void Form_Resize() override { ListResize(); }
    void Form_Unload(int &cancel) override;

private:
    std::vector<QPointer<QWidget>> m_working;
};

template <class W> void ChildListForm::ConnectEditButtons(W *w)
{
    if constexpr (requires { w->Cmd_Add; }) connect(w->Cmd_Add.peek(), &XButton::Click, w, &W::Cmd_Add_Click);
    if constexpr (requires { w->Cmd_Modify; }) connect(w->Cmd_Modify.peek(), &XButton::Click, w, &W::Cmd_Modify_Click);
    if constexpr (requires { w->Cmd_Delete; }) connect(w->Cmd_Delete.peek(), &XButton::Click, w, &W::Cmd_Delete_Click);
    if constexpr (requires { w->Cmd_Refresh; })
        connect(w->Cmd_Refresh.peek(), &XButton::Click, w, &W::Cmd_Refresh_Click);
}

template <class W> void ChildListForm::CreateSortGroup(W *w, const QString &caption, int top, int height, int labelDy)
{
    // Widths: the label four characters, a field list six characters and an order list two, each
    // list with the 300 twips its face keeps beside the text (12-pixel characters: 180 twips).
    constexpr int labelWidth = 720, orderWidth = 660, gap = 45;
    constexpr int orderLeft = SideBoxRight - orderWidth;
    constexpr int fieldLeft = SideLabelLeft + labelWidth + gap;
    constexpr int fieldWidth = orderLeft - gap - fieldLeft;
    static_assert(fieldWidth >= 6 * 180 + 300);
    vb::Frame *f = CreateSideFrame(QStringLiteral("Frame_Sort"), caption, top, height);
    w->Frame_Sort = f;
    w->Lbl_Sort_1 = CreateSideLabel(f, QStringLiteral("Lbl_Sort_1"), QStringLiteral("第一顺序"), SideLabelLeft,
                                    360 + labelDy, labelWidth);
    w->Cmb_Sort_1 = CreatePickList(f, QStringLiteral("Cmb_Sort_1"), fieldLeft, 360, fieldWidth);
    w->Cmb_Sort_1_Order = CreatePickList(f, QStringLiteral("Cmb_Sort_1_Order"), orderLeft, 360, orderWidth);
    w->Lbl_Sort_2 = CreateSideLabel(f, QStringLiteral("Lbl_Sort_2"), QStringLiteral("第二顺序"), SideLabelLeft,
                                    840 + labelDy, labelWidth);
    w->Cmb_Sort_2 = CreatePickList(f, QStringLiteral("Cmb_Sort_2"), fieldLeft, 840, fieldWidth);
    w->Cmb_Sort_2_Order = CreatePickList(f, QStringLiteral("Cmb_Sort_2_Order"), orderLeft, 840, orderWidth);
}

template <class W> void ChildListForm::ConnectSortGroup(W *w)
{
    if constexpr (requires { &W::Cmb_Sort_Click; }) {
        for (FCombo *c :
             {w->Cmb_Sort_1.peek(), w->Cmb_Sort_1_Order.peek(), w->Cmb_Sort_2.peek(), w->Cmb_Sort_2_Order.peek()})
            connect(c, &FCombo::Click, w, &W::Cmb_Sort_Click);
    } else {
        connect(w->Cmb_Sort_1.peek(), &FCombo::Click, w, &W::Cmb_Sort_1_Click);
        connect(w->Cmb_Sort_1_Order.peek(), &FCombo::Click, w, &W::Cmb_Sort_1_Order_Click);
        connect(w->Cmb_Sort_2.peek(), &FCombo::Click, w, &W::Cmb_Sort_2_Click);
        connect(w->Cmb_Sort_2_Order.peek(), &FCombo::Click, w, &W::Cmb_Sort_2_Order_Click);
    }
}
