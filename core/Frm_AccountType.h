#pragma once
// The account types window "账户权限": choose a type to see and change its
// thirteen permissions, add a new type with the ticked permissions, delete a
// type no account uses. The permission names shown are the columns of
// 账户类型 themselves, read from the database.
#include "core/ChildListForm.h"
#include "core/RecordGuard.h"

#include <array>

class Frm_AccountType : public ChildListForm {
    Q_OBJECT
public:
    Frm_AccountType();

    static constexpr int PowerCount = 13;

    vb::Ctl<vb::Label> Lbl_AccType{this};
    vb::Ctl<FCombo> Cmb_AccType{this};
    vb::Ctl<vb::Label> Lbl_Add{this};
    vb::Ctl<vb::Label> Lbl_Split{this};
    vb::Ctl<vb::Label> Lbl_Del{this};
    vb::Ctl<vb::Frame> Frame_AccPower{this};
    vb::Ctl<XButton> Cmd_OK{this};
    vb::Ctl<XButton> Cmd_Close{this};
    vb::Ctl<vb::Label> Lbl_Tip{this};

    // The control arrays Chk_Power(0..12) and Lbl_Power(0..12).
    vb::CheckBox *Chk_Power(int index) const;
    vb::Label *Lbl_Power(int index) const;

    // False: the chosen type is changed; true: the combo text names a new type.
    bool IsAddMode() const { return AddMode; }

    void Cmb_AccType_Click();
    void Lbl_Add_Click();
    void Lbl_Del_Click();
    void Lbl_Power_Click(int Index);
    void Cmd_OK_Click();
    void Cmd_Close_Click();

protected:
    void CreateControls() override;
    void ControlsDestroyed() override;
    void Form_Load() override;
    void Form_Resize() override;

private:
    void HideAccTypeCtrls();
    void ShowAccTypeCtrls();
    void LoadAccTypes();
    void ShowTypePowers(const QString &typeName);
    bool IsTypeUsed(const QString &typeName);
    void SetLinkHover(vb::Label *link);
    void ResetLinkLooks();

    bool AddMode = false;
    // The chosen type as shown: a change compares its permissions.
    RecordGuard m_guard;
    std::array<QPointer<vb::CheckBox>, PowerCount> m_chk{};
    std::array<QPointer<vb::Label>, PowerCount> m_lbl{};
};
