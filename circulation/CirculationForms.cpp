#include "circulation/CirculationForms.h"

#include "circulation/Frm_BorrowBook.h"
#include "circulation/Frm_Query.h"
#include "circulation/Frm_ReturnBook.h"
#include "circulation/Frm_Statistics.h"
#include "core/ChildFormSwitch.h"

void RegisterCirculationForms()
{
    RegisterChildForm(QStringLiteral("Frm_BorrowBook"), [] { return &vb::Default<Frm_BorrowBook>(); });
    RegisterChildForm(QStringLiteral("Frm_ReturnBook"), [] { return &vb::Default<Frm_ReturnBook>(); });
    RegisterChildForm(QStringLiteral("Frm_Query"), [] { return &vb::Default<Frm_Query>(); });
    RegisterChildForm(QStringLiteral("Frm_Statistics"), [] { return &vb::Default<Frm_Statistics>(); });
}
