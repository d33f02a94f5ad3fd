#include "ui/ControlSupport.h"

#include "ui/Colors.h"
#include "ui/Control.h"

namespace vb {

void setRoleColor(QWidget *w, QPalette::ColorRole role, long ole)
{
    QPalette pal = w->palette();
    const QColor c = toQColor(ole);
    pal.setColor(QPalette::Active, role, c);
    pal.setColor(QPalette::Inactive, role, c);
    if (role != QPalette::WindowText && role != QPalette::ButtonText && role != QPalette::Text)
        pal.setColor(QPalette::Disabled, role, c);
    w->setPalette(pal);
}

MouseArgs mouseArgs(const QMouseEvent *e, const QPoint &origin, bool pressedButton)
{
    MouseArgs a;
    a.button = pressedButton ? buttonOf(e->button()) : buttonsOf(e->buttons());
    a.shift = shiftOf(e->modifiers());
    a.x = twipsF(e->position().x() - origin.x());
    a.y = twipsF(e->position().y() - origin.y());
    return a;
}

QString displayText(const QString &caption)
{
    QString t = caption;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}

}  // namespace vb
