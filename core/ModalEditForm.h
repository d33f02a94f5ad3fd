#pragma once
// ModalEditForm: a record editor opened modally by a list window. The opener
// sets the editor's public variables (Mode, the record's key and CallerForm)
// and shows it modal; the editor's load reads them. A save that reached the
// database, successful or failed, makes the list refresh itself through its
// public Cmd_Refresh_Click; after a failure the editor stays open with its input.
//
// A save is one transaction. An editor that changes a stored record holds it
// to what it loaded through its RecordGuard (core/RecordGuard.h): a record
// another desk changed or deleted meanwhile is not written over, and the user
// is told, out of the transaction, and may reload it.
#include "ui/Form.h"

#include <QPointer>
#include <QString>
#include <functional>

class ChildListForm;
class RecordGuard;

class ModalEditForm : public vb::Form {
    Q_OBJECT
public:
    explicit ModalEditForm(const QString &className);

    // "ADD", "MOD" (or "ADD_Book", "MOD_Book", "ADD_Store" for the title editor).
    QString Mode;
    // The list window that opened the editor; its Cmd_Refresh_Click runs after a save.
    QPointer<ChildListForm> CallerForm;

    // True for the modes that add a record.
    bool IsAddMode() const { return Mode.startsWith(QStringLiteral("ADD")); }
    bool IsModifyMode() const { return Mode == QStringLiteral("MOD") || Mode == QStringLiteral("MOD_Book"); }

protected:
    // The editor's own data procedures: true on success, the error text through errText.
    virtual bool InsertRecord(QString &errText) = 0;
    virtual bool UpdateRecord(QString &errText) = 0;
    // True when every required field holds a value.
    virtual bool RequiredFieldsFilled() = 0;
    // The checks after the required fields (numbers within their columns ...):
    // false after the editor showed its refusal.
    virtual bool ValuesAccepted() { return true; }
    // The record the save writes over, held to what was loaded (none: nothing
    // to hold it to). Its Verify runs in the save's transaction before the write.
    virtual RecordGuard *Guard() { return nullptr; }
    // After a successful save: close, then refresh the caller's list (the default).
    // Editors with another order, or that stay open, override it.
    virtual void AfterSaved();

    // The save: the required-field caution and ValuesAccepted, then insert or
    // update by Mode in one transaction; success closes the editor and
    // refreshes the list, failure shows the error ("x", "错误"), refreshes the
    // list and keeps the editor open. A record changed or deleted by another
    // desk is not written: the guard tells the user (and may reload), then the
    // list is refreshed. A Refusal raised by the data procedures is shown
    // ("x", "错误") without a refresh. Returns true when the record was saved.
    bool SaveRecord();
    // Refreshes CallerForm's list (nothing when there is no caller).
    void RefreshCaller();
    // A closed editor holds no record.
    void ControlsDestroyed() override;

private:
    bool WriteRecord(QString &errText);
};

// Opens `editor` modally for `list`: asks `power` first (empty = no check; a
// refusal shows "您没有权限完成当前操作！" and opens nothing), sets Mode and,
// through setKey, the key variable (the opener passes "" to add). For "MOD" and
// "MOD_Book" an empty key opens nothing. CallerForm is set to `list`. Returns true when the editor was shown.
bool OpenModalEditor(ModalEditForm &editor, ChildListForm *list, const QString &power, const QString &mode,
                     const std::function<void(const QString &)> &setKey, const QString &key);
