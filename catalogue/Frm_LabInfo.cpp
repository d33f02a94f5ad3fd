#include "catalogue/Frm_LabInfo.h"

#include "core/DialogConventions.h"
#include "core/Mdl_ComVarList.h"
#include "core/Mdl_SQLConnection.h"
#include "db/Transaction.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <exception>

namespace {
constexpr int FrameLeft = 480, FrameTop = 720, FrameHeight = 4560;
constexpr int LabelLeft = 360, BoxLeft = 2040, BoxWidth = 3600, RowTop = 450, RowStep = 480;
const QString kYes = QStringLiteral("是");
const QString kNo = QStringLiteral("否");

// No stored logo can be shown: the default picture is.
struct NoLogo { };

vb::Label *makeLabel(QWidget *parent, const QString &name, const QString &caption, int left, int top)
{
    auto *l = new vb::Label(parent, name, caption);
    l->setBackStyle(vb::vbTransparent);
    l->Move(left, top + 30, 1620, 255);
    return l;
}

FTextBox *makeBox(QWidget *parent, const QString &name, int top)
{
    auto *t = new FTextBox(parent, name);
    t->Move(BoxLeft, top, BoxWidth, FTextBox::FixedHeight);
    return t;
}

FCombo *makeCombo(QWidget *parent, const QString &name, int top)
{
    auto *c = new FCombo(parent, name);
    c->setEnabledText(false);
    c->Move(BoxLeft, top - 15, BoxWidth);
    return c;
}

// A flag as the database holds it: set when not zero.
bool isSet(const QVariant &v)
{
    if (v.toString().trimmed().compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0) return true;
    return v.toDouble() != 0;
}

// A yes/no box counts as yes when it shows "是" or nothing.
int yesNo(FCombo *box)
{
    const QString t = box->Text();
    return (t == kYes || t.isEmpty()) ? 1 : 0;
}

// Deletes the files of the folder, then the folder itself.
void removeFolder(const QString &path)
{
    QDir dir(path);
    for (const QString &f : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) dir.remove(f);
    QDir().rmdir(path);
}
}  // namespace

Frm_LabInfo::Frm_LabInfo() : ChildListForm(QStringLiteral("Frm_LabInfo"))
{
    setCaption(QStringLiteral("图书馆信息设置"));
    m_clearTipOnUnload = false;
    // A flag box keeps what it showed when the column is empty (the fine's
    // box follows 超期罚金功能 through the list's Click).
    const auto flag = [](const QString &column, const vb::Ctl<FCombo> &box) {
        GuardedColumn c = PickColumn(column, box);
        c.show = [&box](const QVariant &v) {
            if (v.isValid() && !v.isNull()) box->setListIndex(isSet(v) ? 0 : 1);
        };
        return c;
    };
    // The logo is written only when a picture was chosen; one that was not
    // shows the stored logo again on a reload.
    const GuardedColumn logo{QStringLiteral("徽标"), [this](const QVariant &v) { ShowStoredLogo(v); },
                             [this] { return m_logoPath; }, [this] { return !m_logoPath.isEmpty(); }};
    m_guard.Bind(QStringLiteral("图书馆信息"), QString(),
                 {TextColumn(QStringLiteral("图书馆名称"), Txt_LabName),
                  TextColumn(QStringLiteral("负责人"), Txt_Charger), TextColumn(QStringLiteral("联系电话"), Txt_Tel),
                  TextColumn(QStringLiteral("地址"), Txt_Address), TextColumn(QStringLiteral("邮编"), Txt_Zipcode),
                  flag(QStringLiteral("租金功能"), Cmb_IsRent), flag(QStringLiteral("超期罚金功能"), Cmb_IsFine),
                  TextColumn(QStringLiteral("每日超期罚金"), Txt_Fine), logo});
}

QString Frm_LabInfo::DefaultLogoPath() { return AppPath + QStringLiteral("Images/Picture/LabLogo.jpg"); }

QPixmap Frm_LabInfo::FitLogo(const QPixmap &picture)
{
    if (picture.isNull() || (picture.width() <= LogoSize && picture.height() <= LogoSize)) return picture;
    return picture.scaled(LogoSize, LogoSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

void Frm_LabInfo::CreateControls()
{
    QWidget *c = client();
    CreateTitleBar();
    CreateTitleBarSymbol();

    auto *frame = new vb::Frame(c, QStringLiteral("Frame_ShowData"), QStringLiteral("图书馆信息"));
    frame->Move(FrameLeft, FrameTop, 9600, FrameHeight);
    Frame_ShowData = frame;
    CreateInfoFields(frame);
    CreateLogo(frame);

    Cmd_Save = CreateButton(QStringLiteral("Cmd_Save"), QStringLiteral("保存"), FrameLeft, FrameTop + FrameHeight + 240,
                            1200, 375);
    Cmd_Close = CreateButton(QStringLiteral("Cmd_Close"), QStringLiteral("关闭"), FrameLeft + 1320,
                             FrameTop + FrameHeight + 240, 1200, 375);

    CommonDialog1 = new vb::CommonDialog(c, QStringLiteral("CommonDialog1"));

    connect(Cmd_Save.peek(), &XButton::Click, this, &Frm_LabInfo::Cmd_Save_Click);
    connect(Cmd_Close.peek(), &XButton::Click, this, &Frm_LabInfo::Cmd_Close_Click);
    connect(Cmb_IsFine.peek(), &FCombo::Click, this, &Frm_LabInfo::Cmb_IsFine_Click);
    connect(Pic_Logo.peek(), &vb::PictureBox::Click, this, &Frm_LabInfo::Pic_Logo_Click);
    vb::Shape *shape = Shp_LogoBorder.peek();
    HoverByMouseMove(
        Pic_Logo.peek(), frame, [shape] { shape->setVisible(true); }, [shape] { shape->setVisible(false); });
}

// The library symbol left of the caption in the title bar.
void Frm_LabInfo::CreateTitleBarSymbol()
{
    vb::PictureBox *bar = Pic_TitleBar.peek();
    auto *sub1 = new vb::PictureBox(bar, QStringLiteral("Pic_TBarSub1"));
    sub1->setBorderStyle(0);
    sub1->setBackColor(vb::kWhite);
    sub1->Move(0, 0, 6000, 480);
    Pic_TBarSub1 = sub1;
    auto *symbol = new vb::PictureBox(sub1, QStringLiteral("Pic_TBarSymbol"));
    symbol->setBorderStyle(0);
    symbol->setBackColor(vb::kWhite);
    symbol->Move(240, 120, 240, 240);
    symbol->setPicture(vb::LoadPicture(AppPath + QStringLiteral("Images/Window/TBar_Symbol.png")));
    Pic_TBarSymbol = symbol;
    Lbl_TBarText->setParent(sub1);
    Lbl_TBarText->Move(600, 120, 5000, 270);
    Lbl_TBarText->show();
    Cmd_TBarClose->raise();
}

// One row per field of 图书馆信息, the logo aside.
void Frm_LabInfo::CreateInfoFields(vb::Frame *frame)
{
    int top = RowTop;
    Lbl_LabName = makeLabel(frame, QStringLiteral("Lbl_LabName"), QStringLiteral("图书馆名称"), LabelLeft, top);
    Txt_LabName = makeBox(frame, QStringLiteral("Txt_LabName"), top);
    top += RowStep;
    Lbl_Charger = makeLabel(frame, QStringLiteral("Lbl_Charger"), QStringLiteral("负责人"), LabelLeft, top);
    Txt_Charger = makeBox(frame, QStringLiteral("Txt_Charger"), top);
    top += RowStep;
    Lbl_Tel = makeLabel(frame, QStringLiteral("Lbl_Tel"), QStringLiteral("联系电话"), LabelLeft, top);
    Txt_Tel = makeBox(frame, QStringLiteral("Txt_Tel"), top);
    top += RowStep;
    Lbl_Address = makeLabel(frame, QStringLiteral("Lbl_Address"), QStringLiteral("地址"), LabelLeft, top);
    Txt_Address = makeBox(frame, QStringLiteral("Txt_Address"), top);
    top += RowStep;
    Lbl_Zipcode = makeLabel(frame, QStringLiteral("Lbl_Zipcode"), QStringLiteral("邮编"), LabelLeft, top);
    Txt_Zipcode = makeBox(frame, QStringLiteral("Txt_Zipcode"), top);
    top += RowStep;
    Lbl_IsRent = makeLabel(frame, QStringLiteral("Lbl_IsRent"), QStringLiteral("租金功能"), LabelLeft, top);
    Cmb_IsRent = makeCombo(frame, QStringLiteral("Cmb_IsRent"), top);
    top += RowStep;
    Lbl_IsFine = makeLabel(frame, QStringLiteral("Lbl_IsFine"), QStringLiteral("超期罚金功能"), LabelLeft, top);
    Cmb_IsFine = makeCombo(frame, QStringLiteral("Cmb_IsFine"), top);
    top += RowStep;
    Lbl_Fine = makeLabel(frame, QStringLiteral("Lbl_Fine"), QStringLiteral("每日超期罚金"), LabelLeft, top);
    Txt_Fine = makeBox(frame, QStringLiteral("Txt_Fine"), top);
}

// The logo right of the fields, with the outline shown while the pointer is over it.
void Frm_LabInfo::CreateLogo(vb::Frame *frame)
{
    const int logoLeft = BoxLeft + BoxWidth + 720;
    auto *lblLogo = new vb::Label(frame, QStringLiteral("Lbl_Logo"), QStringLiteral("徽标(150*150) [单击更改]"));
    lblLogo->setBackStyle(vb::vbTransparent);
    lblLogo->Move(logoLeft, RowTop + 30, 3300, 255);
    Lbl_Logo = lblLogo;
    const int side = LogoSize * vb::TwipsPerPixel;
    auto *border = new vb::Shape(frame, QStringLiteral("Shp_LogoBorder"));
    border->setBorderColor(vb::kLogoOutlineBlue);
    border->setBorderWidth(2);
    border->Move(logoLeft - 60, RowTop + 420 - 60, side + 120, side + 120);
    border->setVisible(false);
    Shp_LogoBorder = border;
    auto *logo = new vb::PictureBox(frame, QStringLiteral("Pic_Logo"));
    logo->setBorderStyle(0);
    logo->setBackColor(vb::kWhite);
    logo->Move(logoLeft, RowTop + 420, side, side);
    logo->setCursor(Qt::PointingHandCursor);
    logo->setTabStop(false);
    Pic_Logo = logo;
}

// ---------------------------------------------------------------- load and layout

void Frm_LabInfo::Form_Load()
{
    m_logoPath.clear();
    Lbl_TBarText->setCaption(Caption());
    for (FCombo *box : {Cmb_IsRent.get(), Cmb_IsFine.get()}) {
        box->AddItem(kYes);
        box->AddItem(kNo);
    }
    LoadLabInfo();
}

void Frm_LabInfo::LoadLabInfo()
{
    // Each value on its own: a failure leaves its box as it was.
    ado::Recordset rs;
    try {
        rs.Open(QStringLiteral("SELECT * FROM 图书馆信息"), SQLConn(), ado::adOpenKeyset, ado::adLockReadOnly);
    } catch (...) {
        // Nothing read: the guard below finds no row and leaves every box as it was.
    }
    m_guard.Load(rs, QString());
    // Without a row there is no stored logo: the default one.
    if (rs.State() != ado::adStateOpen || rs.EOF_()) ShowStoredLogo(QVariant());
}

// The stored logo goes through the file Temp/Logo.bmp under the program's folder
// (the picture loader knows BMP, JPG and GIF by their content). The folder is
// made for this and removed again; when it exists already, or the logo cannot
// be shown, the default logo is.
void Frm_LabInfo::ShowStoredLogo(const QVariant &logo)
{
    const QString tempDir = AppPath + QStringLiteral("Temp");
    bool madeFolder = false;
    try {
        if (!logo.isValid() || logo.isNull()) throw NoLogo{};
        const QByteArray bytes = logo.toByteArray();
        if (!QDir().mkdir(tempDir)) throw NoLogo{};  // a folder of that name exists: left as it is
        madeFolder = true;
        const QString file = tempDir + QStringLiteral("/Logo.bmp");
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) throw NoLogo{};
        f.close();
        const QPixmap picture = vb::LoadPicture(file);
        if (picture.isNull()) throw NoLogo{};
        Pic_Logo->setPicture(FitLogo(picture));
        removeFolder(tempDir);
    } catch (...) {
        Pic_Logo->setPicture(FitLogo(vb::LoadPicture(DefaultLogoPath())));
        // A folder made here never stays behind: it would hide the stored logo at every later opening.
        if (madeFolder) removeFolder(tempDir);
    }
}

void Frm_LabInfo::Form_Resize()
{
    try {
        if (auto *f = Frame_ShowData.peek()) f->setWidth(std::max(0, Width() - f->Left() - 240 - 45));
    } catch (...) {
        // A resize while the window unloads: the frame keeps its width.
    }
}

void Frm_LabInfo::Form_Unload(int &cancel)
{
    ChildListForm::Form_Unload(cancel);
    m_logoPath.clear();
}

// ---------------------------------------------------------------- actions

void Frm_LabInfo::Cmb_IsFine_Click()
{
    const QString t = Cmb_IsFine->Text();
    Txt_Fine->setEnabled(t == kYes || t.isEmpty());
}

void Frm_LabInfo::Pic_Logo_Click()
{
    try {
        vb::CommonDialog *dlg = CommonDialog1.get();
        dlg->FileName.clear();
        dlg->DialogTitle = QStringLiteral("选择图像");
        dlg->Filter =
            QStringLiteral("BMP格式 (*.bmp)|*.bmp|JPG格式 (*.jpg)|*.jpg|GIF格式 (*.gif)|*.gif|所有格式 (*.*)|*.*");
        dlg->CancelError = true;
        dlg->Flags = vb::CommonDialog::cdlOFNFileMustExist | vb::CommonDialog::cdlOFNOverwritePrompt;
        dlg->ShowOpen();
        const QString chosen = dlg->FileName;
        // Only a picture replaces the logo; the file is read and closed again.
        const QPixmap picture = vb::LoadPicture(chosen);
        if (picture.isNull()) return;
        Pic_Logo->setPicture(FitLogo(picture));
        m_logoPath = chosen;
    } catch (...) {
        // Cancelled: the picture and the path stay as they were.
    }
}

void Frm_LabInfo::Cmd_Save_Click()
{
    if (!CheckUserPower(QStringLiteral("修改图书馆信息权限"))) {
        ShowErrorText(RefusedText());
        return;
    }
    try {
        WriteLabInfo();
    } catch (const RecordConflict &conflict) {
        m_guard.Resolve(conflict, SQLConn());  // the window stays with the user's input
        return;
    } catch (const std::exception &e) {
        ShowError(e);
        return;
    }
    Cmd_TBarClose_Click();
}

// The row written through a recordset, once it is found as it was loaded.
void Frm_LabInfo::WriteLabInfo()
{
    ado::Transaction trans(SQLConn());
    m_guard.Verify(SQLConn());
    ado::Recordset rs;
    rs.Open(QStringLiteral("select * from 图书馆信息"), SQLConn(), ado::adOpenDynamic, ado::adLockOptimistic);
    rs.SetField(QStringLiteral("图书馆名称"), Txt_LabName->Text());
    rs.SetField(QStringLiteral("负责人"), Txt_Charger->Text());
    rs.SetField(QStringLiteral("联系电话"), Txt_Tel->Text());
    rs.SetField(QStringLiteral("地址"), Txt_Address->Text());
    rs.SetField(QStringLiteral("邮编"), Txt_Zipcode->Text());
    rs.SetField(QStringLiteral("租金功能"), yesNo(Cmb_IsRent.get()));
    rs.SetField(QStringLiteral("超期罚金功能"), yesNo(Cmb_IsFine.get()));
    rs.SetField(QStringLiteral("每日超期罚金"), Txt_Fine->Text());
    if (!m_logoPath.isEmpty()) {
        QFile f(m_logoPath);
        if (!f.open(QIODevice::ReadOnly)) throw ado::Error(f.errorString());
        rs.SetField(QStringLiteral("徽标"), f.readAll());
    }
    rs.Update();
    trans.Commit();
}

void Frm_LabInfo::Cmd_Close_Click() { Cmd_TBarClose_Click(); }
