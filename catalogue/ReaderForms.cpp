#include "catalogue/ReaderForms.h"

#include "catalogue/Frm_ReaderDeposit.h"
#include "catalogue/Frm_ReaderDoc.h"
#include "catalogue/Frm_ReaderType.h"
#include "core/ChildFormSwitch.h"

void RegisterReaderForms()
{
    RegisterChildForm(QStringLiteral("Frm_ReaderDoc"), [] { return &vb::Default<Frm_ReaderDoc>(); });
    RegisterChildForm(QStringLiteral("Frm_ReaderType"), [] { return &vb::Default<Frm_ReaderType>(); });
    RegisterChildForm(QStringLiteral("Frm_ReaderDeposit"), [] { return &vb::Default<Frm_ReaderDeposit>(); });
}
