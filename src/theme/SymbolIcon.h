#pragma once
// Our line-icon set, looked up by symbol name ("timer", "pause.fill", …) and drawn in any colour.

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QRectF>
#include <QString>
#include <QStringList>

class QPainter;
class QSvgRenderer;

class SymbolIcon {
public:
    // Every name the set draws.
    static QStringList names();
    static bool contains(const QString& name);
    // The drawing of a name; an unknown name gets a visible stand-in (a dashed square with a question
    // mark) and one warning in the log, never a crash.
    static QSvgRenderer* renderer(const QString& name);

    // Draws the symbol in `color`, fitted into `rect` with its proportions kept.
    static void paint(QPainter& painter, const QRectF& rect, const QString& name, const QColor& color);
    static QPixmap pixmap(const QString& name, const QSize& size, const QColor& color,
                          qreal devicePixelRatio = 1.0);
    // An icon that draws itself at whatever size it is asked for. On a highlighted row (a menu's chosen
    // item) it takes `highlighted`, the highlighted text colour of that menu, so it shows on the highlight
    // as the row's text does.
    static QIcon icon(const QString& name, const QColor& color, const QColor& highlighted);

    SymbolIcon() = delete;
};
