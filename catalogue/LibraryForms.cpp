#include "catalogue/LibraryForms.h"

#include "catalogue/Frm_BookDamage.h"
#include "catalogue/Frm_LabInfo.h"
#include "catalogue/Frm_PressInfo.h"
#include "core/ChildFormSwitch.h"

void RegisterLibraryForms()
{
    RegisterChildForm(QStringLiteral("Frm_BookDamage"), [] { return &vb::Default<Frm_BookDamage>(); });
    RegisterChildForm(QStringLiteral("Frm_PressInfo"), [] { return &vb::Default<Frm_PressInfo>(); });
    RegisterChildForm(QStringLiteral("Frm_LabInfo"), [] { return &vb::Default<Frm_LabInfo>(); });
}
