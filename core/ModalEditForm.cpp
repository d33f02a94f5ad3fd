#include "core/ModalEditForm.h"

#include "core/ChildListForm.h"
#include "core/Mdl_ComVarList.h"
#include "core/Mdl_SQLConnection.h"
#include "core/RecordGuard.h"
#include "core/Refusal.h"
#include "db/Transaction.h"

#include <exception>

ModalEditForm::ModalEditForm(const QString &className) : vb::Form(className) { }

void ModalEditForm::AfterSaved()
{
    // Keep the caller: the unload may clear what the editor holds.
    QPointer<ChildListForm> caller = CallerForm;
    Unload();
    if (caller && caller->IsLoaded()) caller->Cmd_Refresh_Click();
}

void ModalEditForm::RefreshCaller()
{
    if (CallerForm && CallerForm->IsLoaded()) CallerForm->Cmd_Refresh_Click();
}

void ModalEditForm::ControlsDestroyed()
{
    if (RecordGuard *g = Guard()) g->Forget();
}

// The insert or update as one transaction, once the guard found the record as loaded.
bool ModalEditForm::WriteRecord(QString &errText)
{
    ado::Transaction trans(SQLConn());
    if (RecordGuard *g = Guard()) g->Verify(SQLConn());
    if (!(IsAddMode() ? InsertRecord(errText) : UpdateRecord(errText))) return false;
    trans.Commit();
    return true;
}

bool ModalEditForm::SaveRecord()
{
    if (!RequiredFieldsFilled()) {
        ShowNotice(QStringLiteral("请输入必要信息！"), QStringLiteral("提示"));
        return false;
    }
    if (!ValuesAccepted()) return false;
    QString errText;
    bool ok = false;
    // The handlers run once the transaction has ended: no message inside it.
    try {
        ok = WriteRecord(errText);
    } catch (const RecordConflict &conflict) {
        if (RecordGuard *g = Guard()) g->Resolve(conflict, SQLConn());
        RefreshCaller();
        return false;
    } catch (const Refusal &r) {
        ShowErrorText(r.text);
        return false;
    } catch (const std::exception &e) {
        errText = ErrorText(e);
        ok = false;
    }
    if (ok) {
        AfterSaved();
        return true;
    }
    ShowErrorText(errText);
    RefreshCaller();
    return false;
}

bool OpenModalEditor(ModalEditForm &editor, ChildListForm *list, const QString &power, const QString &mode,
                     const std::function<void(const QString &)> &setKey, const QString &key)
{
    if (!power.isEmpty() && !CheckUserPower(power)) {
        ShowErrorText(ChildListForm::RefusedText());
        return false;
    }
    editor.Mode = mode;
    if (setKey) setKey(key);
    if (editor.IsModifyMode() && key.isEmpty()) return false;
    editor.CallerForm = list;
    editor.Show(vb::vbModal);
    return true;
}
