#include "catalogue/LibraryForms.h"

void RegisterLibraryForms()
{
}
