#include "core/SessionDialogs.h"

#include "core/ChildFormSwitch.h"
#include "core/Frm_About.h"
#include "core/Frm_FindPassword.h"
#include "core/Frm_LockApp.h"
#include "core/Frm_SwapUser.h"

void RegisterSessionDialogs()
{
    RegisterChildForm(QStringLiteral("Frm_LockApp"), [] { return &vb::Default<Frm_LockApp>(); });
    RegisterChildForm(QStringLiteral("Frm_SwapUser"), [] { return &vb::Default<Frm_SwapUser>(); });
    RegisterChildForm(QStringLiteral("Frm_FindPassword"), [] { return &vb::Default<Frm_FindPassword>(); });
    RegisterChildForm(QStringLiteral("Frm_About"), [] { return &vb::Default<Frm_About>(); });
}
