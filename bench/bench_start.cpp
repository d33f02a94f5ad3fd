// The program's start as a user sees it, for bench_windows to time from
// outside: the program's own start (the same windows registered, the same
// start procedure) until its login window has painted; then this process
// writes "shown" on its standard output and ends.
//
//   bench_start          the program
//   bench_start --bare   a bare window of the same size: what any Qt program
//                        on this machine takes to show a window (the limit)
#include "common/AllForms.h"
#include "core/Mdl_Boot.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace {

// Once the first window has painted and the events of that paint are done.
class FirstPaint : public QObject {
public:
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        if (e->type() == QEvent::Paint && !m_seen && watched->isWidgetType()
            && static_cast<QWidget *>(watched)->isWindow()) {
            m_seen = true;
            QTimer::singleShot(0, [] {
                std::fputs("shown\n", stdout);
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return false;
    }

private:
    bool m_seen = false;
};

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    FirstPaint watch;
    app.installEventFilter(&watch);
    if (app.arguments().contains(QStringLiteral("--bare"))) {
        QWidget w;
        w.resize(450, 376);
        w.show();
        return app.exec();
    }
    RegisterAllForms();
    if (!Main()) {
        std::fputs("another copy runs\n", stdout);
        return 1;
    }
    return app.exec();
}
