#pragma once
// PasswordDialog: the small white dialogs that ask for a user's password (the
// lock screen Frm_LockApp and the change of user Frm_SwapUser). A title bar
// with the window's caption and a grey note, a split line, the user row (whose
// box is the window's own), the masked password row and one grey button.
#include "controls/FTextBox.h"
#include "controls/XButton.h"
#include "ui/Form.h"
#include "ui/Intrinsics.h"

#include <QString>

class PasswordDialog : public vb::Form {
    Q_OBJECT
public:
    ~PasswordDialog() override;

    // What the password box holds when the window opens (shown masked).
    static QString PasswordPlaceholder() { return QStringLiteral("password"); }

    vb::Ctl<vb::PictureBox> Pic_TitleBar{this};
    vb::Ctl<vb::Label> Lbl_TBarTitle{this};
    vb::Ctl<vb::Label> Lbl_TBarText{this};
    vb::Ctl<vb::LineControl> Line_TBarSplit{this};
    vb::Ctl<vb::Label> Lbl_UID{this};
    vb::Ctl<vb::Label> Lbl_Password{this};
    vb::Ctl<FTextBox> Txt_Password{this};

protected:
    // The window's frame flags, caption, white back and fixed size.
    PasswordDialog(const QString &className, Qt::WindowFlags flags, const QString &caption);

    // The title bar with the note under the title, the split line and the "用户名" label.
    void CreateHeader(const QString &note);
    // The "密    码" label and the masked password box holding the placeholder.
    FTextBox *CreatePasswordRow();
    // The grey button at the bottom right.
    XButton *CreateSubmitButton(const QString &name, const QString &caption);
    // The first steps of the load: the layered look and the caption in the title bar.
    void LoadHeader();
};
