#include "catalogue/BookForms.h"
#include "catalogue/LibraryForms.h"
#include "catalogue/ReaderForms.h"
#include "circulation/CirculationForms.h"
#include "core/AdminForms.h"
#include "core/Mdl_Boot.h"
#include "core/SessionDialogs.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(true);
    RegisterSessionDialogs();
    RegisterAdminForms();
    RegisterBookForms();
    RegisterLibraryForms();
    RegisterReaderForms();
    RegisterCirculationForms();
    if (!Main()) return 0;
    return app.exec();
}
