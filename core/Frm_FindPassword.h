#pragma once
// Password retrieval: a three-page dialog that gives a staff member the login
// password back after two checks, the user name and the second-level password.
// Opened by the login window, which has opened the shared connection for it;
// the dialog closes that connection again when it unloads.
#include "controls/FTextBox.h"
#include "controls/XButton.h"
#include "ui/Form.h"
#include "ui/Intrinsics.h"

#include <QString>

class Frm_FindPassword : public vb::Form {
    Q_OBJECT
public:
    Frm_FindPassword();
    ~Frm_FindPassword() override;

    static QString DesignCaption() { return QStringLiteral("密码找回"); }
    static constexpr int PageCount = 3;

    vb::Ctl<vb::PictureBox> Pic_TitleBar{this};
    vb::Ctl<vb::Label> Lbl_TBarText{this};
    vb::Ctl<XButton> Cmd_TBarClose{this};
    vb::Ctl<vb::Label> Lbl_UID{this};
    vb::Ctl<FTextBox> Txt_UID{this};
    vb::Ctl<vb::Label> Lbl_Password{this};
    vb::Ctl<FTextBox> Txt_Password{this};
    vb::Ctl<vb::Label> Lbl_Info{this};
    vb::Ctl<XButton> Cmd_Pre{this};
    vb::Ctl<XButton> Cmd_Next{this};
    vb::Ctl<vb::Shape> Shp_Border{this};

    // The page array Frame(0..2).
    vb::Frame *Frame(int index) const;

    // The page shown, the last page before the result page, the accepted name.
    int CurStep() const { return m_curStep; }
    int PrevStep() const { return m_prevStep; }
    QString FindUID() const { return m_findUID; }

    void Cmd_Pre_Click();
    void Cmd_Next_Click();
    void Cmd_TBarClose_Click();

protected:
    void CreateControls() override;
    void Form_Load() override;
    void Form_Unload(int &cancel) override;

private:
    void ShowStep(int step, const QString &info);
    void GoStep(const QString &direction);
    bool CheckUID(QString &message);
    bool CheckSecondPWD(QString &message);
    void ShowPassword();
    QString AccountSQL() const;

    vb::Ctl<vb::Frame> m_frame[PageCount] = {vb::Ctl<vb::Frame>(this), vb::Ctl<vb::Frame>(this),
                                             vb::Ctl<vb::Frame>(this)};
    int m_curStep = 0;
    int m_prevStep = 0;
    QString m_findUID;
};
