#include "circulation/Frm_BorrowBook.h"

#include "core/ClockNumber.h"
#include "core/DialogConventions.h"
#include "core/Mdl_ComVarList.h"
#include "core/Mdl_SQLConnection.h"
#include "core/Refusal.h"
#include "db/Transaction.h"
#include "ui/Colors.h"
#include "ui/Runtime.h"

#include <QHash>
#include <QStringList>
#include <QTimer>
#include <algorithm>
#include <exception>

namespace {

// The display grid of a frame: three boxes per row, rows 420 apart from 1020;
// below the last row the frame keeps a margin as wide as its left one, so the
// boxes stay clear of its bottom border.
constexpr int CellWidth = 3600;
constexpr int LabelWidth = 1320;
constexpr int BoxWidth = 2040;
constexpr int RowTop = 1020, RowStep = 420;
constexpr int BottomMargin = 240;
constexpr int frameHeightFor(int boxes)
{
    const int rows = (boxes + 2) / 3;
    return RowTop + (rows - 1) * RowStep + FTextBox::FixedHeight + BottomMargin;
}

// Frames: left edge, tops and heights (twips), 120 apart.
constexpr int FrameLeft = 240;
constexpr int ReaderTop = 600, ReaderHeight = frameHeightFor(9);
constexpr int BookTop = ReaderTop + ReaderHeight + 120, BookHeight = frameHeightFor(6);
constexpr int ViewTop = BookTop + BookHeight + 120;
constexpr int LineStart = 240;

QString fieldText(const ado::Recordset &rs, int index)
{
    const QVariant v = rs.Fields(index);
    return (!v.isValid() || v.isNull()) ? QString() : v.toString();
}

}  // namespace

Frm_BorrowBook::Frm_BorrowBook() : ChildListForm(QStringLiteral("Frm_BorrowBook"))
{
    setCaption(QStringLiteral("借书"));
}

FTextBox *Frm_BorrowBook::Txt_Reader(int index) const
{
    const_cast<Frm_BorrowBook *>(this)->ensureLoaded();
    return (index >= 0 && index < 9) ? m_reader[index].data() : nullptr;
}

FTextBox *Frm_BorrowBook::Txt_Book(int index) const
{
    const_cast<Frm_BorrowBook *>(this)->ensureLoaded();
    return (index >= 0 && index < 6) ? m_book[index].data() : nullptr;
}

// ---------------------------------------------------------------- controls

namespace {

// The names of a look-up frame's parts.
struct LookupNames {
    QString frame, frameCaption, idLabel, idCaption, idBox, tip, split, splitShadow;
};

struct LookupFrame {
    vb::Frame *frame;
    vb::Label *idLabel;
    FTextBox *idBox;
    vb::Label *tip;
    vb::LineControl *split;
    vb::LineControl *splitShadow;
};

vb::LineControl *makeLine(QWidget *parent, const QString &name, int y, long color)
{
    auto *l = new vb::LineControl(parent, name);
    l->setBorderColor(color);
    l->setLine(LineStart, y, 9000, y);
    return l;
}

// A frame that finds a record by its number: the number box with its Enter
// hint, a sunken line under them; the record's fields follow (makeDisplay).
LookupFrame makeLookupFrame(QWidget *parent, const LookupNames &n, int top, int height)
{
    LookupFrame f{};
    f.frame = new vb::Frame(parent, n.frame, n.frameCaption);
    f.frame->Move(FrameLeft, top, 11000, height);
    f.idLabel = new vb::Label(f.frame, n.idLabel, n.idCaption);
    f.idLabel->setBackStyle(vb::vbTransparent);
    f.idLabel->Move(240, 390, 1320, 255);
    f.idBox = new FTextBox(f.frame, n.idBox);
    f.idBox->Move(1560, 360, 2400, FTextBox::FixedHeight);
    f.idBox->setAutoSelAll(true);
    f.tip = new vb::Label(f.frame, n.tip, QStringLiteral("[回车键查询]"));
    f.tip->setBackStyle(vb::vbTransparent);
    f.tip->Move(4080, 390, 1500, 255);
    f.split = makeLine(f.frame, n.split, 840, vb::kGrey);
    f.splitShadow = makeLine(f.frame, n.splitShadow, 855, vb::kWhite);
    return f;
}

// Field i of a frame's display grid (three to a row): its caption and its read-only box, which it returns.
FTextBox *makeDisplay(QWidget *parent, const QString &lblName, const QString &boxName, int i, const QString &caption,
                      int rowTop)
{
    const int col = i % 3, row = i / 3;
    auto *lbl = new vb::Label(parent, lblName, caption);
    lbl->setBackStyle(vb::vbTransparent);
    lbl->Move(240 + col * CellWidth, rowTop + row * RowStep + 30, LabelWidth, 255);
    auto *box = new FTextBox(parent, boxName);
    box->Move(240 + col * CellWidth + LabelWidth, rowTop + row * RowStep, BoxWidth, FTextBox::FixedHeight);
    box->setEnabled(false);
    return box;
}

}  // namespace

void Frm_BorrowBook::CreateControls()
{
    CreateTitleBar();
    Cmd_TBarClose->setToolTip(QStringLiteral("关闭当前窗口"));

    CreateReaderFrame();
    CreateBookFrame();
    CreateLendingList();

    Cmd_OK = CreateButton(QStringLiteral("Cmd_OK"), QStringLiteral("确定"), FrameLeft, 8000, 1200, 375);
    Cmd_Clear = CreateButton(QStringLiteral("Cmd_Clear"), QStringLiteral("清空"), FrameLeft + 1320, 8000, 1200, 375);
    Cmd_Close = CreateButton(QStringLiteral("Cmd_Close"), QStringLiteral("关闭"), FrameLeft + 2640, 8000, 1200, 375);

    // Keyboard order of a desk clerk: reader number, copy number, the list, the buttons.
    setTabOrder(Txt_RID->textBox(), Txt_BID->textBox());

    connect(Txt_RID.peek(), &FTextBox::KeyPress, this, &Frm_BorrowBook::Txt_RID_KeyPress);
    setValidateHandler(Txt_RID.peek(), [this](bool &cancel) { Txt_RID_Validate(cancel); });
    connect(Txt_BID.peek(), &FTextBox::KeyPress, this, &Frm_BorrowBook::Txt_BID_KeyPress);
    connect(Cmd_OK.peek(), &XButton::Click, this, &Frm_BorrowBook::Cmd_OK_Click);
    connect(Cmd_Clear.peek(), &XButton::Click, this, &Frm_BorrowBook::Cmd_Clear_Click);
    connect(Cmd_Close.peek(), &XButton::Click, this, &Frm_BorrowBook::Cmd_Close_Click);
}

void Frm_BorrowBook::CreateReaderFrame()
{
    const LookupFrame f =
        makeLookupFrame(client(),
                        {QStringLiteral("Frame_Reader"), QStringLiteral("读者档案"), QStringLiteral("Lbl_RID"),
                         QStringLiteral("● 读者编号"), QStringLiteral("Txt_RID"), QStringLiteral("Lbl_Tip1"),
                         QStringLiteral("Line_Split1"), QStringLiteral("Line_Split1_Shadow")},
                        ReaderTop, ReaderHeight);
    Frame_Reader = f.frame;
    Lbl_RID = f.idLabel;
    Txt_RID = f.idBox;
    Lbl_Tip1 = f.tip;
    Line_Split1 = f.split;
    Line_Split1_Shadow = f.splitShadow;
    const QStringList readerCaptions{
        QStringLiteral("读者姓名"),     QStringLiteral("性别"),         QStringLiteral("读者类别"),
        QStringLiteral("账户余额"),     QStringLiteral("账户状态"),     QStringLiteral("借书时间期限"),
        QStringLiteral("当前借书数量"), QStringLiteral("剩余借书数量"), QStringLiteral("借书数量限制")};
    for (int i = 0; i < 9; ++i) {
        m_reader[i] = makeDisplay(f.frame, QStringLiteral("Lbl_Reader_%1").arg(i),
                                  QStringLiteral("Txt_Reader_%1").arg(i), i, readerCaptions.at(i), RowTop);
    }
}

void Frm_BorrowBook::CreateBookFrame()
{
    const LookupFrame f =
        makeLookupFrame(client(),
                        {QStringLiteral("Frame_Book"), QStringLiteral("图书档案"), QStringLiteral("Lbl_BID"),
                         QStringLiteral("● 图书编号"), QStringLiteral("Txt_BID"), QStringLiteral("Lbl_Tip2"),
                         QStringLiteral("Line_Split2"), QStringLiteral("Line_Split2_Shadow")},
                        BookTop, BookHeight);
    Frame_Book = f.frame;
    Lbl_BID = f.idLabel;
    Txt_BID = f.idBox;
    Lbl_Tip2 = f.tip;
    Line_Split2 = f.split;
    Line_Split2_Shadow = f.splitShadow;
    const QStringList bookCaptions{QStringLiteral("图书名称"), QStringLiteral("作者"), QStringLiteral("每日租金"),
                                   QStringLiteral("出版社"),   QStringLiteral("ISBN"), QStringLiteral("可否外借")};
    for (int i = 0; i < 6; ++i) {
        m_book[i] = makeDisplay(f.frame, QStringLiteral("Lbl_Book_%1").arg(i), QStringLiteral("Txt_Book_%1").arg(i), i,
                                bookCaptions.at(i), RowTop);
    }
}

// The copies chosen for the reader, each with its return date.
void Frm_BorrowBook::CreateLendingList()
{
    auto *fv = new vb::Frame(client(), QStringLiteral("Frame_View"), QStringLiteral("借书预览"));
    fv->Move(FrameLeft, ViewTop, 11000, 3000);
    Frame_View = fv;
    Lbl_TipRID = new vb::Label(fv, QStringLiteral("Lbl_TipRID"), QStringLiteral("读者编号："));
    Lbl_TipRID->setBackStyle(vb::vbTransparent);
    Lbl_TipRID->Move(240, 360, 1080, 255);
    Lbl_ShowRID = new vb::Label(fv, QStringLiteral("Lbl_ShowRID"), QString());
    Lbl_ShowRID->setBackStyle(vb::vbTransparent);
    Lbl_ShowRID->Move(1320, 360, 3000, 255);
    Lbl_ShowRID->setForeColor(vb::kDarkBlue);
    auto *lst = new vb::ListView(fv);
    lst->setObjectName(QStringLiteral("Lst_View"));
    lst->Move(LineStart, 720, 8760, 2000);
    lst->setCheckboxes(true);
    lst->ColumnHeaders().Add(QStringLiteral("图书名称"), 3000);
    lst->ColumnHeaders().Add(QStringLiteral("图书编号"), 1800);
    lst->ColumnHeaders().Add(QStringLiteral("ISBN"), 1800);
    lst->ColumnHeaders().Add(QStringLiteral("每日租金"), 1200);
    lst->ColumnHeaders().Add(QStringLiteral("还书日期"), 1800);
    Lst_View = lst;
}

void Frm_BorrowBook::ControlsDestroyed()
{
    m_reader.fill(nullptr);
    m_book.fill(nullptr);
}

void Frm_BorrowBook::HideBorrowCtrls()
{
    for (QWidget *w : std::initializer_list<QWidget *>{Frame_Reader.peek(), Frame_Book.peek(), Frame_View.peek(),
                                                       Cmd_OK.peek(), Cmd_Clear.peek(), Cmd_Close.peek()})
        if (w) w->setVisible(false);
}

void Frm_BorrowBook::ShowBorrowCtrls()
{
    for (QWidget *w : std::initializer_list<QWidget *>{Frame_Reader.peek(), Frame_Book.peek(), Frame_View.peek(),
                                                       Cmd_OK.peek(), Cmd_Clear.peek(), Cmd_Close.peek()})
        if (w) w->setVisible(true);
}

void Frm_BorrowBook::Form_Load()
{
    // The window opens empty: no reader is accepted until one is looked up.
    BorrowRID.clear();
    ChildListForm::Form_Load();
    // The clerk starts typing a reader number as soon as the window is shown.
    QTimer::singleShot(0, this, [this] {
        if (FTextBox *rid = Txt_RID.peek(); rid && rid->isVisible()) rid->SetFocus();
    });
}

void Frm_BorrowBook::Form_Resize()
{
    try {
        const int W = Width();
        const int H = Height();
        vb::Frame *fr = Frame_Reader.peek();
        if (!fr) return;
        const int fw = std::max(0, W - fr->Left() - 240 - 45);
        fr->setWidth(fw);
        Frame_Book->setWidth(fw);
        Frame_View->setWidth(fw);
        const int lineEnd = std::max(LineStart, fw - LineStart - 45);
        Line_Split1->setX2(lineEnd);
        Line_Split1_Shadow->setX2(lineEnd);
        Line_Split2->setX2(lineEnd);
        Line_Split2_Shadow->setX2(lineEnd);
        const int okTop = H - Cmd_OK->Height() - 240 - 435;
        Cmd_OK->setTop(okTop);
        Cmd_Clear->setTop(okTop);
        Cmd_Close->setTop(okTop);
        Frame_View->setHeight(std::max(0, okTop - Frame_View->Top() - 105));
        Lst_View->setWidth(std::max(0, Line_Split1->X2() - Line_Split1->X1()));
        Lst_View->setHeight(std::max(0, Frame_View->Height() - Lst_View->Top() - 240));
    } catch (...) {
        // A resize while the window unloads: its controls keep their places.
    }
}

// ---------------------------------------------------------------- reader look-up

void Frm_BorrowBook::ComposeLookup()
{
    SQLText = SQLSelect + QStringLiteral(" ") + SQLFrom + QStringLiteral(" ") + SQLWhere;
}

void Frm_BorrowBook::Txt_RID_KeyPress(int &KeyAscii)
{
    if (KeyAscii == 13) runValidate(Txt_RID.get());
}

void Frm_BorrowBook::Txt_RID_Validate(bool &Cancel)
{
    (void)Cancel;  // the focus always moves on
    try {
        const QString q = SQLQuote(Txt_RID->Text());
        if (q == QStringLiteral("''")) return;
        SQLSelect = QStringLiteral(
            "SELECT 姓名, 性别, 读者档案.读者类别, CONVERT(varchar(10),账户金额,0) AS 账户余额, 状态, 借书时间期限, "
            "当前借书数量, 借书数量限制 - 当前借书数量, 借书数量限制");
        SQLFrom = QStringLiteral("FROM 读者档案, 读者类别");
        SQLWhere =
            QStringLiteral("WHERE 读者编号 = ") + q + QStringLiteral(" AND 读者档案.读者类别 = 读者类别.读者类别");
        ComposeLookup();
        ado::Recordset rs;
        rs.Open(SQLText, SQLConn(), ado::adOpenKeyset, ado::adLockReadOnly);
        if (rs.EOF_()) {
            ShowErrorText(QStringLiteral("找不到编号为") + vb::Trim(Txt_RID->Text()) + QStringLiteral("的用户！"));
            BorrowRID.clear();
            Txt_RID->SetFocus();
            return;
        }
        for (int j = 0; j < 9; ++j) Txt_Reader(j)->setText(fieldText(rs, j));
        Txt_BID->SetFocus();
        BorrowRID = vb::Trim(Txt_RID->Text());
        Lbl_ShowRID->setCaption(BorrowRID);
    } catch (const std::exception &e) {
        ShowError(e);
    }
}

// ---------------------------------------------------------------- adding a copy

void Frm_BorrowBook::Txt_BID_KeyPress(int &KeyAscii)
{
    if (KeyAscii == 13) AddCopy();
}

void Frm_BorrowBook::AddCopy()
{
    if (BorrowRID.isEmpty()) {
        ShowNotice(QStringLiteral("请先输入正确的读者编号！"), QStringLiteral("提示"));
        return;
    }
    const QString id = vb::Trim(Txt_BID->Text());
    vb::ListView *lst = Lst_View.get();
    // Copy numbers are compared without regard to letter case, as the database compares them.
    for (int i = 1; i <= lst->ListItems().Count(); ++i) {
        if (lst->ListItems()(i).SubItems(1).compare(id, Qt::CaseInsensitive) == 0) {
            ShowMsgBox(QStringLiteral("编号为 [ ") + id + QStringLiteral(" ] 的图书已经添加！"), QStringLiteral("x"),
                       QStringLiteral("重复添加"));
            return;
        }
    }
    try {
        SQLSelect = QStringLiteral(
            "SELECT 图书名称, 作者, CONVERT(varchar(10),每日租金,0) AS 每日租金, 出版社名称, 图书档案.ISBN, 可否外借 = "
            "CASE WHEN 可否外借 = 1 THEN '是' ELSE '否' END, 状态");
        SQLFrom = QStringLiteral("FROM 图书档案, 图书库存");
        SQLWhere = QStringLiteral("WHERE 图书编号 = ") + SQLQuote(Txt_BID->Text())
                   + QStringLiteral(" AND 图书档案.ISBN = 图书库存.ISBN");
        ComposeLookup();
        ado::Recordset rs;
        rs.Open(SQLText, SQLConn(), ado::adOpenKeyset, ado::adLockReadOnly);
        QString refusal;
        if (rs.EOF_())
            refusal = QStringLiteral("找不到编号为") + id + QStringLiteral("的图书！");
        else if (fieldText(rs, 6) == QStringLiteral("借出"))
            refusal = QStringLiteral("编号为") + id + QStringLiteral("的图书已借出！");
        else if (fieldText(rs, 5) == QStringLiteral("否"))
            refusal = QStringLiteral("编号为") + id + QStringLiteral("的图书不可外借！");
        if (!refusal.isEmpty()) {
            ShowErrorText(refusal);
            Txt_BID->SetFocus();
            return;
        }
        for (int j = 0; j < 6; ++j) Txt_Book(j)->setText(fieldText(rs, j));
        const QDate due =
            vb::DateAdd(QStringLiteral("d"), static_cast<long long>(vb::Val(Txt_Reader(5)->Text())), vb::Date());
        vb::ListItem item = lst->ListItems().Add(Txt_Book(0)->Text());
        item.setSubItems(1, id);
        item.setSubItems(2, Txt_Book(4)->Text());
        item.setSubItems(3, Txt_Book(2)->Text());
        item.setSubItems(4, vb::Format(due, QStringLiteral("yyyy-mm-dd")));
        item.setChecked(true);
    } catch (const std::exception &e) {
        ShowError(e);
    }
}

// ---------------------------------------------------------------- confirmation

void Frm_BorrowBook::WriteLending(int n)
{
    ado::Connection &conn = SQLConn();
    vb::ListView *lst = Lst_View.get();
    const int count = lst->ListItems().Count();
    for (int i = 1; i <= count; ++i) {
        vb::ListItem item = lst->ListItems()(i);
        if (!item.Checked()) continue;
        const QString today = vb::Format(vb::Date(), QStringLiteral("yyyy-mm-dd"));
        // Made from the clock; taken already (another desk, the same second):
        // the next free number.
        const QString loanNo = FreeClockNumber(conn, QStringLiteral("图书借阅"), QStringLiteral("图书借阅编号"),
                                               vb::Format(vb::Date(), QStringLiteral("yymmdd"))
                                                   + vb::Format(vb::Time(), QStringLiteral("hhnnss"))
                                                   + vb::Format(double(i), QStringLiteral("000")));
        conn.Execute(QStringLiteral("INSERT 图书借阅 VALUES(") + SQLQuote(loanNo) + QStringLiteral(",")
                     + SQLQuote(item.SubItems(1)) + QStringLiteral(",") + SQLQuote(BorrowRID) + QStringLiteral(",")
                     + SQLQuote(today) + QStringLiteral(",") + SQLQuote(item.SubItems(4))
                     + QStringLiteral(", Null, '0', ") + SQLQuote(CurUID) + QStringLiteral(", Null)"));
        conn.Execute(QStringLiteral("UPDATE 图书库存 SET 状态 = '借出'") + QStringLiteral(",最近读者编号 = ")
                     + SQLQuote(BorrowRID) + QStringLiteral(",最近借阅日期 = ") + SQLQuote(today)
                     + QStringLiteral(" WHERE 图书编号 = ") + SQLQuote(item.SubItems(1)));
    }
    const QString num = QString::number(n);
    conn.Execute(QStringLiteral("UPDATE 读者档案 SET 当前借书数量 = 当前借书数量 + ") + num
                 + QStringLiteral(",总借书数量 = 总借书数量 + ") + num + QStringLiteral(",总借书次数 = 总借书次数 + 1")
                 + QStringLiteral(",未还书总数 = 未还书总数 + ") + num + QStringLiteral(" WHERE 读者编号 = ")
                 + SQLQuote(BorrowRID));
}

// The checks of a confirmation, on the copies and the reader read afresh;
// returns the number of ticked copies. Runs inside the lending's transaction
// and locks what it reads until the lending is written: the ticked copies
// first, in their order (every desk locks copies so, and the reader after
// them, so two lendings never wait for each other in a circle), then the
// reader, whose counters the limit is checked against. Another desk's
// lending or return of the same copy or reader waits for this one, and then
// finds the copy lent or the counters raised.
int Frm_BorrowBook::CheckLending()
{
    ado::Connection &conn = SQLConn();
    vb::ListView *lst = Lst_View.get();
    QStringList ticked;
    for (int i = 1; i <= lst->ListItems().Count(); ++i)
        if (lst->ListItems()(i).Checked()) ticked << lst->ListItems()(i).SubItems(1);

    // A copy may have been lent at another desk since it was added to the list.
    QHash<QString, QString> status;  // by copy number in lower case, as the database compares them
    if (!ticked.isEmpty()) {
        QStringList quoted;
        for (const QString &id : std::as_const(ticked)) quoted << SQLQuote(id);
        ado::Recordset copies;
        copies.Open(QStringLiteral("SELECT 图书编号, 状态 FROM 图书库存 WITH (UPDLOCK) WHERE 图书编号 IN (")
                        + quoted.join(QStringLiteral(",")) + QStringLiteral(") ORDER BY 图书编号"),
                    conn, ado::adOpenKeyset, ado::adLockReadOnly);
        for (; !copies.EOF_(); copies.MoveNext()) status.insert(fieldText(copies, 0).toLower(), fieldText(copies, 1));
    }

    ado::Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM 读者档案 WITH (UPDLOCK) WHERE 读者编号 = ") + SQLQuote(BorrowRID), conn,
            ado::adOpenKeyset, ado::adLockReadOnly);
    if (rs.Fields(QStringLiteral("状态")).toString() == QStringLiteral("停用"))
        throw Refusal{QStringLiteral("读者 [ ") + rs.Fields(QStringLiteral("姓名")).toString()
                      + QStringLiteral(" ] 为停用状态，不可借书！")};
    const int n = int(ticked.size());
    if (n == 0) throw Refusal{QStringLiteral("请选择要借出的图书！")};
    if (vb::Val(Txt_Reader(8)->Text()) < n + vb::Val(rs.Fields(QStringLiteral("当前借书数量")).toString()))
        throw Refusal{QStringLiteral("超过借书数量上限！")};
    for (const QString &id : std::as_const(ticked)) {
        const auto it = status.constFind(id.toLower());
        if (it == status.constEnd()) throw Refusal{QStringLiteral("找不到编号为") + id + QStringLiteral("的图书！")};
        if (it.value() == QStringLiteral("借出"))
            throw Refusal{QStringLiteral("编号为") + id + QStringLiteral("的图书已借出！")};
    }
    return n;
}

void Frm_BorrowBook::Cmd_OK_Click()
{
    ado::Connection &conn = SQLConn();
    try {
        // The loans, the copies' status and the reader's counters must agree:
        // they are written together or not at all. A refusal leaves the
        // transaction before its message is shown, so no desk waits on a
        // message box.
        int n = 0;
        {
            ado::Transaction trans(conn);
            n = CheckLending();
            WriteLending(n);
            trans.Commit();
        }
        ShowNotice(QStringLiteral("借书成功！共借出 ") + QString::number(n) + QStringLiteral(" 本图书。"),
                   QStringLiteral("借书成功"));
        Cmd_Clear_Click();
    } catch (const Refusal &r) {
        ShowErrorText(r.text);
    } catch (const std::exception &e) {
        ShowError(e);
    }
}

// ---------------------------------------------------------------- clearing, closing

void Frm_BorrowBook::Cmd_Clear_Click()
{
    Txt_RID->setText(QString());
    for (int j = 0; j < 9; ++j) Txt_Reader(j)->setText(QString());
    Txt_BID->setText(QString());
    for (int j = 0; j < 6; ++j) Txt_Book(j)->setText(QString());
    Lbl_ShowRID->setCaption(QString());
    BorrowRID.clear();
    Lst_View->ListItems().Clear();
    Txt_RID->SetFocus();
}

void Frm_BorrowBook::Cmd_Close_Click() { Cmd_TBarClose_Click(); }
