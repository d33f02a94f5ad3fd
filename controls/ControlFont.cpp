#include "controls/ControlFont.h"

#include <QApplication>
#include <QFontDatabase>
#include <QStringList>

namespace controls {

namespace {
const QString kLatin = QStringLiteral("DejaVu Sans");
const QString kCjk = QStringLiteral("Noto Sans CJK SC");

bool available(const QString &family) { return QFontDatabase::families().contains(family, Qt::CaseInsensitive); }

// Generic names and faces of the original desktop: replaced by the Latin face,
// whose 9-point line (14 pixels) fits the controls' fixed heights.
bool replaced(const QString &family)
{
    static const QStringList names{
        QStringLiteral("Sans Serif"),    QStringLiteral("sans-serif"),     QStringLiteral("Sans"),
        QStringLiteral("MS Sans Serif"), QStringLiteral("Tahoma"),         QStringLiteral("Arial"),
        QStringLiteral("宋体"),          QStringLiteral("新宋体"),         QStringLiteral("SimSun"),
        QStringLiteral("NSimSun"),       QStringLiteral("黑体"),           QStringLiteral("SimHei"),
        QStringLiteral("微软雅黑"),      QStringLiteral("Microsoft YaHei")};
    return names.contains(family, Qt::CaseInsensitive);
}
}  // namespace

QFont usableFont(const QFont &in)
{
    QFont f(in);
    QString family = in.family();
    if (family.isEmpty() || replaced(family) || !available(family))
        family = available(kLatin) ? kLatin : QApplication::font().family();
    QStringList families{family};
    if (available(kCjk) && family.compare(kCjk, Qt::CaseInsensitive) != 0) families << kCjk;
    f.setFamilies(families);
    return f;
}

QFont ambientFont(const QWidget *host)
{
    return usableFont(host && host->parentWidget() ? host->parentWidget()->font() : QApplication::font());
}

}  // namespace controls
