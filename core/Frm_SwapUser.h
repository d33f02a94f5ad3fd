#pragma once
// Change of user: any account's name and password make that account the
// current user; the tool bar and the current child window are then rebuilt
// under the new user's permissions. Shown modal by the main window.
#include "controls/FCombo.h"
#include "controls/FTextBox.h"
#include "controls/XButton.h"
#include "platform/Form.h"
#include "platform/Intrinsics.h"

#include <QString>

class Frm_SwapUser : public vb::Form {
    Q_OBJECT
public:
    Frm_SwapUser();
    ~Frm_SwapUser() override;

    static QString DesignCaption() { return QStringLiteral("切换用户"); }
    // What the password box holds when the window opens (shown masked).
    static QString PasswordPlaceholder() { return QStringLiteral("password"); }

    vb::Ctl<vb::PictureBox> Pic_TitleBar{this};
    vb::Ctl<vb::Label> Lbl_TBarTitle{this};
    vb::Ctl<vb::Label> Lbl_TBarText{this};
    vb::Ctl<vb::LineControl> Line_TBarSplit{this};
    vb::Ctl<vb::Label> Lbl_UID{this};
    vb::Ctl<FCombo> Cmb_UID{this};
    vb::Ctl<vb::Label> Lbl_Password{this};
    vb::Ctl<FTextBox> Txt_Password{this};
    vb::Ctl<XButton> Cmd_Change{this};

    void Cmd_Change_Click();

protected:
    void CreateControls() override;
    void Form_Load() override;
    void showEvent(QShowEvent *e) override;

private:
    void FillUIDList();
};
