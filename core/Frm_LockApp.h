#pragma once
// The lock screen: the main window hides itself and shows this window; only
// the current user's password brings the main window back. There is no way
// to close it other than unlocking.
#include "controls/FTextBox.h"
#include "controls/XButton.h"
#include "platform/Form.h"
#include "platform/Intrinsics.h"

#include <QString>

class Frm_LockApp : public vb::Form {
    Q_OBJECT
public:
    Frm_LockApp();
    ~Frm_LockApp() override;

    static QString DesignCaption() { return QStringLiteral("解除锁定"); }
    // What the password box holds when the window opens (shown masked).
    static QString PasswordPlaceholder() { return QStringLiteral("password"); }

    vb::Ctl<vb::PictureBox> Pic_TitleBar{this};
    vb::Ctl<vb::Label> Lbl_TBarTitle{this};
    vb::Ctl<vb::Label> Lbl_TBarText{this};
    vb::Ctl<vb::LineControl> Line_TBarSplit{this};
    vb::Ctl<vb::Label> Lbl_UID{this};
    vb::Ctl<FTextBox> Txt_UID{this};
    vb::Ctl<vb::Label> Lbl_Password{this};
    vb::Ctl<FTextBox> Txt_Password{this};
    vb::Ctl<XButton> Cmd_Unlock{this};

    void Cmd_Unlock_Click();

protected:
    void CreateControls() override;
    void Form_Load() override;
    void Form_QueryUnload(int &cancel, int unloadMode) override;
    void showEvent(QShowEvent *e) override;
};
