#include "core/Frm_About.h"

#include "core/DialogConventions.h"
#include "core/Mdl_ComVarList.h"

#include <QLinearGradient>
#include <QPainter>

namespace {

constexpr int kTitleWidth = 5910;
constexpr int kTitleHeight = 975;
constexpr int kClientHeight = 3390;

vb::Label *makeLabel(QWidget *parent, const QString &name, const QString &caption, long fore, int left, int top)
{
    auto *l = new vb::Label(parent, name, caption);
    l->setBackStyle(vb::vbTransparent);
    l->setForeColor(fore);
    l->setAutoSize(true);
    l->Move(left, top);
    return l;
}

vb::PictureBox *makeBox(QWidget *parent, const QString &name, long back, int border)
{
    auto *p = new vb::PictureBox(parent, name);
    p->setBorderStyle(border);
    p->setBackColor(back);
    p->setFocusPolicy(Qt::NoFocus);
    return p;
}

// The banner: deep blue running into a lighter blue.
QPixmap bannerPicture(int widthPx, int heightPx)
{
    QPixmap pm(widthPx, heightPx);
    QPainter p(&pm);
    QLinearGradient g(0, 0, widthPx, 0);
    g.setColorAt(0.0, vb::toQColor(vb::kBannerDeepBlue));
    g.setColorAt(1.0, vb::toQColor(vb::kBannerLightBlue));
    p.fillRect(pm.rect(), g);
    return pm;
}

}  // namespace

AboutCreditsBox::AboutCreditsBox(QWidget *parent, const QString &name) : QPlainTextEdit(parent), vb::Control(this)
{
    setObjectName(name);
    setReadOnly(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setFocusPolicy(Qt::NoFocus);
    setTextInteractionFlags(Qt::NoTextInteraction);
    document()->setDocumentMargin(2);
    QPalette pal = palette();
    pal.setColor(QPalette::Base, vb::toQColor(vb::kWhite));
    pal.setColor(QPalette::Text, vb::toQColor(vb::kDarkGreyText));
    setPalette(pal);
    show();
}

QString Frm_About::CreditsText()
{
    return QStringLiteral("Veltrane 图书馆管理系统\n"
                          "Quorvale 出品\n"
                          "设计与开发：Quorvale 开发组\n"
                          "图片：Zorv\n"
                          "版权所有 © Quorvale");
}

Frm_About::Frm_About() : vb::Form(QStringLiteral("Frm_About"))
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    setCaption(DesignCaption());
    setBackColor(vb::kWhite);
    setFixedSize(vb::toPx(kTitleWidth), vb::toPx(kClientHeight));
}

Frm_About::~Frm_About() = default;

void Frm_About::CreateControls()
{
    QWidget *c = client();
    setCaption(DesignCaption());

    auto *bar = makeBox(c, QStringLiteral("Pic_TitleBar"), vb::kTitleBarBlue, 0);
    bar->Move(0, 0, kTitleWidth, kTitleHeight);
    Pic_TitleBar = bar;

    // The banner with the logo and the names; it slides in from the right.
    auto *banner = makeBox(bar, QStringLiteral("Pic_TBarSub1"), vb::kTitleBarBlue, 0);
    banner->Move(0, 0, kTitleWidth, kTitleHeight);
    banner->setPicture(bannerPicture(vb::toPx(kTitleWidth), vb::toPx(kTitleHeight)));
    Pic_TBarSub1 = banner;
    auto *logo = new vb::PictureBox(banner, QStringLiteral("Pic_Logo"));
    logo->setBorderStyle(0);
    logo->setFocusPolicy(Qt::NoFocus);
    logo->setAttribute(Qt::WA_TranslucentBackground);
    logo->setAutoFillBackground(false);
    logo->Move(300, 247, 480, 480);
    logo->setPicture(vb::LoadPicture(AppPath + QStringLiteral("Images/Window/Welcome_Logo.png")));
    Pic_Logo = logo;
    Lbl_TMShadow = makeLabel(banner, QStringLiteral("Lbl_TMShadow"), QStringLiteral("Quorvale"),
                             vb::kTrademarkShadowBlue, 1005, 165);
    Lbl_TM = makeLabel(banner, QStringLiteral("Lbl_TM"), QStringLiteral("Quorvale"), vb::kWhite, 975, 135);
    for (vb::Label *l : {Lbl_TMShadow.peek(), Lbl_TM.peek()}) {
        l->setFontName(QStringLiteral("DejaVu Sans"));
        l->setFontSize(20);
        l->setFontBold(true);
    }
    Lbl_TMInfo =
        makeLabel(banner, QStringLiteral("Lbl_TMInfo"), QStringLiteral("Veltrane"), vb::kPaleBlueText, 3600, 435);
    Lbl_TMInfo->setFontSize(12);

    // The credits, clipped by their box while they scroll up into it.
    auto *copyright = makeBox(c, QStringLiteral("Pic_Copyright"), vb::kWhite, 0);
    copyright->Move(240, 1080, 3135, 1455);
    Pic_Copyright = copyright;
    auto *credits = new AboutCreditsBox(copyright, QStringLiteral("Txt_Copyright"));
    credits->Move(0, 0, 3135, 1455);
    credits->setText(CreditsText());
    Txt_Copyright = credits;

    auto *zorv = makeBox(c, QStringLiteral("Pic_Zorv"), vb::kPaleGrey, 1);
    zorv->Move(3600, 1080, 2175, 1455);
    zorv->setForeColor(vb::kGrey);
    Pic_Zorv = zorv;

    auto *line = new vb::LineControl(c, QStringLiteral("Line_Split"));
    line->setBorderColor(vb::kSilver);
    line->setLine(240, 2700, 5670, 2700);
    Line_Split = line;
    auto *shadow = new vb::LineControl(c, QStringLiteral("Line_SplitShadow"));
    shadow->setBorderColor(vb::kPaleGrey);
    shadow->setLine(240, 2715, 5670, 2715);
    Line_SplitShadow = shadow;

    Lbl_Version = makeLabel(c, QStringLiteral("Lbl_Version"), QStringLiteral("Version"), vb::kGrey, 240, 2925);

    auto *ok = new XButton(c, QStringLiteral("Cmd_OK"));
    ok->setBackColor(vb::kLightGrey);
    ok->setForeColor(vb::kDarkGreyText);
    ok->setMouseOnColor(vb::kWhite);
    ok->setMouseDownColor(vb::kSilver);
    ok->Move(4455, 2850, 1215, 375);
    ok->setCaption(QStringLiteral("确定"));
    Cmd_OK = ok;

    Timer = new vb::Timer(this, QStringLiteral("Timer"), 1, false);

    connect(Timer.peek(), &vb::Timer::Tick, this, &Frm_About::Timer_Timer);
    connect(zorv, &vb::PictureBox::MouseMove, this, &Frm_About::Pic_Zorv_MouseMove);
    connect(ok, &XButton::Click, this, &Frm_About::Cmd_OK_Click);
}

void Frm_About::Form_Load()
{
    LayeredDialog(this);
    Lbl_Version->setCaption(Lbl_Version->Caption() + QStringLiteral(" ") + AppVersion);
    m_bannerLeft = Pic_TitleBar->Width();  // just beyond the right edge
    Pic_TBarSub1->setLeft(m_bannerLeft);
    m_creditsTop = Pic_Copyright->Height();  // just below the visible area
    Txt_Copyright->setTop(m_creditsTop);
    m_noticeDrawn = false;
    Timer->setInterval(1);
    Timer->setEnabled(true);
}

// The banner stops at its first position of 0 or less; the credits stop exactly
// at the top of their box, and with them the timer.
void Frm_About::Timer_Timer()
{
    if (m_bannerLeft > 0) {
        m_bannerLeft -= BannerStep;
        Pic_TBarSub1->setLeft(m_bannerLeft);
    }
    if (m_creditsTop <= 0) {
        Timer->setEnabled(false);
    } else {
        m_creditsTop -= CreditsStep;
        Txt_Copyright->setTop(m_creditsTop);
    }
}

void Frm_About::Pic_Zorv_MouseMove(int &Button, int &Shift, float &X, float &Y)
{
    (void)Button;
    (void)Shift;
    (void)X;
    (void)Y;
    const QPixmap picture = vb::LoadPicture(AppPath + PictureFile());
    if (picture.isNull()) {
        if (!m_noticeDrawn) {
            Pic_Zorv->CurrentX = 0;
            Pic_Zorv->CurrentY = 0;
            Pic_Zorv->Print(NoticeText());
            m_noticeDrawn = true;
        }
        return;
    }
    // Shown whole in the box.
    const QSize room = Pic_Zorv->contentsRect().size();
    Pic_Zorv->setPicture(picture.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

// The pointer over the window itself, outside the picture box.
void Frm_About::Form_MouseMove(int &button, int &shift, float &x, float &y)
{
    (void)button;
    (void)shift;
    (void)x;
    (void)y;
    if (!Pic_Zorv.peek()) return;
    Pic_Zorv->setPicture(vb::LoadPicture(QString()));
    m_noticeDrawn = false;
}

void Frm_About::Cmd_OK_Click() { Unload(); }
