#include "devicelink/twips.h"

#include <QFontDatabase>
#include <QStringList>

namespace desktop {

QFont japanese_font(const QString& designed_family, double points)
{
    QFont font;
    const QStringList installed = QFontDatabase::families();
    if (installed.contains(designed_family)) {
        font.setFamily(designed_family);
    } else {
        font.setStyleHint(QFont::SansSerif);
        QStringList families;
        for (const char* name : {"Noto Sans CJK JP", "Noto Sans JP", "IPAPGothic", "VL PGothic"}) {
            if (installed.contains(name)) {
                families << name;
            }
        }
        families << "sans-serif";
        font.setFamilies(families);
    }
    font.setPointSizeF(points);
    return font;
}

}  // namespace desktop
