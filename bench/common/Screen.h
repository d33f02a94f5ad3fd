#pragma once
// What a clerk sees, timed through the X server the program's windows are on
// (Xvfb under bench/run-all): keys pressed as the keyboard presses them
// (XTest), and the time until the screen shows the result, read back from
// the server's own pixels while the program works.
#include <QList>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

namespace bench {

class Screen {
public:
    // The screen of $DISPLAY; null (with `why`) without one, or without XTest.
    static std::unique_ptr<Screen> open(QString &why);
    virtual ~Screen() = default;

    // Presses and releases the key that types `c` (a digit, a letter, '-').
    virtual void type(QChar c) = 0;

    // Milliseconds from `act` until the parts of `shown` (each widget's top
    // `rows` pixels at most) first show what they show once `done` holds and
    // the events that follow have been handled; NaN when they never changed.
    // `done` is asked while the program's events are handled; `act` may
    // run the action itself (a menu's slot) or only press a key.
    virtual double timePainted(const QList<QWidget *> &shown, int rows, const std::function<void()> &act,
                               const std::function<bool()> &done) = 0;
};

}  // namespace bench
