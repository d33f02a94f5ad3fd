#pragma once
// Every window of the program, registered as the program's own start
// registers them, so that the main window reaches each by its class name.
#include "catalogue/BookForms.h"
#include "catalogue/LibraryForms.h"
#include "catalogue/ReaderForms.h"
#include "circulation/CirculationForms.h"
#include "core/AdminForms.h"
#include "core/SessionDialogs.h"

inline void RegisterAllForms()
{
    RegisterSessionDialogs();
    RegisterAdminForms();
    RegisterBookForms();
    RegisterLibraryForms();
    RegisterReaderForms();
    RegisterCirculationForms();
}
