#include "theme/QvFont.h"

#include <QGuiApplication>
#include <QStringList>

#include <algorithm>
#include <cmath>

QFont QvFont::qvText(double size, QFont::Weight weight) {
    QFont font = QGuiApplication::font();
    // The desktop's face first; the CJK face supplies what it lacks, so Japanese never falls back to boxes.
    QStringList families{font.family()};
    for (const char* extra : {"Noto Sans", "Noto Sans CJK JP"}) {
        if (!families.contains(QLatin1String(extra))) {
            families << QLatin1String(extra);
        }
    }
    font.setFamilies(families);
    font.setPixelSize(std::max(1, int(std::lround(size))));
    font.setWeight(weight);
    font.setItalic(false);
    return font;
}

QFont QvFont::qvDisplay(double size, QFont::Weight weight) {
    return qvText(size, weight);
}
