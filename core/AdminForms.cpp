#include "core/AdminForms.h"

#include "core/ChildFormSwitch.h"
#include "core/Frm_AccountLoginInfo.h"
#include "core/Frm_AccountMag.h"
#include "core/Frm_AccountType.h"
#include "core/Frm_DBClear.h"

void RegisterAdminForms()
{
    RegisterChildForm(QStringLiteral("Frm_AccountMag"), [] { return &vb::Default<Frm_AccountMag>(); });
    RegisterChildForm(QStringLiteral("Frm_AccountType"), [] { return &vb::Default<Frm_AccountType>(); });
    RegisterChildForm(QStringLiteral("Frm_AccountLoginInfo"), [] { return &vb::Default<Frm_AccountLoginInfo>(); });
    // A modal dialog, opened by the main window's file menu.
    RegisterChildForm(QStringLiteral("Frm_DBClear"), [] { return &vb::Default<Frm_DBClear>(); });
}
