#pragma once
// Change of user: any account's name and password make that account the
// current user; the tool bar and the current child window are then rebuilt
// under the new user's permissions. Shown modal by the main window.
#include "controls/FCombo.h"
#include "core/PasswordDialog.h"

#include <QString>

class Frm_SwapUser : public PasswordDialog {
    Q_OBJECT
public:
    Frm_SwapUser();
    ~Frm_SwapUser() override;

    static QString DesignCaption() { return QStringLiteral("切换用户"); }

    vb::Ctl<FCombo> Cmb_UID{this};
    vb::Ctl<XButton> Cmd_Change{this};

    void Cmd_Change_Click();

protected:
    void CreateControls() override;
    void Form_Load() override;
    void showEvent(QShowEvent *e) override;

private:
    void FillUIDList();
};
