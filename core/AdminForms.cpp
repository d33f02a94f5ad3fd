#include "core/AdminForms.h"

void RegisterAdminForms()
{
}
