#include "catalogue/Frm_ReaderAdd.h"

#include "catalogue/Frm_ReaderDoc.h"
#include "core/Mdl_ComVarList.h"
#include "core/Mdl_SQLConnection.h"
#include "ui/Runtime.h"
#include "ui/Twips.h"

#include <exception>

namespace {
constexpr int DesignWidth = 8400, DesignHeight = 4440;
constexpr int LabelLeft1 = 240, BoxLeft1 = 1200, BoxWidth1 = 2520;
constexpr int LabelLeft2 = 4080, BoxLeft2 = 5040, BoxWidth2 = 2640;
constexpr int RowTop = 360, RowStep = 480;
constexpr int ComboOffset = 45;  // a combo box is taller than a text box: centre it on the row

QString fieldText(const ado::Recordset &rs, const QString &name)
{
    const QVariant v = rs.Fields(name);
    return (!v.isValid() || v.isNull()) ? QString() : v.toString();
}
}  // namespace

Frm_ReaderAdd::Frm_ReaderAdd() : ModalEditForm(QStringLiteral("Frm_ReaderAdd"))
{
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setFixedSize(vb::toPx(DesignWidth), vb::toPx(DesignHeight));
    setCaption(QStringLiteral("添加读者"));
    m_guard.Bind(QStringLiteral("读者档案"), QStringLiteral("读者编号"),
                 {TextColumn(QStringLiteral("姓名"), Txt_Name),
                  ChoiceColumn(QStringLiteral("性别"), Cmb_Sex, StoredYes),
                  PickColumn(QStringLiteral("读者类别"), Cmb_Type), TextColumn(QStringLiteral("联系电话"), Txt_Phone),
                  TextColumn(QStringLiteral("地址"), Txt_Address), TextColumn(QStringLiteral("邮编"), Txt_Code),
                  TextColumn(QStringLiteral("身份证号码"), Txt_CID),
                  ChoiceColumn(QStringLiteral("状态"), Cmb_Status, StoredNormal)});
}

void Frm_ReaderAdd::CreateControls()
{
    DialogTitleBarParts bar = DialogTitleBar(this, 480, [this] { Cmd_Close_Click(); });
    Pic_TitleBar = bar.Pic_TitleBar;
    Lbl_TBarText = bar.Lbl_TBarText;
    Cmd_TBarClose = bar.Cmd_TBarClose;
    Cmd_TBarClose->setToolTip(QStringLiteral("关闭当前窗口"));

    auto *frame = new vb::Frame(client(), QStringLiteral("Frame_BaseInfo"), QStringLiteral("基本信息"));
    frame->Move(240, 600, DesignWidth - 480, 2880);
    Frame_BaseInfo = frame;

    const auto label = [frame](const QString &suffix, const QString &caption, int left, int row) {
        auto *l = new vb::Label(frame, QStringLiteral("Lbl_") + suffix, caption);
        l->setBackStyle(vb::vbTransparent);
        l->Move(left, RowTop + row * RowStep + 30, 900, 255);
        return l;
    };
    const auto text = [frame](const QString &suffix, int left, int row, int width) {
        auto *t = new FTextBox(frame, QStringLiteral("Txt_") + suffix);
        t->Move(left, RowTop + row * RowStep, width, FTextBox::FixedHeight);
        t->setAutoSelAll(true);
        return t;
    };
    const auto combo = [frame](const QString &suffix, int left, int row, int width) {
        auto *c = new FCombo(frame, QStringLiteral("Cmb_") + suffix);
        c->setEnabledText(false);
        c->Move(left, RowTop + row * RowStep - ComboOffset, width);
        return c;
    };

    Lbl_RID = label(QStringLiteral("RID"), QStringLiteral("读者编号"), LabelLeft1, 0);
    Txt_RID = text(QStringLiteral("RID"), BoxLeft1, 0, BoxWidth1);
    Lbl_Name = label(QStringLiteral("Name"), QStringLiteral("姓名"), LabelLeft2, 0);
    Txt_Name = text(QStringLiteral("Name"), BoxLeft2, 0, BoxWidth2);
    Lbl_Sex = label(QStringLiteral("Sex"), QStringLiteral("性别"), LabelLeft1, 1);
    Cmb_Sex = combo(QStringLiteral("Sex"), BoxLeft1, 1, BoxWidth1);
    Lbl_Type = label(QStringLiteral("Type"), QStringLiteral("读者类别"), LabelLeft2, 1);
    Cmb_Type = combo(QStringLiteral("Type"), BoxLeft2, 1, BoxWidth2);
    Lbl_Phone = label(QStringLiteral("Phone"), QStringLiteral("联系电话"), LabelLeft1, 2);
    Txt_Phone = text(QStringLiteral("Phone"), BoxLeft1, 2, BoxWidth1);
    Lbl_Code = label(QStringLiteral("Code"), QStringLiteral("邮编"), LabelLeft2, 2);
    Txt_Code = text(QStringLiteral("Code"), BoxLeft2, 2, BoxWidth2);
    Lbl_CID = label(QStringLiteral("CID"), QStringLiteral("身份证号"), LabelLeft1, 3);
    Txt_CID = text(QStringLiteral("CID"), BoxLeft1, 3, BoxWidth1);
    Lbl_Status = label(QStringLiteral("Status"), QStringLiteral("状态"), LabelLeft2, 3);
    Cmb_Status = combo(QStringLiteral("Status"), BoxLeft2, 3, BoxWidth2);
    Lbl_Address = label(QStringLiteral("Address"), QStringLiteral("地址"), LabelLeft1, 4);
    Txt_Address = text(QStringLiteral("Address"), BoxLeft1, 4, BoxLeft2 + BoxWidth2 - BoxLeft1);

    const auto button = [this](const QString &name, const QString &caption, int left) {
        auto *b = new XButton(client(), name);
        b->Move(left, 3660, 1200, 375);
        b->setCaption(caption);
        b->setStyleColor(vb::kFrameGrey);
        b->setIfDraw(true);
        return b;
    };
    Cmd_Add = button(QStringLiteral("Cmd_Add"), QStringLiteral("添加"), DesignWidth - 240 - 2520);
    Cmd_Close = button(QStringLiteral("Cmd_Close"), QStringLiteral("关闭"), DesignWidth - 240 - 1200);

    // Keyboard order: down the left column, then the right one, then the address.
    QWidget *order[] = {Txt_RID->textBox(),  Txt_Name->textBox(), Txt_Phone->textBox(),
                        Txt_Code->textBox(), Txt_CID->textBox(),  Txt_Address->textBox()};
    for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

    // A thin outline above everything: the dialog has no window frame, only its own title bar.
    auto *border = new vb::Shape(client(), QStringLiteral("Shp_Border"));
    border->setBorderColor(vb::kGrey);
    border->setAttribute(Qt::WA_TransparentForMouseEvents);
    border->Move(0, 0, DesignWidth, DesignHeight);
    border->raise();

    connect(Cmd_Add.peek(), &XButton::Click, this, &Frm_ReaderAdd::Cmd_Add_Click);
    connect(Cmd_Close.peek(), &XButton::Click, this, &Frm_ReaderAdd::Cmd_Close_Click);
}

void Frm_ReaderAdd::Form_Load()
{
    Cmb_Type->Clear();
    try {
        ado::Recordset rs;
        rs.Open(QStringLiteral("SELECT DISTINCT 读者类别 FROM 读者类别"), SQLConn(), ado::adOpenKeyset,
                ado::adLockReadOnly);
        while (!rs.EOF_()) {
            Cmb_Type->AddItem(fieldText(rs, QStringLiteral("读者类别")));
            rs.MoveNext();
        }
    } catch (...) {
        // The list stays as far as it was read.
    }
    Cmb_Sex->AddItem(QStringLiteral("男"));
    Cmb_Sex->AddItem(QStringLiteral("女"));
    Cmb_Status->AddItem(QStringLiteral("正常"));
    Cmb_Status->AddItem(QStringLiteral("停用"));
    SetReaderMode();
}

void Frm_ReaderAdd::SetReaderMode()
{
    if (Mode == QStringLiteral("ADD")) {
        setCaption(QStringLiteral("添加读者"));
        Cmd_Add->setCaption(QStringLiteral("添加"));
        Cmb_Status->setEnabled(false);
        Txt_RID->SetFocus();  // the new reader's number is typed first
    } else if (Mode == QStringLiteral("MOD")) {
        setCaption(QStringLiteral("修改读者"));
        Cmd_Add->setCaption(QStringLiteral("修改"));
        Txt_RID->setEnabled(false);
        LoadReader();
    }
    SetDialogTitle(this, Lbl_TBarText.get());
}

void Frm_ReaderAdd::LoadReader()
{
    ado::Recordset rs;
    try {
        rs.Open(QStringLiteral("SELECT * FROM 读者档案 WHERE 读者编号 =") + SQLQuote(RID), SQLConn(), ado::adOpenKeyset,
                ado::adLockReadOnly);
    } catch (...) {
        return;
    }
    // Each box on its own: a missing row or column leaves that box empty.
    try {
        Txt_RID->setText(fieldText(rs, QStringLiteral("读者编号")));
    } catch (...) {
        // A missing column leaves the number's box empty, like a Null.
    }
    m_guard.Load(rs, RID);
}

// ---------------------------------------------------------------- saving

bool Frm_ReaderAdd::RequiredFieldsFilled()
{
    // A number of blanks only would be stored as an empty number, a reader the list
    // could then neither open nor delete: it counts as empty.
    return !(Cmb_Sex->Text().isEmpty() || vb::Trim(Txt_RID->Text()).isEmpty() || Txt_Name->Text().isEmpty()
             || Cmb_Type->Text().isEmpty());
}

QString Frm_ReaderAdd::SexValue() { return Cmb_Sex->ListIndex() == 0 ? QStringLiteral("1") : QStringLiteral("0"); }

void Frm_ReaderAdd::Cmd_Add_Click()
{
    // The list that shows the readers is refreshed after every save attempt.
    if (!CallerForm) CallerForm = &vb::Default<Frm_ReaderDoc>();
    if (Mode == QStringLiteral("ADD") || Mode == QStringLiteral("MOD")) {
        SaveRecord();
        return;
    }
    // Any other mode writes nothing.
    if (!RequiredFieldsFilled()) {
        ShowNotice(QStringLiteral("请输入必要信息！"), QStringLiteral("提示"));
        return;
    }
    RefreshCaller();
}

void Frm_ReaderAdd::Cmd_Close_Click() { Unload(); }

bool Frm_ReaderAdd::AddReader(QString &errText)
{
    try {
        const QString sql = QStringLiteral("INSERT 读者档案 VALUES(") + SQLQuote(Txt_RID->Text()) + QStringLiteral(",")
                            + SQLQuote(Cmb_Type->Text()) + QStringLiteral(",") + SQLQuote(Txt_Name->Text())
                            + QStringLiteral(",") + SexValue() + QStringLiteral(",") + QStringLiteral("0, ")
                            + SQLQuote(Txt_Phone->Text()) + QStringLiteral(",") + SQLQuote(Txt_Address->Text())
                            + QStringLiteral(",") + SQLQuote(Txt_Code->Text()) + QStringLiteral(",")
                            + SQLQuote(Txt_CID->Text()) + QStringLiteral(",") + QStringLiteral("0, 0, 0, 0, 0, ")
                            + SQLQuote(vb::Format(vb::Date(), QStringLiteral("yymmdd"))) + QStringLiteral(",")
                            + SQLQuote(CurUID) + QStringLiteral(", '正常')");
        SQLConn().Execute(sql);
        return true;
    } catch (const std::exception &e) {
        errText = ErrorText(e);
    }
    return false;
}

bool Frm_ReaderAdd::UpdateReader(QString &errText)
{
    try {
        const QString status = Cmb_Status->ListIndex() == 0 ? QStringLiteral("正常") : QStringLiteral("停用");
        const QString sql = QStringLiteral("UPDATE 读者档案 SET ") + QStringLiteral(" 姓名 = ")
                            + SQLQuote(Txt_Name->Text()) + QStringLiteral(",性别 = ") + SexValue()
                            + QStringLiteral(",读者类别 = ") + SQLQuote(Cmb_Type->Text())
                            + QStringLiteral(",联系电话 = ") + SQLQuote(Txt_Phone->Text()) + QStringLiteral(",地址 = ")
                            + SQLQuote(Txt_Address->Text()) + QStringLiteral(",邮编 = ") + SQLQuote(Txt_Code->Text())
                            + QStringLiteral(",身份证号码 = ") + SQLQuote(Txt_CID->Text()) + QStringLiteral(",状态 = ")
                            + SQLQuote(status) + QStringLiteral(" WHERE 读者编号 = ") + SQLQuote(Txt_RID->Text());
        SQLConn().Execute(sql);
        return true;
    } catch (const std::exception &e) {
        errText = ErrorText(e);
    }
    return false;
}
