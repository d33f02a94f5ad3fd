#pragma once
// PanelEditForm: a small table of three columns listed whole in a grid and
// edited one row at a time in a frame of three boxes (Frame_ShowData with the
// box array Txt(0..2) and the label array Lbl(0..2)) placed above the grid in
// the same window. Modes: "ADD" while a new row is entered, "MOD" while a
// listed row is changed, "NULL" while the frame is idle (disabled, caption
// "双击表项更改"). Box i edits column i of the table; column 0 is the key.
//
// A change holds to the row as the grid showed it when 修改 took it into the
// frame: another desk's change or deletion of that row since is not written
// over (core/RecordGuard.h); the entries stay in the frame.
//
// A member supplies its values through the hooks below and builds its window
// with CreatePanelControls in CreateControls.
#include "core/ChildListForm.h"
#include "core/RecordGuard.h"

#include <QStringList>

class PanelEditForm : public ChildListForm {
    Q_OBJECT
public:
    explicit PanelEditForm(const QString &className);

    // "ADD", "MOD" or "NULL"; empty until the first refresh.
    QString EditMode;

    vb::Ctl<XButton> Cmd_Add{this};
    vb::Ctl<XButton> Cmd_Modify{this};
    vb::Ctl<XButton> Cmd_Delete{this};
    vb::Ctl<XButton> Cmd_Refresh{this};
    vb::Ctl<vb::Frame> Frame_ShowData{this};
    vb::Ctl<XButton> Cmd_Save{this};
    vb::Ctl<XButton> Cmd_Cancel{this};
    // The box array Txt(0..2) and the label array Lbl(0..2).
    FTextBox *Txt(int index) const;
    vb::Label *Lbl(int index) const;

    static QString IdleCaption() { return QStringLiteral("双击表项更改"); }

    void Cmd_Refresh_Click() override;
    void Cmd_Add_Click();
    void Cmd_Modify_Click();
    void Cmd_Save_Click();
    void Cmd_Cancel_Click();
    void Cmd_Delete_Click();

protected:
    // ---- The member's values.
    virtual QString PanelTable() const = 0;        // the table edited
    virtual QStringList PanelColumns() const = 0;  // its three columns in table order
    virtual QString AddCaption() const = 0;        // frame caption while adding
    virtual QString ModifyCaption() const = 0;     // frame caption while changing
    // The required-box check: shows the member's caution, moves the focus to the
    // empty box and returns false.
    virtual bool RequiredBoxesFilled() = 0;
    // The checks after it (numbers within their columns ...): false after the
    // member showed its refusal.
    virtual bool ValuesAccepted() { return true; }
    // The in-use test of a key (a row of the dependent table refers to it).
    virtual bool IsKeyUsed(const QString &key) = 0;
    virtual QString InUseText(const QString &key) const = 0;       // refusal ("x", "错误")
    virtual QString DeleteQuestion(const QString &key) const = 0;  // before the undo note
    virtual QString DeleteTitle() const = 0;
    // Statements; the defaults are the family's: a positional insert of the three
    // boxes, an update of columns 1 and 2 by column 0, a delete by the key.
    virtual QString InsertSQL() const;
    virtual QString UpdateSQL() const;
    virtual QString DeleteSQL(const QString &key) const;

    // Opens `sql` read-only (kept in SQLText) and answers whether it found a row.
    bool RowExists(const QString &sql);

    // Builds the buttons, the edit frame with its boxes and labels, and the grid.
    // Tool tips: add, modify, delete, refresh, then the grid's hint.
    void CreatePanelControls(const QStringList &labelCaptions, const QStringList &toolTips);

    void ShowCtrls() override;
    void HideCtrls() override;
    void DeleteAction() override { Cmd_Delete_Click(); }
    void ModifyAction() override { Cmd_Modify_Click(); }
    void Form_Resize() override;

private:
    void SaveChange();

    vb::Ctl<FTextBox> m_txt[3] = {vb::Ctl<FTextBox>(this), vb::Ctl<FTextBox>(this), vb::Ctl<FTextBox>(this)};
    vb::Ctl<vb::Label> m_lbl[3] = {vb::Ctl<vb::Label>(this), vb::Ctl<vb::Label>(this), vb::Ctl<vb::Label>(this)};
    RecordGuard m_guard;  // the row being changed, as the grid showed it
};
