#include "circulation/CirculationForms.h"
#include "core/Mdl_Boot.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(true);
    RegisterCirculationForms();
    if (!Main())
        return 0;
    return app.exec();
}
