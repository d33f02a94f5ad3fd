#pragma once
// The common message dialog. ShowMsgBox (Mdl_ComVarList.h) makes a new one for
// every message, shows it modally and returns the answer.
//
// A message never makes the dialog larger than the screen's available area:
// a text too wide is wrapped where a line may break, a run with no such place
// is cut in its middle with "…", and lines beyond the screen's height are left
// out behind a last "…". Ctrl+C, or 复制 on the text's menu, copies the whole
// message.
#include "controls/XButton.h"
#include "ui/Form.h"
#include "ui/Intrinsics.h"

#include <QFont>
#include <QRect>
#include <QString>

class Frm_MsgFrm : public vb::Form {
    Q_OBJECT
public:
    Frm_MsgFrm();
    ~Frm_MsgFrm() override;

    // 0 while open, 1 after OK, 2 after Cancel.
    int MsgResult = 0;

    vb::Ctl<vb::PictureBox> Pic_TltleBar{this};
    vb::Ctl<vb::PictureBox> Pic_TBarSymbol{this};
    vb::Ctl<vb::Label> Lbl_Message{this};
    vb::Ctl<XButton> Cmd_OK{this};
    vb::Ctl<XButton> Cmd_Cancel{this};

    // The dialog's outer size in twips: its client area and a frame of
    // FrameWidth x FrameHeight (border and caption bar).
    static constexpr int FrameWidth = 90;
    static constexpr int FrameHeight = 480;
    static constexpr int DesignWidth = 4800;
    static constexpr int DesignHeight = 2250;
    int OuterWidth() const { return m_outerWidth; }
    int OuterHeight() const { return m_outerHeight; }
    void SetOuterSize(int widthTwips, int heightTwips);

    // Steps 2 to 9 of a message: caption, text, size, picture and buttons.
    void Prepare(const QString &Msg, const QString &Icon, const QString &Title);

    // The whole message, as given (the label may show it fitted).
    QString MessageText() const { return m_message; }
    void CopyMessage() const;
    // `Msg` as it fits in a label of at most widthPx x heightPx in `font`.
    static QString FitMessage(const QString &Msg, const QFont &font, int widthPx, int heightPx);
    // The screen area a dialog over the active window may take.
    static QRect ScreenArea();

    // The file of the picture for an icon code, under AppPath.
    static QString IconFile(const QString &Icon);
    // The application's own title, the caption of a message without a title.
    static QString AppTitle() { return QStringLiteral("Veltrane"); }

    void Cmd_OK_Click();
    void Cmd_Cancel_Click();
    void Pic_TltleBar_KeyPress(int &KeyAscii);

protected:
    void CreateControls() override;
    void Form_Load() override;
    void Form_QueryUnload(int &cancel, int unloadMode) override;
    void closeEvent(QCloseEvent *e) override;
    void showEvent(QShowEvent *e) override;

private:
    QString m_message;
    int m_outerWidth = DesignWidth;
    int m_outerHeight = DesignHeight;
};
