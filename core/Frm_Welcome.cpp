#include "core/Frm_Welcome.h"

#include "core/Frm_Main.h"
#include "core/Mdl_ComVarList.h"
#include "core/Mdl_SQLConnection.h"

#include <QHeaderView>
#include <QTableView>

namespace {

QString windowPicture(const QString &file) { return AppPath + QStringLiteral("Images/Window/") + file; }

vb::Label *makeLabel(QWidget *parent, const QString &name, const QString &caption, long fore, int left, int top)
{
    auto *l = new vb::Label(parent, name, caption);
    l->setBackStyle(vb::vbTransparent);
    l->setForeColor(fore);
    l->setAutoSize(true);
    l->Move(left, top);
    return l;
}

// A permission value as the database holds it: 1 (or true) grants.
bool isGranted(const QVariant &v)
{
    if (!v.isValid() || v.isNull()) return false;
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (ok) return d != 0;
    return v.toString().trimmed().compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0;
}

}  // namespace

Frm_Welcome::Frm_Welcome() : vb::Form(QStringLiteral("Frm_Welcome"))
{
    setMdiChild(true);
    setCaption(DesignCaption());
    setBackColor(vb::kWhite);
}

Frm_Welcome::~Frm_Welcome() = default;

void Frm_Welcome::CreateControls()
{
    QWidget *c = client();
    setCaption(DesignCaption());
    // Room for the docked title bar's full height before the window is first
    // fitted into the main window (a docked bar is cut to its container).
    c->resize(qMax(c->width(), vb::toPx(12000)), qMax(c->height(), vb::toPx(9000)));

    auto *bar = new vb::PictureBox(c, QStringLiteral("Pic_TitleBar"));
    bar->setBorderStyle(0);
    bar->setBackColor(vb::kWelcomeTitleBlue);
    bar->setFocusPolicy(Qt::NoFocus);
    bar->setHeight(960);
    bar->setAlign(vb::vbAlignTop);
    Pic_TitleBar = bar;
    auto *logo = new vb::PictureBox(bar, QStringLiteral("Pic_TBarLogo"));
    logo->setBorderStyle(0);
    logo->setBackColor(vb::kWelcomeTitleBlue);
    logo->setFocusPolicy(Qt::NoFocus);
    logo->Move(360, 240, 480, 480);
    logo->setPicture(vb::LoadPicture(windowPicture(QStringLiteral("Welcome_Logo.png"))));
    Pic_TBarLogo = logo;
    Lbl_TBarTMShadow = makeLabel(bar, QStringLiteral("Lbl_TBarTMShadow"), QStringLiteral("Quorvale"),
                                 vb::kTrademarkShadowBlue, 1050, 165);
    Lbl_TBarTM = makeLabel(bar, QStringLiteral("Lbl_TBarTM"), QStringLiteral("Quorvale"), vb::kWhite, 1020, 135);
    for (vb::Label *l : {Lbl_TBarTMShadow.peek(), Lbl_TBarTM.peek()}) {
        l->setFontName(QStringLiteral("DejaVu Sans"));
        l->setFontSize(20);
        l->setFontBold(true);
    }
    Lbl_TBarTMInfo =
        makeLabel(bar, QStringLiteral("Lbl_TBarTMInfo"), QStringLiteral("Veltrane"), vb::kPaleBlueText, 3840, 420);
    Lbl_TBarTMInfo->setFontSize(12);

    auto *head = new vb::PictureBox(c, QStringLiteral("Pic_UserHead"));
    head->setBorderStyle(0);
    head->setBackColor(vb::kWhite);
    head->setFocusPolicy(Qt::NoFocus);
    head->Move(600, 1320, 990, 990);
    head->setPicture(vb::LoadPicture(windowPicture(QStringLiteral("Welcome_UserHead.png"))));
    Pic_UserHead = head;
    Lbl_UID = makeLabel(c, QStringLiteral("Lbl_UID"), QStringLiteral("用户名"), vb::kNavy, 1860, 1350);
    Lbl_UID->setFontSize(12);
    Lbl_UID->setFontBold(true);
    Lbl_UserName =
        makeLabel(c, QStringLiteral("Lbl_UserName"), QStringLiteral("真实姓名"), vb::kDarkGreyText, 1860, 1770);
    Lbl_UserType =
        makeLabel(c, QStringLiteral("Lbl_UserType"), QStringLiteral("账户类型"), vb::kDarkGreyText, 1860, 2070);
    Lbl_LastLogTime = makeLabel(c, QStringLiteral("Lbl_LastLogTime"), QStringLiteral("您上次的登录时间："),
                                vb::kDarkGreyText, 600, 2580);
    Lbl_UserPower =
        makeLabel(c, QStringLiteral("Lbl_UserPower"), QStringLiteral("您拥有的权限："), vb::kDarkGreyText, 600, 3000);

    auto *grid = new vb::Grid(c);
    grid->setObjectName(QStringLiteral("Grid_PowerList"));
    grid->setFixedRows(0);
    grid->setRows(13);
    grid->setCols(3);
    grid->view()->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->view()->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->view()->setFocusPolicy(Qt::NoFocus);
    grid->view()->setSelectionMode(QAbstractItemView::NoSelection);
    // A list to read, not to pick from: the current cell is not marked.
    QPalette pal = grid->view()->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        pal.setColor(group, QPalette::Highlight, pal.color(group, QPalette::Base));
        pal.setColor(group, QPalette::HighlightedText, pal.color(group, QPalette::Text));
    }
    grid->view()->setPalette(pal);
    const int rowPx = grid->view()->verticalHeader()->defaultSectionSize();
    grid->Move(600, 3300, 3420, vb::toTwips(13 * rowPx + 4));
    grid->show();
    Grid_PowerList = grid;

    auto *images = new vb::ImageList(this, QStringLiteral("ImgLst"));
    images->AddFile(windowPicture(QStringLiteral("Power_Yes.png")));
    images->AddFile(windowPicture(QStringLiteral("Power_No.png")));
    images->AddFile(windowPicture(QStringLiteral("Power_Row.png")));
    ImgLst = images;
}

void Frm_Welcome::Form_Load()
{
    vb::Default<Frm_Main>().SetHighLightCmd(nullptr);
    ShowUserInfo();
}

void Frm_Welcome::ShowUserInfo()
{
    ado::Recordset rs;
    try {
        rs.Open(QStringLiteral("SELECT * FROM 账户,账户类型 WHERE 用户名 = ") + SQLQuote(CurUID)
                    + QStringLiteral(" AND 账户.账户类型 = 账户类型.账户类型"),
                SQLConn(), ado::adOpenKeyset, ado::adLockReadOnly);
    } catch (const std::exception &) {
        // Nothing read: every label below stays empty.
    }
    auto text = [&rs](const QString &field, vb::Label *label) {
        try {
            const QVariant v = rs.Fields(field);
            label->setCaption(v.isNull() ? QString() : v.toString());
        } catch (const std::exception &) {
            // A missing column leaves its label empty, like a Null.
        }
    };
    text(QStringLiteral("用户名"), Lbl_UID.get());
    text(QStringLiteral("真实姓名"), Lbl_UserName.get());
    text(QStringLiteral("账户类型"), Lbl_UserType.get());
    Lbl_LastLogTime->setCaption(Lbl_LastLogTime->Caption() + LastLogTime);

    vb::Grid *grid = Grid_PowerList.get();
    grid->setColWidth(0, 100);
    grid->setColWidth(1, 3000);
    grid->setColWidth(2, 250);
    try {
        if (rs.State() != ado::adStateOpen || rs.EOF_()) return;
        const int count = rs.FieldCount();
        for (int i = 8; i < count; ++i) {
            const int row = i - 8;
            if (row >= grid->Rows()) break;  // the list has room for the thirteen permission columns
            grid->setRow(row);
            grid->setCol(0);
            grid->setColAlignment(0, vb::flexAlignLeftCenter);
            grid->setCellPicture(ImgLst->ListImage(3));
            grid->setCol(1);
            grid->setText(rs.FieldName(i));
            grid->setCol(2);
            grid->setCellPicture(ImgLst->ListImage(isGranted(rs.Fields(i)) ? 1 : 2));
        }
    } catch (const std::exception &) {
        // The powers' list stays as far as it was read.
    }
}
