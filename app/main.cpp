#include "core/Mdl_Boot.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(true);
    if (!Main())
        return 0;
    return app.exec();
}
