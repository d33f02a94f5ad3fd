#include "catalogue/BookForms.h"

void RegisterBookForms()
{
}
