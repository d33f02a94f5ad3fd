#include "catalogue/ReaderForms.h"

void RegisterReaderForms()
{
}
