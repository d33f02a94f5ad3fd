#pragma once
// The lock screen: the main window hides itself and shows this window; only
// the current user's password brings the main window back. There is no way
// to close it other than unlocking.
#include "core/PasswordDialog.h"

#include <QString>

class Frm_LockApp : public PasswordDialog {
    Q_OBJECT
public:
    Frm_LockApp();
    ~Frm_LockApp() override;

    static QString DesignCaption() { return QStringLiteral("解除锁定"); }

    vb::Ctl<FTextBox> Txt_UID{this};
    vb::Ctl<XButton> Cmd_Unlock{this};

    void Cmd_Unlock_Click();

protected:
    void CreateControls() override;
    void Form_Load() override;
    void Form_QueryUnload(int &cancel, int unloadMode) override;
    void showEvent(QShowEvent *e) override;
};
