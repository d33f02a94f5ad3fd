#include "Screen.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRect>
#include <QScreen>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <atomic>
#include <cmath>
#include <dlfcn.h>
#include <mutex>
#include <thread>
#include <vector>

namespace bench {

namespace {

// XTestFakeKeyEvent, from the library xdotool brings (libxtst6): its headers
// are not needed for one function.
using FakeKey = int (*)(Display *, unsigned int keycode, int isPress, unsigned long delay);

quint64 hashBytes(const char *data, size_t n, quint64 h)
{
    for (size_t i = 0; i < n; ++i) h = (h ^ quint8(data[i])) * 0x100000001B3ULL;
    return h;
}

class XScreen final : public Screen {
public:
    XScreen(Display *keys, FakeKey fake) : m_keys(keys), m_fake(fake) { }
    ~XScreen() override { XCloseDisplay(m_keys); }

    void type(QChar c) override
    {
        KeySym sym = NoSymbol;
        if (c == QLatin1Char('-'))
            sym = XK_minus;
        else
            sym = XStringToKeysym(QString(c).toLatin1().constData());
        const KeyCode code = XKeysymToKeycode(m_keys, sym);
        const bool shift = c.isUpper();
        const KeyCode shiftCode = XKeysymToKeycode(m_keys, XK_Shift_L);
        if (shift) m_fake(m_keys, shiftCode, True, CurrentTime);
        m_fake(m_keys, code, True, CurrentTime);
        m_fake(m_keys, code, False, CurrentTime);
        if (shift) m_fake(m_keys, shiftCode, False, CurrentTime);
        XFlush(m_keys);
    }

    double timePainted(const QList<QWidget *> &shown, int rows, const std::function<void()> &act,
                       const std::function<bool()> &done) override
    {
        std::vector<QRect> rects;
        for (QWidget *w : shown) {
            const QPoint at = w->mapToGlobal(QPoint(0, 0));
            // Within the screen: the server reads nothing of a rectangle
            // that passes its edge (a maximized window's frame may).
            rects.push_back(
                QRect(at.x(), at.y(), w->width(), std::min(w->height(), rows)).intersected(w->screen()->geometry()));
        }
        // A second connection reads the screen on a thread of its own, as
        // often as it can, and notes each change with its time.
        struct Seen {
            qint64 ns;
            quint64 hash;
        };
        std::vector<Seen> seen;
        std::mutex lock;
        std::atomic<bool> stop{false}, started{false};
        QElapsedTimer clock;
        clock.start();
        std::thread reader([&] {
            Display *d = XOpenDisplay(nullptr);
            if (!d) return;
            const Window root = DefaultRootWindow(d);
            quint64 last = 0;
            while (!stop.load()) {
                quint64 h = 0xCBF29CE484222325ULL;
                for (const QRect &r : rects) {
                    if (r.width() <= 0 || r.height() <= 0) continue;
                    XImage *img =
                        XGetImage(d, root, r.x(), r.y(), unsigned(r.width()), unsigned(r.height()), AllPlanes, ZPixmap);
                    if (!img) continue;
                    h = hashBytes(img->data, size_t(img->bytes_per_line) * size_t(img->height), h);
                    XDestroyImage(img);
                }
                const qint64 now = clock.nsecsElapsed();
                if (h != last || !started.load()) {
                    const std::lock_guard<std::mutex> g(lock);
                    seen.push_back({now, h});
                    last = h;
                }
                started.store(true);
            }
            XCloseDisplay(d);
        });
        while (!started.load()) std::this_thread::yield();
        const qint64 t0 = clock.nsecsElapsed();
        act();
        QElapsedTimer waited;
        waited.start();
        while (!done() && waited.elapsed() < 60000) QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
        // What follows the result (a count, a scroll range) has its time too.
        QElapsedTimer after;
        after.start();
        while (after.elapsed() < 250) QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
        stop.store(true);
        reader.join();
        if (seen.size() < 2) return std::nan("");
        const quint64 final = seen.back().hash;
        for (const Seen &s : seen)
            if (s.ns >= t0 && s.hash == final) return double(s.ns - t0) / 1e6;
        return std::nan("");
    }

private:
    Display *m_keys;
    FakeKey m_fake;
};

}  // namespace

std::unique_ptr<Screen> Screen::open(QString &why)
{
    void *xtest = dlopen("libXtst.so.6", RTLD_NOW);
    if (!xtest) {
        why = QStringLiteral("no libXtst.so.6 (package libxtst6, which xdotool brings)");
        return nullptr;
    }
    auto fake = reinterpret_cast<FakeKey>(dlsym(xtest, "XTestFakeKeyEvent"));
    Display *d = XOpenDisplay(nullptr);
    if (!fake || !d) {
        why = QStringLiteral("no X display (run under xvfb-run with QT_QPA_PLATFORM=xcb)");
        return nullptr;
    }
    return std::make_unique<XScreen>(d, fake);
}

}  // namespace bench
