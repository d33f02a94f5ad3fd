// Placeholder until the message dialog and the main window's status bar exist.
#include "core/Mdl_ComVarList.h"

static MsgBoxHook g_hook;
void SetMsgBoxHook(MsgBoxHook hook) { g_hook = std::move(hook); }
int ShowMsgBox(const QString &Msg, const QString &Icon, const QString &Title)
{
    return g_hook ? g_hook(Msg, Icon, Title) : 0;
}
void ShowSBarTip(const QString &) {}
