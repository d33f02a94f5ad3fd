#pragma once
// The about box: a banner slides in from the right, the credits scroll up into
// view, the version is shown, and a picture appears while the pointer is over
// the picture box beside the credits.
#include "controls/XButton.h"
#include "ui/Control.h"
#include "ui/Form.h"
#include "ui/Intrinsics.h"

#include <QPlainTextEdit>
#include <QString>

// The multi-line, read-only text box holding the credits.
class AboutCreditsBox : public QPlainTextEdit, public vb::Control {
    Q_OBJECT
    VB_CONTROL_WIDGET(QPlainTextEdit)
public:
    AboutCreditsBox(QWidget *parent, const QString &name);
    QString Text() const { return toPlainText(); }
    void setText(const QString &t) { setPlainText(t); }
};

class Frm_About : public vb::Form {
    Q_OBJECT
public:
    Frm_About();
    ~Frm_About() override;

    static QString DesignCaption() { return QStringLiteral("关于"); }
    // Steps of the animation per tick, in twips.
    static constexpr int BannerStep = 75;
    static constexpr int CreditsStep = 5;
    // The picture shown while the pointer is over Pic_Zorv, under AppPath.
    static QString PictureFile() { return QStringLiteral("Images/Picture/Zorv.jpg"); }
    // Drawn into Pic_Zorv when the picture cannot be loaded.
    static QString NoticeText() { return QStringLiteral("无法显示图片"); }
    static QString CreditsText();

    vb::Ctl<vb::PictureBox> Pic_TitleBar{this};
    vb::Ctl<vb::PictureBox> Pic_TBarSub1{this};
    vb::Ctl<vb::PictureBox> Pic_Logo{this};
    vb::Ctl<vb::Label> Lbl_TMShadow{this};
    vb::Ctl<vb::Label> Lbl_TM{this};
    vb::Ctl<vb::Label> Lbl_TMInfo{this};
    vb::Ctl<vb::PictureBox> Pic_Copyright{this};
    vb::Ctl<AboutCreditsBox> Txt_Copyright{this};
    vb::Ctl<vb::PictureBox> Pic_Zorv{this};
    vb::Ctl<vb::LineControl> Line_Split{this};
    vb::Ctl<vb::LineControl> Line_SplitShadow{this};
    vb::Ctl<vb::Label> Lbl_Version{this};
    vb::Ctl<XButton> Cmd_OK{this};
    vb::Ctl<vb::Timer> Timer{this};

    // The animated positions, in twips (the widgets sit at whole pixels).
    int BannerLeft() const { return m_bannerLeft; }
    int CreditsTop() const { return m_creditsTop; }
    // Whether the notice has been drawn since the pointer last left the picture box.
    bool NoticeDrawn() const { return m_noticeDrawn; }

    void Timer_Timer();
    void Pic_Zorv_MouseMove(int &Button, int &Shift, float &X, float &Y);
    void Cmd_OK_Click();

protected:
    void CreateControls() override;
    void Form_Load() override;
    void Form_MouseMove(int &button, int &shift, float &x, float &y) override;

private:
    int m_bannerLeft = 0;
    int m_creditsTop = 0;
    bool m_noticeDrawn = false;
};
