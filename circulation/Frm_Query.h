#pragma once
// The search window "查询": one text and eight kinds of search (titles by ISBN
// or name, copies, publishers, readers by number or name, loans, damage
// records), each matching the beginning of its key or name. The result is a
// read-only list; nothing is written.
#include "core/ChildListForm.h"

#include <array>

class Frm_Query : public ChildListForm {
    Q_OBJECT
public:
    Frm_Query();

    static constexpr int CaseCount = 8;

    vb::Ctl<vb::Frame> Frame_Query{this};
    vb::Ctl<FTextBox> Txt_Info{this};
    vb::Ctl<XButton> Cmd_Query{this};
    // The option array Opt_Case(0 .. 7); null for an index outside it.
    vb::OptionButton *Opt_Case(int index) const;

    // Handlers.
    void Cmd_Query_Click();
    void Txt_Info_KeyPress(int &KeyAscii);

protected:
    void CreateControls() override;
    void ControlsDestroyed() override;
    void Form_Load() override;
    void Form_Resize() override;

private:
    void FitColumns();

    std::array<QPointer<vb::OptionButton>, CaseCount> m_case{};
};
