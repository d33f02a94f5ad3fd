#include "catalogue/Frm_BookAdd.h"

#include "core/ChildListForm.h"
#include "core/Mdl_ComVarList.h"
#include "core/Mdl_SQLConnection.h"
#include "ui/Fonts.h"
#include "ui/Runtime.h"

#include <QApplication>
#include <QPointer>
#include <cmath>
#include <exception>

namespace {

const QString kAddBook = QStringLiteral("ADD_Book");
const QString kModBook = QStringLiteral("MOD_Book");
const QString kAddStore = QStringLiteral("ADD_Store");

// Design positions (twips).
constexpr int TitleBarHeight = 480;
constexpr int FieldLeft = 1080;
constexpr int FieldWidth = 1815;
constexpr int RowTop = 360;
constexpr int RowPitch = 360;
constexpr int ButtonLeft = 3840;
constexpr int ButtonWidth = 1095;
constexpr int ButtonHeight = 375;
constexpr int ClearTop = 1200;
constexpr int TransparentTop = 5280;
constexpr int SplitX = 3600;
constexpr int SplitTop = 600, SplitBottom = 5640;
constexpr int ShadowTop = 615, ShadowBottom = 5625;

// A number written into a statement: plain digits, no exponent, no trailing zeros.
QString PlainNumber(double v)
{
    QString s = QString::number(v, 'f', 4);
    if (s.contains(QLatin1Char('.'))) {
        while (s.endsWith(QLatin1Char('0'))) s.chop(1);
        if (s.endsWith(QLatin1Char('.'))) s.chop(1);
    }
    if (s == QStringLiteral("-0")) s = QStringLiteral("0");
    return s;
}

QString NumberOf(const QString &text) { return PlainNumber(vb::Val(text)); }

// A stored date shown as text ("" for none).
QString DateText(const QVariant &v)
{
    if (!v.isValid() || v.isNull()) return QString();
    if (v.typeId() == QMetaType::QDate) return v.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    if (v.typeId() == QMetaType::QDateTime) {
        const QDateTime d = v.toDateTime();
        return d.time() == QTime(0, 0) ? d.date().toString(QStringLiteral("yyyy-MM-dd"))
                                       : d.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    }
    return v.toString();
}

// A required value of the title: a Null ends the loading.
struct MissingValue { };
QString Required(const QVariant &v)
{
    if (!v.isValid() || v.isNull()) throw MissingValue{};
    return v.toString();
}

}  // namespace

Frm_BookAdd::Frm_BookAdd() : ModalEditForm(QStringLiteral("Frm_BookAdd"))
{
    // The dialog draws its own title bar.
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_DeleteOnClose, false);
    setCaption(QStringLiteral("添加图书"));
    setWidth(DesignWidth);
    setHeight(DesignHeight);
    // The title's fields in the order they are loaded; a null name, author,
    // price or rent ends the loading there.
    const auto required = [](const vb::Ctl<FTextBox> &box, const QString &column) {
        GuardedColumn c = TextColumn(column, box);
        c.show = [&box](const QVariant &v) { box->setText(Required(v)); };
        return c;
    };
    GuardedColumn date = TextColumn(QStringLiteral("出版时间"), Txt_PressDate);
    date.show = [this](const QVariant &v) { Txt_PressDate->setText(DateText(v)); };
    std::vector<GuardedColumn> columns = {required(Txt_BookName, QStringLiteral("图书名称")),
                                          required(Txt_Writer, QStringLiteral("作者")),
                                          PickColumn(QStringLiteral("出版社名称"), Cmb_Press),
                                          date,
                                          required(Txt_Price, QStringLiteral("价格")),
                                          required(Txt_Rent, QStringLiteral("每日租金")),
                                          ChoiceColumn(QStringLiteral("可否外借"), Cmb_IsBrw, StoredYes)};
    for (GuardedColumn &c : columns) c.written = [this] { return Mode == kModBook; };
    m_guard.Bind(QStringLiteral("图书档案"), QStringLiteral("ISBN"), std::move(columns));
}

// ---------------------------------------------------------------- controls

namespace {

vb::Label *makeLabel(QWidget *parent, const QString &name, const QString &caption, int left, int top, int width)
{
    auto *l = new vb::Label(parent, name, caption);
    l->setBackStyle(vb::vbTransparent);
    l->Move(left, top, width, 255);
    return l;
}

FTextBox *makeTextBox(QWidget *parent, const QString &name, int left, int top, int width)
{
    auto *t = new FTextBox(parent, name);
    t->Move(left, top, width, FTextBox::FixedHeight);
    t->setAutoSelAll(true);
    return t;
}

int rowTop(int row) { return RowTop + row * RowPitch; }

}  // namespace

void Frm_BookAdd::CreateControls()
{
    QWidget *c = client();
    DialogTitleBarParts bar = DialogTitleBar(this, TitleBarHeight, [this] { Cmd_TBarClose_Click(); });
    Pic_TitleBar = bar.Pic_TitleBar;
    Lbl_TBarText = bar.Lbl_TBarText;
    Cmd_TBarClose = bar.Cmd_TBarClose;
    Cmd_TBarClose->setToolTip(QStringLiteral("关闭当前窗口"));

    CreateBaseInfoFrame(c);
    CreateStoreFrame(c);
    CreateButtonsAndOptions(c);
    ConnectControls();
}

// The title's fields.
void Frm_BookAdd::CreateBaseInfoFrame(QWidget *c)
{
    auto *base = new vb::Frame(c, QStringLiteral("Frame_BaseInfo"), QStringLiteral("基本信息"));
    base->Move(240, 600, 3135, 3495);
    Frame_BaseInfo = base;
    const int lblDy = 30;
    Lbl_ISBN = makeLabel(base, QStringLiteral("Lbl_ISBN"), QStringLiteral("ISBN"), 240, rowTop(0) + lblDy, 800);
    Txt_ISBN = makeTextBox(base, QStringLiteral("Txt_ISBN"), FieldLeft, rowTop(0), FieldWidth);
    Lbl_BookName =
        makeLabel(base, QStringLiteral("Lbl_BookName"), QStringLiteral("图书名称"), 240, rowTop(1) + lblDy, 800);
    Txt_BookName = makeTextBox(base, QStringLiteral("Txt_BookName"), FieldLeft, rowTop(1), FieldWidth);
    Lbl_Writer = makeLabel(base, QStringLiteral("Lbl_Writer"), QStringLiteral("作者"), 240, rowTop(2) + lblDy, 800);
    Txt_Writer = makeTextBox(base, QStringLiteral("Txt_Writer"), FieldLeft, rowTop(2), FieldWidth);
    Lbl_Press = makeLabel(base, QStringLiteral("Lbl_Press"), QStringLiteral("出版社"), 240, rowTop(3) + lblDy, 800);
    auto *press = new FCombo(base, QStringLiteral("Cmb_Press"));
    press->setEnabledText(true);  // a new publisher may be typed
    press->Move(FieldLeft, rowTop(3), FieldWidth);
    Cmb_Press = press;
    Lbl_PressDate =
        makeLabel(base, QStringLiteral("Lbl_PressDate"), QStringLiteral("出版时间"), 240, rowTop(4) + lblDy, 800);
    Txt_PressDate = makeTextBox(base, QStringLiteral("Txt_PressDate"), FieldLeft, rowTop(4), FieldWidth);
    Lbl_Price = makeLabel(base, QStringLiteral("Lbl_Price"), QStringLiteral("价格"), 240, rowTop(5) + lblDy, 800);
    Txt_Price = makeTextBox(base, QStringLiteral("Txt_Price"), FieldLeft, rowTop(5), FieldWidth);
    Lbl_Rent = makeLabel(base, QStringLiteral("Lbl_Rent"), QStringLiteral("每日租金"), 240, rowTop(6) + lblDy, 800);
    Txt_Rent = makeTextBox(base, QStringLiteral("Txt_Rent"), FieldLeft, rowTop(6), FieldWidth);
    Lbl_IsBrw = makeLabel(base, QStringLiteral("Lbl_IsBrw"), QStringLiteral("可否外借"), 240, rowTop(7) + lblDy, 800);
    auto *isBrw = new FCombo(base, QStringLiteral("Cmb_IsBrw"));
    isBrw->setEnabledText(false);
    isBrw->Move(FieldLeft, rowTop(7), FieldWidth);
    Cmb_IsBrw = isBrw;
    for (FTextBox *t : {Txt_Price.peek(), Txt_Rent.peek()}) {
        t->setIsNumber(true);
        t->setMaxLength(8);
        t->setAfterdecimal(2);
    }
}

// The copies to add; the check box is the frame's caption.
void Frm_BookAdd::CreateStoreFrame(QWidget *c)
{
    auto *store = new vb::Frame(c, QStringLiteral("Frame_Add2Store"), QString());
    store->Move(240, 4200, 3135, 1335);
    Frame_Add2Store = store;
    auto *sw = new vb::CheckBox(c, QStringLiteral("Chk_FrameSwitch"), QStringLiteral("添加到库存"));
    sw->Move(360, 4080, 1320, 255);
    sw->raise();
    Chk_FrameSwitch = sw;
    Lbl_Num = makeLabel(store, QStringLiteral("Lbl_Num"), QStringLiteral("数量"), 240, 390, 480);
    auto *num = makeTextBox(store, QStringLiteral("Txt_Num"), 720, 360, 615);
    num->setIsNumber(true);
    num->setMaxLength(8);
    num->setAfterdecimal(2);
    Txt_Num = num;
    Lbl_Index = makeLabel(store, QStringLiteral("Lbl_Index"), QStringLiteral("索引"), 1560, 390, 480);
    auto *index = new FCombo(store, QStringLiteral("Cmb_Index"));
    index->setEnabledText(false);
    index->Move(2040, 360, 855);
    Cmb_Index = index;
    Lbl_BookID = makeLabel(store, QStringLiteral("Lbl_BookID"), QStringLiteral("图书编号"), 240, 870, 800);
    Txt_BookID = makeTextBox(store, QStringLiteral("Txt_BookID"), FieldLeft, 840, FieldWidth);
}

// The buttons and options at the right, and the line that sets them apart.
void Frm_BookAdd::CreateButtonsAndOptions(QWidget *c)
{
    auto button = [c](const QString &name, const QString &caption, int top) {
        auto *b = new XButton(c, name);
        b->Move(ButtonLeft, top, ButtonWidth, ButtonHeight);
        b->setCaption(caption);
        b->setStyleColor(vb::kFrameGrey);
        b->setIfDraw(true);
        return b;
    };
    Cmd_Add = button(QStringLiteral("Cmd_Add"), QStringLiteral("添加"), 720);
    Cmd_Clear = button(QStringLiteral("Cmd_Clear"), QStringLiteral("清空"), ClearTop);
    Cmd_GoBack = button(QStringLiteral("Cmd_GoBack"), QStringLiteral("关闭"), 1680);
    auto *tip =
        new vb::Label(c, QStringLiteral("Lbl_Tip"),
                      QStringLiteral("提示：在输入ISBN后按回车可查询是否存在，若存在则自动转到添加该书的库存模式，"
                                     "否则为添加新书模式。"));
    tip->setBackStyle(vb::vbTransparent);
    tip->setWordWrap(true);
    tip->setForeColor(vb::kGrey);
    // The whole tip in its narrow column: seven lines of the compact face.
    tip->setFont(vb::CompactFont(10));
    tip->Move(ButtonLeft, 2280, ButtonWidth, 1575);
    Lbl_Tip = tip;
    Chk_AutoClose = new vb::CheckBox(c, QStringLiteral("Chk_AutoClose"), QStringLiteral("添加后关闭"));
    Chk_AutoClose->Move(ButtonLeft, 4920, 1260, 255);
    Chk_Transparent = new vb::CheckBox(c, QStringLiteral("Chk_Transparent"), QStringLiteral("窗口半透明"));
    Chk_Transparent->Move(ButtonLeft, TransparentTop, 1260, 255);

    auto *split = new vb::LineControl(c, QStringLiteral("Line_Split"));
    split->setBorderColor(vb::kSilver);
    split->setLine(SplitX, SplitTop, SplitX, SplitBottom);
    Line_Split = split;
    auto *shadow = new vb::LineControl(c, QStringLiteral("Line_SplitShadow"));
    shadow->setBorderColor(vb::kWhite);
    shadow->setLine(SplitX + 15, ShadowTop, SplitX + 15, ShadowBottom);
    Line_SplitShadow = shadow;
}

void Frm_BookAdd::ConnectControls()
{
    connect(Cmd_Add.peek(), &XButton::Click, this, &Frm_BookAdd::Cmd_Add_Click);
    connect(Cmd_Clear.peek(), &XButton::Click, this, &Frm_BookAdd::Cmd_Clear_Click);
    connect(Cmd_GoBack.peek(), &XButton::Click, this, &Frm_BookAdd::Cmd_GoBack_Click);
    connect(Chk_FrameSwitch.peek(), &vb::CheckBox::Click, this, &Frm_BookAdd::Chk_FrameSwitch_Click);
    connect(Chk_Transparent.peek(), &vb::CheckBox::Click, this, &Frm_BookAdd::Chk_Transparent_Click);
    connect(Txt_ISBN.peek(), &FTextBox::KeyPress, this, &Frm_BookAdd::Txt_ISBN_KeyPress);
    connect(Txt_Num.peek(), &FTextBox::KeyPress, this, &Frm_BookAdd::Txt_Num_KeyPress);
    connect(Cmb_Index.peek(), &FCombo::Click, this, &Frm_BookAdd::Cmb_Index_Click);
    connect(Txt_BookID.peek(), &FTextBox::KeyPress, this, &Frm_BookAdd::Txt_BookID_KeyPress);
    setValidateHandler(Txt_Num.peek(), [this](bool &cancel) { Txt_Num_Validate(cancel); });
    setValidateHandler(Txt_BookID.peek(), [this](bool &cancel) { Txt_BookID_Validate(cancel); });
    setValidateHandler(Txt_PressDate.peek(), [this](bool &cancel) { Txt_PressDate_Validate(cancel); });
}

// ---------------------------------------------------------------- opening and modes

void Frm_BookAdd::Form_Load()
{
    LayeredDialog(this, 255);  // opaque until "窗口半透明" is ticked
    Cmd_Clear_Click();
    SetBookMode();
}

void Frm_BookAdd::Cmd_Clear_Click()
{
    BookCount = 0;
    BookIDList = QStringList{QString()};
    Txt_BookName->setText(QString());
    Txt_Writer->setText(QString());
    if (Mode == kAddBook) Txt_ISBN->setText(QString());
    Cmb_Press->Clear();
    try {
        ado::Recordset rs;
        rs.Open(QStringLiteral("SELECT DISTINCT 出版社名称 FROM 出版社"), SQLConn(), ado::adOpenKeyset,
                ado::adLockReadOnly);
        for (; !rs.EOF_(); rs.MoveNext()) Cmb_Press->AddItem(rs.Fields(QStringLiteral("出版社名称")).toString());
    } catch (const ado::Error &) {
        // The list stays empty; a publisher can still be typed.
    }
    Txt_PressDate->setText(QString());
    Txt_Price->setText(QString());
    Txt_Rent->setText(QString());
    Cmb_IsBrw->Clear();
    Cmb_IsBrw->AddItem(QStringLiteral("是"));
    Cmb_IsBrw->AddItem(QStringLiteral("否"));
    Txt_Num->setText(QString());
    Cmb_Index->Clear();
    Txt_BookID->setText(QString());
}

void Frm_BookAdd::SetBookMode()
{
    const bool add = Mode == kAddBook;
    const bool mod = Mode == kModBook;
    const bool store = Mode == kAddStore;
    if (add || mod || store) {
        setCaption(add ? QStringLiteral("添加图书") : mod ? QStringLiteral("修改图书") : QStringLiteral("添加库存"));
        Cmd_Add->setCaption(mod ? QStringLiteral("修改") : QStringLiteral("添加"));
        setHeight(mod ? ModHeight : DesignHeight);
        Frame_BaseInfo->setEnabled(!store);
        Txt_ISBN->setEnabled(add);
        Chk_FrameSwitch->setEnabled(true);
        Chk_FrameSwitch->setVisible(!mod);
        Chk_FrameSwitch->setValue(mod ? vb::vbUnchecked : vb::vbChecked);  // its Click sets the frame
        if (store) Chk_FrameSwitch->setEnabled(false);
        Frame_Add2Store->setVisible(!mod);
        Chk_AutoClose->setVisible(add);
        if (add) Chk_AutoClose->setValue(vb::vbChecked);
        Cmd_Clear->setVisible(!store);
        Cmd_GoBack->setTop(store ? ClearTop : 1680);
        Lbl_Tip->setVisible(add);
        Chk_Transparent->setTop(mod ? TransparentTop - ModShift : TransparentTop);
        Line_Split->setLine(SplitX, SplitTop, SplitX, mod ? SplitBottom - ModShift : SplitBottom);
        Line_SplitShadow->setLine(SplitX + 15, ShadowTop, SplitX + 15, mod ? ShadowBottom - ModShift : ShadowBottom);
        if (mod || store) LoadBookInfo();
        // The caret where the user types first: the ISBN of a new title, the number of copies to add.
        if (add) Txt_ISBN->SetFocus();
        if (store) Txt_Num->SetFocus();
    }
    SetDialogTitle(this, Lbl_TBarText.get());
    Chk_Transparent->setValue(vb::vbUnchecked);
    Chk_Transparent_Click();  // opaque again, also when the box was clear already
}

bool Frm_BookAdd::LoadBookInfo()
{
    ado::Recordset rs;
    try {
        rs.Open(QStringLiteral("SELECT * FROM 图书档案 WHERE ISBN =") + SQLQuote(BookISBN), SQLConn(),
                ado::adOpenKeyset, ado::adLockReadOnly);
    } catch (const std::exception &) {
        m_guard.Forget();
        return false;
    }
    Txt_ISBN->setText(BookISBN);
    try {
        m_guard.Load(rs, BookISBN, RecordGuard::OnError::Stop);
    } catch (...) {
        return false;
    }
    return !rs.EOF_();
}

// ---------------------------------------------------------------- closing

void Frm_BookAdd::Cmd_GoBack_Click() { Unload(); }

void Frm_BookAdd::Cmd_TBarClose_Click() { Cmd_GoBack_Click(); }

// ---------------------------------------------------------------- boxes

void Frm_BookAdd::Chk_FrameSwitch_Click() { Frame_Add2Store->setEnabled(Chk_FrameSwitch->Value() == vb::vbChecked); }

void Frm_BookAdd::Chk_Transparent_Click()
{
    LayeredDialog(this, Chk_Transparent->Value() == vb::vbChecked ? LayeredDialogAlpha : 255);
}

void Frm_BookAdd::Txt_ISBN_KeyPress(int &KeyAscii)
{
    if (KeyAscii != 13) return;
    BookISBN = vb::Trim(Txt_ISBN->Text());
    if (LoadBookInfo()) {
        Mode = kAddStore;
        SetBookMode();
    } else {
        m_guard.Forget();  // only a look-up: a new title holds to no stored one
    }
}

void Frm_BookAdd::Txt_Num_KeyPress(int &KeyAscii) { DropDotKey(KeyAscii); }

void Frm_BookAdd::Txt_Num_Validate(bool &Cancel)
{
    const double n = std::round(vb::Val(Txt_Num->Text()));
    if (n == 0) return;
    if (n < 1 || n > MaxCopies) {
        ShowErrorText(QStringLiteral("数量超出范围(1~1000)"));
        Cancel = true;  // the keyboard stays in the box
        return;
    }
    const int count = int(n);
    if (count == BookCount) return;
    if (count < BookCount
        && !AskQuestion(QStringLiteral("输入的数比之前的小，这样会造成部分数据丢失，请确认？"),
                        QStringLiteral("提示"))) {
        Txt_Num->setText(QString::number(BookCount));
        return;
    }
    // Choosing copy 1 below takes the keyboard; give it back to where it was going.
    QPointer<QWidget> target = QApplication::focusWidget();
    BookCount = count;
    Cmb_Index->Clear();
    for (int i = 1; i <= count; ++i) Cmb_Index->AddItem(QString::number(i));
    Cmb_Index->setListIndex(0);
    while (BookIDList.size() > count) BookIDList.removeLast();
    while (BookIDList.size() < count) BookIDList.append(QString());
    if (target && target != QApplication::focusWidget()) target->setFocus(Qt::OtherFocusReason);
}

void Frm_BookAdd::Cmb_Index_Click()
{
    if (Cmb_Index->ListCount() < 1) return;
    const int i = Cmb_Index->ListIndex();
    Txt_BookID->setText(i >= 0 && i < BookIDList.size() ? BookIDList.at(i) : QString());
}

void Frm_BookAdd::StoreBookID()
{
    const int count = Cmb_Index->ListCount();
    if (count < 1) return;
    const int i = Cmb_Index->ListIndex();
    if (i >= 0 && i < BookIDList.size()) BookIDList[i] = vb::Trim(Txt_BookID->Text());
    // Choosing the next copy takes the keyboard for a moment: that is no
    // leaving of the number box, and must not store and move on a second time.
    m_choosingCopy = true;
    Cmb_Index->setListIndex(i + 1 < count ? i + 1 : 0);
    m_choosingCopy = false;
}

void Frm_BookAdd::Txt_BookID_KeyPress(int &KeyAscii)
{
    if (KeyAscii != 13 || Cmb_Index->ListCount() < 1) return;
    StoreBookID();
    Txt_BookID->SetFocus();
}

void Frm_BookAdd::Txt_BookID_Validate(bool &Cancel)
{
    (void)Cancel;
    if (m_choosingCopy) return;
    // As Enter, but the keyboard goes on where the operator sent it (the save button, say).
    QPointer<QWidget> target = QApplication::focusWidget();
    StoreBookID();
    if (target && target != QApplication::focusWidget()) target->setFocus(Qt::OtherFocusReason);
}

void Frm_BookAdd::Txt_PressDate_Validate(bool &Cancel)
{
    (void)Cancel;
    if (!IsSQLDate(Txt_PressDate->Text())) Txt_PressDate->setText(QString());
}

// ---------------------------------------------------------------- saving

bool Frm_BookAdd::RequiredFieldsFilled()
{
    for (const QString &t : {Txt_ISBN->Text(), Txt_BookName->Text(), Txt_Writer->Text(), Cmb_Press->Text()})
        if (vb::Trim(t).isEmpty()) return false;
    return true;
}

void Frm_BookAdd::Cmd_Add_Click()
{
    if (!RequiredFieldsFilled()) {
        ShowNotice(QStringLiteral("请输入必要信息！"), QStringLiteral("提示"));
        return;
    }
    if (Chk_FrameSwitch->Value() == vb::vbChecked) {
        if (BookCount == 0) {
            ShowNotice(QStringLiteral("请输入数量！"), QStringLiteral("提示"));
            Txt_Num->SetFocus();
            return;
        }
        for (int i = 0; i < BookCount; ++i) {
            if (i >= BookIDList.size() || BookIDList.at(i).isEmpty()) {
                ShowNotice(QStringLiteral("请输入第") + QString::number(i + 1) + QStringLiteral("本数的编号！"),
                           QStringLiteral("提示"));
                m_choosingCopy = true;
                Cmb_Index->setListIndex(i);
                m_choosingCopy = false;
                Txt_BookID->SetFocus();
                return;
            }
        }
    }
    SaveRecord();
}

// The publisher, the title and its copies are written in the save's one
// transaction, together or not at all, so that a failed save can be corrected
// and saved again.
bool Frm_BookAdd::InsertRecord(QString &errText)
{
    if (Mode == kAddBook)
        return AddBook(errText) && (Chk_FrameSwitch->Value() != vb::vbChecked || AddStoreCopies(errText));
    if (Mode == kAddStore) return AddStoreCopies(errText);
    return UpdateRecord(errText);
}

bool Frm_BookAdd::UpdateRecord(QString &errText) { return UpdateBook(errText); }

bool Frm_BookAdd::ValuesAccepted()
{
    return AcceptMoney(Txt_Price.get(), Lbl_Price->Caption()) && AcceptMoney(Txt_Rent.get(), Lbl_Rent->Caption());
}

void Frm_BookAdd::AfterSaved()
{
    if (Mode == kAddBook && Chk_AutoClose->Value() != vb::vbChecked) {
        // Ready for the next title.
        Cmd_Clear_Click();
        Txt_ISBN->SetFocus();
        RefreshCaller();
        return;
    }
    ModalEditForm::AfterSaved();
}

QString Frm_BookAdd::IsBrwFlag() { return Cmb_IsBrw->ListIndex() == 0 ? QStringLiteral("1") : QStringLiteral("0"); }

bool Frm_BookAdd::AddBook(QString &errText)
{
    try {
        if (!IsPressExist(Cmb_Press->Text())) AddPress(Cmb_Press->Text());
        const QString sep = QStringLiteral(",");
        SQLConn().Execute(QStringLiteral("INSERT 图书档案 VALUES(") + SQLQuote(Txt_ISBN->Text()) + sep
                          + SQLQuote(Txt_BookName->Text()) + sep + SQLQuote(Txt_Writer->Text()) + sep
                          + SQLQuote(Cmb_Press->Text()) + sep + SQLQuote(Txt_PressDate->Text()) + sep
                          + NumberOf(Txt_Price->Text()) + sep + NumberOf(Txt_Rent->Text()) + sep + SQLQuote(IsBrwFlag())
                          + QStringLiteral(")"));
        return true;
    } catch (const std::exception &e) {
        errText = ErrorText(e);
    }
    return false;
}

bool Frm_BookAdd::AddStoreCopies(QString &errText)
{
    try {
        const QString sep = QStringLiteral(",");
        for (const QString &id : std::as_const(BookIDList)) {
            const QDateTime now = vb::Now();
            const QString stamp = vb::Format(now.date(), QStringLiteral("yyyy-mm-dd")) + QStringLiteral(" ")
                                  + vb::Format(now.time(), QStringLiteral("hh:nn:ss"));
            SQLConn().Execute(QStringLiteral("INSERT 图书库存 (图书编号, ISBN, 入库日期, 经手人) VALUES(")
                              + SQLQuote(id) + sep + SQLQuote(Txt_ISBN->Text()) + sep + SQLQuote(stamp) + sep
                              + SQLQuote(CurUID) + QStringLiteral(")"));
        }
        return true;
    } catch (const std::exception &e) {
        errText = ErrorText(e);
    }
    return false;
}

bool Frm_BookAdd::UpdateBook(QString &errText)
{
    try {
        if (!IsPressExist(Cmb_Press->Text())) AddPress(Cmb_Press->Text());
        SQLConn().Execute(QStringLiteral("UPDATE 图书档案 SET ") + QStringLiteral(" 图书名称=")
                          + SQLQuote(Txt_BookName->Text()) + QStringLiteral(",作者=") + SQLQuote(Txt_Writer->Text())
                          + QStringLiteral(",出版社名称=") + SQLQuote(Cmb_Press->Text()) + QStringLiteral(",出版时间=")
                          + SQLQuote(Txt_PressDate->Text()) + QStringLiteral(",价格=") + NumberOf(Txt_Price->Text())
                          + QStringLiteral(",每日租金=") + NumberOf(Txt_Rent->Text()) + QStringLiteral(",可否外借=")
                          + SQLQuote(IsBrwFlag()) + QStringLiteral(" WHERE ISBN=") + SQLQuote(Txt_ISBN->Text()));
        return true;
    } catch (const std::exception &e) {
        errText = ErrorText(e);
    }
    return false;
}

bool Frm_BookAdd::IsPressExist(const QString &name)
{
    ado::Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM 出版社 WHERE 出版社名称 = ") + SQLQuote(name), SQLConn(), ado::adOpenKeyset,
            ado::adLockReadOnly);
    return !rs.EOF_();
}

// A publisher that cannot be added fails the save like the title's own
// statements: no title is kept whose new publisher was lost. (It was looked
// up in the same transaction; on the server, another desk adding the same
// name at that moment fails this save, and the next one finds it.)
void Frm_BookAdd::AddPress(const QString &name)
{
    SQLConn().Execute(QStringLiteral("INSERT 出版社 (出版社名称) VALUES (") + SQLQuote(name) + QStringLiteral(")"));
}
