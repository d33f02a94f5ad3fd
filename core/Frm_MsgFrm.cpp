#include "core/Frm_MsgFrm.h"

#include "core/Mdl_ComVarList.h"
#include "db/Ado.h"
#include "ui/Colors.h"
#include "ui/Runtime.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QMenu>
#include <QPointer>
#include <QScreen>
#include <QShortcut>
#include <QTextBoundaryFinder>
#include <QTextLayout>
#include <cmath>

namespace {

MsgBoxHook g_msgBoxHook;

}  // namespace

void SetMsgBoxHook(MsgBoxHook hook) { g_msgBoxHook = std::move(hook); }

int ShowMsgBox(const QString &Msg, const QString &Icon, const QString &Title)
{
    if (g_msgBoxHook) {
        // The hook may be replaced while it runs; keep this one alive.
        const MsgBoxHook hook = g_msgBoxHook;
        return hook(Msg, Icon, Title);
    }
    const bool question = (Icon == QLatin1String("?"));
    int result = 0;
    QPointer<Frm_MsgFrm> dlg = new Frm_MsgFrm();
    try {
        dlg->Prepare(Msg, Icon, Title);
        dlg->Show(vb::vbModal);
        if (dlg) result = dlg->MsgResult;
    } catch (...) {
        result = 0;
    }
    if (dlg) {
        if (dlg->IsLoaded()) dlg->Unload();
        dlg->deleteLater();
    }
    if (result == 1 || result == 2) return result;
    // A question is confirmed only by the user's own answer: a dialog that
    // closed without one counts as declined.
    return question ? 2 : 0;
}

bool AskQuestion(const QString &Msg, const QString &Title) { return ShowMsgBox(Msg, QStringLiteral("?"), Title) != 2; }

void ShowErrorText(const QString &Msg) { ShowMsgBox(Msg, QStringLiteral("x"), QStringLiteral("错误")); }

void ShowNotice(const QString &Msg, const QString &Title) { ShowMsgBox(Msg, QStringLiteral("!"), Title); }

QString ErrorText(const std::exception &e)
{
    if (const auto *db = dynamic_cast<const ado::Error *>(&e)) return db->Description();
    return QString::fromUtf8(e.what());
}

void ShowError(const std::exception &e) { ShowErrorText(ErrorText(e)); }

Frm_MsgFrm::Frm_MsgFrm() : vb::Form(QStringLiteral("Frm_MsgFrm"))
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_DeleteOnClose, false);
    SetOuterSize(DesignWidth, DesignHeight);
}

Frm_MsgFrm::~Frm_MsgFrm() = default;

void Frm_MsgFrm::SetOuterSize(int widthTwips, int heightTwips)
{
    m_outerWidth = widthTwips;
    m_outerHeight = heightTwips;
    setFixedSize(vb::toPx(widthTwips - FrameWidth), vb::toPx(heightTwips - FrameHeight));
}

void Frm_MsgFrm::CreateControls()
{
    QWidget *c = client();
    const int clientHeight = DesignHeight - FrameHeight;

    auto *band = new vb::PictureBox(c, QStringLiteral("Pic_TltleBar"));
    band->setBorderStyle(0);
    band->setBackColor(vb::kMessageBandBlue);
    band->Move(0, 0, 960, clientHeight);
    band->setTabStop(true);
    Pic_TltleBar = band;

    auto *symbol = new vb::PictureBox(band, QStringLiteral("Pic_TBarSymbol"));
    symbol->setBorderStyle(0);
    symbol->setBackColor(vb::kMessageBandBlue);
    symbol->Move(240, 240, 480, 480);
    symbol->setFocusPolicy(Qt::NoFocus);
    Pic_TBarSymbol = symbol;

    auto *msg = new vb::Label(c, QStringLiteral("Lbl_Message"));
    msg->setBackStyle(vb::vbTransparent);
    msg->setForeColor(vb::kBlack);
    msg->setFontName(QStringLiteral("Tahoma"));
    msg->setFontSize(8.25);
    msg->Move(1200, 240);
    msg->setAutoSize(true);
    Lbl_Message = msg;

    auto makeButton = [c](const QString &name, const QString &caption, int left) {
        auto *b = new XButton(c, name);
        b->setBackColor(vb::kLightGrey);
        b->setForeColor(vb::kDarkGreyText);
        b->setMouseOnColor(vb::kWhite);
        b->setMouseDownColor(vb::kSilver);
        b->Move(left, 1155, 1215, 375);
        b->setCaption(caption);
        return b;
    };
    auto *ok = makeButton(QStringLiteral("Cmd_OK"), QStringLiteral("确定"), 1545);
    Cmd_OK = ok;
    auto *cancel = makeButton(QStringLiteral("Cmd_Cancel"), QStringLiteral("取消"), 3000);
    Cmd_Cancel = cancel;

    connect(ok, &XButton::Click, this, &Frm_MsgFrm::Cmd_OK_Click);
    connect(cancel, &XButton::Click, this, &Frm_MsgFrm::Cmd_Cancel_Click);
    connect(band, &vb::PictureBox::KeyPress, this, &Frm_MsgFrm::Pic_TltleBar_KeyPress);

    // The label may show the message cut: the whole of it can be copied.
    auto *copy = new QShortcut(QKeySequence::Copy, band);
    copy->setContext(Qt::WindowShortcut);
    connect(copy, &QShortcut::activated, this, &Frm_MsgFrm::CopyMessage);
    msg->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(msg, &QWidget::customContextMenuRequested, this, [this, msg](const QPoint &at) {
        QMenu menu;
        menu.addAction(QStringLiteral("复制"), this, &Frm_MsgFrm::CopyMessage);
        menu.exec(msg->mapToGlobal(at));
    });
}

void Frm_MsgFrm::CopyMessage() const { QGuiApplication::clipboard()->setText(m_message); }

QRect Frm_MsgFrm::ScreenArea()
{
    QScreen *screen = nullptr;
    if (QWidget *owner = QApplication::activeWindow()) screen = owner->screen();
    if (!screen) screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

QString Frm_MsgFrm::FitMessage(const QString &Msg, const QFont &font, int widthPx, int heightPx)
{
    const QFontMetrics fm(font);
    QString text = Msg;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines;
    for (const QString &paragraph : text.split(QLatin1Char('\n'))) {
        // A run between two places where a line may break that is wider than
        // the room keeps its start and its end.
        QString runs;
        QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, paragraph);
        qsizetype start = 0;
        while (breaks.toNextBoundary() != -1) {
            const qsizetype end = breaks.position();
            const QString run = paragraph.mid(start, end - start);
            const QString word = vb::RTrim(run);
            if (fm.horizontalAdvance(word) > widthPx)
                runs += fm.elidedText(word, Qt::ElideMiddle, widthPx) + run.mid(word.size());
            else
                runs += run;
            start = end;
        }
        if (runs.isEmpty()) {
            lines << QString();
            continue;
        }
        QTextLayout layout(runs, font);
        QTextOption option;
        option.setWrapMode(QTextOption::WordWrap);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(widthPx);
            lines << vb::RTrim(runs.mid(line.textStart(), line.textLength()));
        }
        layout.endLayout();
    }
    // Measured as the label measures, with the taller lines of a fallback font.
    const auto fits = [&fm, heightPx](const QStringList &l) {
        return fm.boundingRect(QRect(0, 0, 1 << 20, 1 << 20), 0, l.join(QLatin1Char('\n'))).height() <= heightPx;
    };
    const qsizetype most = qMax(1, heightPx / qMax(1, fm.lineSpacing()));
    if (lines.size() > most || !fits(lines)) {
        lines.resize(qMin(lines.size(), most));
        lines.last() = QStringLiteral("…");
        while (lines.size() > 1 && !fits(lines)) lines.removeAt(lines.size() - 2);
    }
    return lines.join(QLatin1Char('\n'));
}

void Frm_MsgFrm::Form_Load()
{
    MsgResult = 0;
    // The buttons take no keyboard by Tab: the band keeps it, so Enter answers OK.
    Cmd_OK->setFocusPolicy(Qt::ClickFocus);
    Cmd_Cancel->setFocusPolicy(Qt::ClickFocus);
}

QString Frm_MsgFrm::IconFile(const QString &Icon)
{
    QString name;
    if (Icon == QLatin1String("?"))
        name = QStringLiteral("MsgBox_Question.ico");
    else if (Icon == QLatin1String("x"))
        name = QStringLiteral("MsgBox_Error.ico");
    else
        name = QStringLiteral("MsgBox_Caution.ico");
    return AppPath + QStringLiteral("Images/Picture/") + name;
}

void Frm_MsgFrm::Prepare(const QString &Msg, const QString &Icon, const QString &Title)
{
    ensureLoaded();
    setCaption(Title.isEmpty() ? AppTitle() : Title);

    m_message = Msg;
    Lbl_Message->setCaption(Msg);
    // The room the screen leaves the text, by the same rules that size the dialog.
    const QRect area = ScreenArea();
    if (area.isValid()) {
        const int roomWidth = vb::toTwips(area.width()) - Lbl_Message->Left() - 90 - 240;
        const int roomHeight = vb::toTwips(area.height()) - Lbl_Message->Top() - 480 - 240 - Cmd_OK->Height() - 240;
        if (Lbl_Message->Width() > roomWidth || Lbl_Message->Height() > roomHeight)
            Lbl_Message->setCaption(FitMessage(Msg, Lbl_Message->font(), vb::toPx(roomWidth), vb::toPx(roomHeight)));
    }

    int w = DesignWidth;
    int h = DesignHeight;
    const int lblWidth = Lbl_Message->Width();
    const int lblHeight = Lbl_Message->Height();
    if (lblWidth > 3240) w = Lbl_Message->Left() + lblWidth + 90 + 240;
    if (lblHeight > 585) h = Lbl_Message->Top() + lblHeight + 480 + 240 + Cmd_OK->Height() + 240;
    SetOuterSize(w, h);
    Pic_TltleBar->setHeight(h - FrameHeight);

    const double W = std::round(double(OuterWidth()));
    const double H = std::round(double(OuterHeight()));
    const double C = (W - 90 - 960) / 2 + 1005;

    // A picture that cannot be read leaves the band without one; the buttons still ask.
    Pic_TBarSymbol->setPicture(vb::LoadPicture(IconFile(Icon)));
    if (Icon == QLatin1String("?")) {
        Cmd_OK->setVisible(true);
        Cmd_Cancel->setVisible(true);
        Cmd_OK->setLeft(int(std::lround(C - Cmd_OK->Width() - 120)));
        Cmd_Cancel->setLeft(int(std::lround(C + 120)));
    } else {
        Cmd_OK->setVisible(true);
        Cmd_Cancel->setVisible(false);
        Cmd_OK->setLeft(int(std::lround(C - Cmd_OK->Width() / 2.0)));
    }
    const int top = int(std::lround(H - 480 - Cmd_OK->Height() - 240));
    Cmd_OK->setTop(top);
    Cmd_Cancel->setTop(top);

    // Over the window that asks, or in the middle of the screen; never beyond the screen.
    QRect over = area;
    if (QWidget *owner = QApplication::activeWindow(); owner && owner != this) over = owner->frameGeometry();
    if (!over.isValid()) return;
    QPoint at = over.center() - QPoint(width() / 2, height() / 2);
    if (area.isValid()) {
        const QSize outer(vb::toPx(OuterWidth()), vb::toPx(OuterHeight()));
        at.setX(qMax(area.left(), qMin(at.x(), area.right() + 1 - outer.width())));
        at.setY(qMax(area.top(), qMin(at.y(), area.bottom() + 1 - outer.height())));
    }
    move(at);
}

void Frm_MsgFrm::showEvent(QShowEvent *e)
{
    vb::Form::showEvent(e);
    if (Pic_TltleBar.peek()) Pic_TltleBar.peek()->setFocus(Qt::ActiveWindowFocusReason);
}

void Frm_MsgFrm::Cmd_OK_Click()
{
    MsgResult = 1;
    Unload();
}

void Frm_MsgFrm::Cmd_Cancel_Click()
{
    MsgResult = 2;
    Unload();
}

void Frm_MsgFrm::Pic_TltleBar_KeyPress(int &KeyAscii)
{
    if (KeyAscii == 13) Cmd_OK_Click();
}

void Frm_MsgFrm::Form_QueryUnload(int &cancel, int unloadMode)
{
    // The user's close box, system menu and Alt+F4 are refused: a button must be chosen.
    if (unloadMode == vb::vbFormControlMenu) cancel = 1;
}

void Frm_MsgFrm::closeEvent(QCloseEvent *e)
{
    if (e->spontaneous() || !IsLoaded()) {
        if (IsLoaded())
            e->ignore();
        else
            e->accept();
        return;
    }
    // A close asked for by code goes through.
    if (Unload(vb::vbFormCode))
        e->accept();
    else
        e->ignore();
}
