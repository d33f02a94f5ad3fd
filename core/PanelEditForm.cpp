#include "core/PanelEditForm.h"

#include "core/DialogConventions.h"
#include "core/Mdl_ComVarList.h"
#include "core/Mdl_SQLConnection.h"
#include "db/Transaction.h"

#include <algorithm>
#include <exception>

namespace {
constexpr int FrameLeft = 480, FrameTop = 1080, FrameHeight = 1695;
constexpr int GridLeft = 480, GridTop = 3000;
}  // namespace

PanelEditForm::PanelEditForm(const QString &className) : ChildListForm(className) { }

FTextBox *PanelEditForm::Txt(int index) const { return (index >= 0 && index < 3) ? m_txt[index].get() : nullptr; }

vb::Label *PanelEditForm::Lbl(int index) const { return (index >= 0 && index < 3) ? m_lbl[index].get() : nullptr; }

void PanelEditForm::CreatePanelControls(const QStringList &labelCaptions, const QStringList &toolTips)
{
    const auto tip = [&](int i) { return i < toolTips.size() ? toolTips.at(i) : QString(); };
    const int top = 600, w = 1200, h = 375, gap = 120;
    Cmd_Add = CreateButton(QStringLiteral("Cmd_Add"), QStringLiteral("添加"), FrameLeft, top, w, h, tip(0));
    Cmd_Modify =
        CreateButton(QStringLiteral("Cmd_Modify"), QStringLiteral("修改"), FrameLeft + (w + gap), top, w, h, tip(1));
    Cmd_Delete = CreateButton(QStringLiteral("Cmd_Delete"), QStringLiteral("删除"), FrameLeft + 2 * (w + gap), top, w,
                              h, tip(2));
    Cmd_Refresh = CreateButton(QStringLiteral("Cmd_Refresh"), QStringLiteral("刷新"), FrameLeft + 3 * (w + gap), top, w,
                               h, tip(3));
    for (XButton *b : {Cmd_Add.peek(), Cmd_Modify.peek(), Cmd_Delete.peek(), Cmd_Refresh.peek()}) AddWorkingControl(b);
    connect(Cmd_Add.peek(), &XButton::Click, this, &PanelEditForm::Cmd_Add_Click);
    connect(Cmd_Modify.peek(), &XButton::Click, this, &PanelEditForm::Cmd_Modify_Click);
    connect(Cmd_Delete.peek(), &XButton::Click, this, &PanelEditForm::Cmd_Delete_Click);
    connect(Cmd_Refresh.peek(), &XButton::Click, this, &PanelEditForm::Cmd_Refresh_Click);

    auto *frame = new vb::Frame(client(), QStringLiteral("Frame_ShowData"), IdleCaption());
    frame->Move(FrameLeft, FrameTop, 9000, FrameHeight);
    Frame_ShowData = frame;
    AddWorkingControl(frame);
    for (int i = 0; i < 3; ++i) {
        auto *lbl = new vb::Label(frame, QStringLiteral("Lbl_%1").arg(i),
                                  i < labelCaptions.size() ? labelCaptions.at(i) : QString());
        lbl->Move(240, 360 + i * 420, 2400, 300);
        lbl->setBackStyle(vb::vbTransparent);
        m_lbl[i] = lbl;
        auto *box = new FTextBox(frame, QStringLiteral("Txt_%1").arg(i));
        box->Move(2760, 330 + i * 420, 4200, FTextBox::FixedHeight);
        box->setAutoSelAll(true);
        m_txt[i] = box;
    }
    Cmd_Save = CreateButton(QStringLiteral("Cmd_Save"), QStringLiteral("保存"), 7200, 330, 1200, 375, QString(), frame);
    Cmd_Cancel =
        CreateButton(QStringLiteral("Cmd_Cancel"), QStringLiteral("取消"), 7200, 840, 1200, 375, QString(), frame);
    connect(Cmd_Save.peek(), &XButton::Click, this, &PanelEditForm::Cmd_Save_Click);
    connect(Cmd_Cancel.peek(), &XButton::Click, this, &PanelEditForm::Cmd_Cancel_Click);

    vb::Grid *g = CreateGrid(GridLeft, GridTop, 9000, 4000);
    g->setToolTipText(tip(4));
}

void PanelEditForm::HideCtrls() { HideListCtrls(); }

void PanelEditForm::ShowCtrls()
{
    ShowListCtrls();
    if (auto *f = Frame_ShowData.peek()) f->setEnabled(false);
}

void PanelEditForm::Form_Resize()
{
    try {
        if (auto *f = Frame_ShowData.peek()) f->setWidth(std::max(0, Width() - f->Left() - 240 - 45));
    } catch (...) {
        // A resize while the window unloads: the frame keeps its width.
    }
    ListResize();
}

// ---------------------------------------------------------------- actions

void PanelEditForm::Cmd_Refresh_Click()
{
    ChildListForm::Cmd_Refresh_Click();
    Cmd_Cancel_Click();
}

void PanelEditForm::Cmd_Cancel_Click()
{
    for (int i = 0; i < 3; ++i)
        if (FTextBox *t = Txt(i)) t->setText(QString());
    if (auto *f = Frame_ShowData.peek()) {
        f->setCaption(IdleCaption());
        f->setEnabled(false);
    }
    EditMode = QStringLiteral("NULL");
    m_guard.Forget();
}

void PanelEditForm::Cmd_Add_Click()
{
    if (auto *f = Frame_ShowData.peek()) {
        f->setCaption(AddCaption());
        f->setEnabled(true);
    }
    EditMode = QStringLiteral("ADD");
    m_guard.Forget();
    for (int i = 0; i < 3; ++i)
        if (FTextBox *t = Txt(i)) t->setText(QString());
    if (FTextBox *t = Txt(0)) {
        t->setEnabled(true);
        t->SetFocus();  // the new row's key is typed first
    }
}

void PanelEditForm::Cmd_Modify_Click()
{
    if (auto *f = Frame_ShowData.peek()) {
        f->setCaption(ModifyCaption());
        f->setEnabled(true);
    }
    EditMode = QStringLiteral("MOD");
    vb::Grid *g = Grid_ShowData.peek();
    QStringList shown;
    for (int i = 0; i < 3; ++i) {
        FTextBox *t = Txt(i);
        if (!t) continue;
        QString v;
        if (g && CurRow >= 0 && CurRow < g->Rows() && i < g->Cols()) v = g->TextMatrix(CurRow, i);
        t->setText(v);
        shown << v;
    }
    if (FTextBox *t = Txt(0)) t->setEnabled(false);
    // The save holds to the row as listed (an empty list has none to hold to).
    const QStringList c = PanelColumns();
    m_guard.Bind(PanelTable(), c.value(0), {TextColumn(c.value(1), m_txt[1]), TextColumn(c.value(2), m_txt[2])});
    if (shown.size() == 3 && !shown.at(0).isEmpty()) m_guard.Remember(shown.at(0), shown.mid(1));
}

QString PanelEditForm::InsertSQL() const
{
    return QStringLiteral("INSERT ") + PanelTable() + QStringLiteral(" VALUES (") + SQLQuote(Txt(0)->Text())
           + QStringLiteral(",") + SQLQuote(Txt(1)->Text()) + QStringLiteral(",") + SQLQuote(Txt(2)->Text())
           + QStringLiteral(")");
}

QString PanelEditForm::UpdateSQL() const
{
    const QStringList c = PanelColumns();
    return QStringLiteral("UPDATE ") + PanelTable() + QStringLiteral(" SET ") + QStringLiteral(" ") + c.value(1)
           + QStringLiteral(" =") + SQLQuote(Txt(1)->Text()) + QStringLiteral(",") + c.value(2) + QStringLiteral(" =")
           + SQLQuote(Txt(2)->Text()) + QStringLiteral(" WHERE ") + c.value(0) + QStringLiteral(" =")
           + SQLQuote(Txt(0)->Text());
}

QString PanelEditForm::DeleteSQL(const QString &key) const
{
    return QStringLiteral("DELETE ") + PanelTable() + QStringLiteral(" WHERE ") + PanelColumns().value(0)
           + QStringLiteral(" =") + SQLQuote(key);
}

void PanelEditForm::Cmd_Save_Click()
{
    try {
        if (!RequiredBoxesFilled() || !ValuesAccepted()) return;
        if (EditMode == QStringLiteral("ADD"))
            SQLConn().Execute(InsertSQL());
        else if (EditMode == QStringLiteral("MOD"))
            SaveChange();
        Cmd_Refresh_Click();
        Cmd_Cancel_Click();
    } catch (const RecordConflict &conflict) {
        // Out of the transaction; the entries stay in the frame, reloaded where asked.
        m_guard.Resolve(conflict, SQLConn());
    } catch (const std::exception &e) {
        ShowError(e);
    }
}

// The update of the row in the frame, once the row is found as it was listed.
void PanelEditForm::SaveChange()
{
    ado::Transaction trans(SQLConn());
    m_guard.Verify(SQLConn());
    SQLConn().Execute(UpdateSQL());
    trans.Commit();
}

bool PanelEditForm::RowExists(const QString &sql)
{
    SQLText = sql;
    ado::Recordset rs;
    rs.Open(SQLText, SQLConn(), ado::adOpenKeyset, ado::adLockReadOnly);
    return !rs.EOF_();
}

void PanelEditForm::Cmd_Delete_Click()
{
    try {
        vb::Grid *g = Grid_ShowData.peek();
        QString key;
        if (g && CurRow >= 0 && CurRow < g->Rows() && g->Cols() > 0) key = g->TextMatrix(CurRow, 0);
        if (IsKeyUsed(key)) {
            ShowErrorText(InUseText(key));
            return;
        }
        if (ConfirmDelete(DeleteQuestion(key), DeleteTitle())) SQLConn().Execute(DeleteSQL(key));
    } catch (const std::exception &e) {
        ShowError(e);
        return;
    }
    Cmd_Refresh_Click();
}
