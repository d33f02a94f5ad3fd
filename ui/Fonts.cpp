#include "ui/Fonts.h"

#include <QApplication>
#include <QFontDatabase>
#include <QStringList>

namespace vb {

namespace {

// The first of the candidates the system has. The font database names a face
// that two foundries supply with the foundry after it ("Nimbus Sans Narrow [urw]").
QString firstAvailable(const QStringList &candidates)
{
    QStringList families = QFontDatabase::families();
    for (QString &f : families) {
        const qsizetype foundry = f.indexOf(QLatin1String(" ["));
        if (foundry > 0) f.truncate(foundry);
    }
    for (const QString &c : candidates)
        if (families.contains(c, Qt::CaseInsensitive)) return c;
    return QString();
}

}  // namespace

QString NarrowLatinFamily()
{
    // Digits about 0.45 em wide: a 13-digit ISBN takes 71 pixels at 12 pixels.
    static const QString family =
        firstAvailable({QStringLiteral("Nimbus Sans Narrow"), QStringLiteral("Liberation Sans Narrow"),
                        QStringLiteral("DejaVu Sans Condensed")});
    return family;
}

QString CjkFamily()
{
    static const QString family =
        firstAvailable({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Droid Sans Fallback")});
    return family;
}

QFont CompactFont(int pixelSize)
{
    QFont f = QApplication::font();
    QStringList families;
    for (const QString &family : {NarrowLatinFamily(), CjkFamily()})
        if (!family.isEmpty()) families << family;
    if (!families.isEmpty()) f.setFamilies(families);
    f.setPixelSize(pixelSize);
    return f;
}

}  // namespace vb
