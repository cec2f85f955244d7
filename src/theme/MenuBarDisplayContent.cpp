#include "theme/MenuBarDisplayContent.h"

#include "theme/QvFont.h"
#include "theme/QvText.h"
#include "theme/SymbolIcon.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

namespace {

QFont pauseMarkFont() {
    return QvFont::qvText(MenuBarDisplayContent::pauseMarkFontSize, QFont::Bold);
}

double itemWidth(const MenuBarDisplayContent::Item& item, const QFont& font) {
    switch (item.kind) {
    case MenuBarDisplayContent::Item::Kind::icon:
        return MenuBarDisplayContent::symbolSide(font);
    case MenuBarDisplayContent::Item::Kind::pauseMark:
        return MenuBarDisplayContent::symbolSide(pauseMarkFont());
    case MenuBarDisplayContent::Item::Kind::time:
        return QvText::tabularWidth(font, item.text);
    }
    return 0;
}

} // namespace

QList<MenuBarDisplayContent::Item> MenuBarDisplayContent::items() const {
    QList<Item> row;
    if (mode != MenuBarDisplayMode::timeOnly || !isActive) {
        row.push_back({Item::Kind::icon, symbolName(iconStyle), {}});
    }
    if (isActive && mode != MenuBarDisplayMode::iconOnly) {
        if (isPaused) {
            row.push_back({Item::Kind::pauseMark, QStringLiteral("pause.fill"), {}});
        }
        row.push_back({Item::Kind::time, {}, timeText});
    }
    return row;
}

double MenuBarDisplayContent::symbolSide(const QFont& font) {
    // Our drawings leave a margin in their square, so the square is a little larger than the font for the
    // visible symbol to stand about as tall as the text's capitals and digits with their accents.
    const double pixels =
        font.pixelSize() > 0 ? double(font.pixelSize()) : double(QFontInfo(font).pixelSize());
    return pixels * 1.15;
}

QSizeF MenuBarDisplayContent::size(const QFont& font) const {
    const QList<Item> row = items();
    double width = 0;
    double height = symbolSide(font);
    for (const Item& item : row) {
        width += itemWidth(item, font);
        if (item.kind == Item::Kind::time) {
            height = std::max(height, QFontMetricsF(font).height());
        }
    }
    width += spacing * double(std::max<qsizetype>(0, row.size() - 1));
    return {width, height};
}

void MenuBarDisplayContent::paint(QPainter& painter, const QRectF& rect, const QFont& font,
                                  const QColor& color) const {
    const QSizeF total = size(font);
    double x = rect.center().x() - total.width() / 2;
    const double midY = rect.center().y();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    for (const Item& item : items()) {
        const double w = itemWidth(item, font);
        switch (item.kind) {
        case Item::Kind::icon:
        case Item::Kind::pauseMark:
            SymbolIcon::paint(painter, QRectF(x, midY - w / 2, w, w), item.symbolName, color);
            break;
        case Item::Kind::time:
            painter.setFont(font);
            painter.setPen(color);
            QvText::drawTabular(painter, QRectF(x, rect.top(), w, rect.height()),
                                Qt::AlignLeft | Qt::AlignVCenter, item.text);
            break;
        }
        x += w + spacing;
    }
    painter.restore();
}
