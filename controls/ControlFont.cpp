#include "controls/ControlFont.h"

#include <QApplication>
#include <QFontDatabase>
#include <QStringList>

namespace controls {

namespace {
const QString kLatin = QStringLiteral("DejaVu Sans");
const QString kCjk = QStringLiteral("Noto Sans CJK SC");

bool available(const QString &family)
{
    return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}
}  // namespace

QFont usableFont(const QFont &in)
{
    QFont f(in);
    QString family = in.family();
    if (family.isEmpty() || !available(family))
        family = available(kLatin) ? kLatin : QApplication::font().family();
    QStringList families{family};
    if (available(kCjk) && family.compare(kCjk, Qt::CaseInsensitive) != 0)
        families << kCjk;
    f.setFamilies(families);
    return f;
}

QFont ambientFont(const QWidget *host)
{
    return usableFont(host && host->parentWidget() ? host->parentWidget()->font() : QApplication::font());
}

}  // namespace controls
