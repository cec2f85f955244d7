// Writes pictures of the surfaces, the menu-bar label, the picker and the icon set into the build tree,
// for people to look at; the assertions only check that they were written.
#include "platform/Preferences.h"
#include "theme/AccentTheme.h"
#include "theme/MenuBarAppearancePicker.h"
#include "theme/MenuBarDisplayContent.h"
#include "theme/QV.h"
#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/QvSurface.h"
#include "theme/QvText.h"
#include "theme/SymbolIcon.h"

#include <QDir>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

QString galleryPath(const QString& file) {
    QDir dir(QDir::currentPath());
    dir.mkpath(QStringLiteral("theme-gallery"));
    return dir.filePath(QStringLiteral("theme-gallery/") + file);
}

void drawSchemePanel(QPainter& p, const QRectF& area, ColorScheme scheme) {
    p.fillRect(area, QvColor::qvCanvas().resolve(scheme));
    const QColor ink = QvColor::qvTextPrimary().resolve(scheme);
    p.setFont(QvFont::qvText(QV::tCaption, QFont::Medium));
    const double x0 = area.left() + 30, x1 = area.left() + 250;
    double y = area.top() + 30;
    struct Entry {
        QString caption;
        SurfaceStyle style;
        QSizeF size;
    };
    const QList<std::pair<Entry, Entry>> rows = {
        {{QStringLiteral("card"), QvSurface::qvCard(false, QV::rCard, scheme), {180, 70}},
         {QStringLiteral("card, hovered"), QvSurface::qvCard(true, QV::rCard, scheme), {180, 70}}},
        {{QStringLiteral("chip"), QvSurface::qvChip(false, scheme), {90, 32}},
         {QStringLiteral("chip, hovered"), QvSurface::qvChip(true, scheme), {90, 32}}},
        {{QStringLiteral("reference card"),
          QvSurface::qvReferenceCard(false, QV::rSurface, scheme),
          {180, 70}},
         {QStringLiteral("reference card, hovered"),
          QvSurface::qvReferenceCard(true, QV::rSurface, scheme),
          {180, 70}}},
    };
    for (const auto& [left, right] : rows) {
        for (const auto& [x, entry] : {std::make_pair(x0, left), std::make_pair(x1, right)}) {
            QvSurface::paint(p, QRectF(QPointF(x, y), entry.size), entry.style);
            p.setPen(ink);
            p.drawText(QPointF(x + 12, y + 22), entry.caption);
        }
        y += std::max(left.size.height(), right.size.height()) + 40;
    }
    QvSurface::paint(p, QRectF(x0, y, 404, QV::bottomBarHeight), QvSurface::qvFloatingBar(scheme));
    p.setPen(ink);
    p.drawText(QPointF(x0 + 20, y + 32), QStringLiteral("floating bar"));
    y += QV::bottomBarHeight + 50;

    p.setFont(QvText::sectionLabelFont());
    p.setPen(QvText::sectionLabelColor(scheme));
    p.drawText(QPointF(x0, y), QStringLiteral("section label"));
    y += 40;
    p.setFont(QvFont::qvDisplay(QV::tTimerNumeral, QFont::Medium));
    p.setPen(ink);
    QvText::drawTabular(p, QRectF(x0, y, 400, 50), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("11:11"));
    QvText::drawTabular(p, QRectF(x0, y + 50, 400, 50), Qt::AlignLeft | Qt::AlignVCenter,
                        QStringLiteral("80:08"));
    p.setFont(QvFont::qvText(QV::tBody, QFont::Normal));
    p.drawText(QPointF(x1 + 20, y + 30), QStringLiteral("19:44まで あと4:05"));
    QColor soft = QvColor::qvAccentSoft(AccentTheme::orange);
    p.setBrush(soft);
    p.setPen(QvColor::qvAccent(AccentTheme::orange));
    p.drawEllipse(QRectF(x1 + 20, y + 50, 40, 40));
}

} // namespace

TEST(ThemeGalleryTest, WritesPicturesForPeople) {
    // Surfaces in both schemes, side by side.
    QImage surfaces(1000, 720, QImage::Format_ARGB32_Premultiplied);
    {
        QPainter p(&surfaces);
        p.setRenderHint(QPainter::Antialiasing);
        drawSchemePanel(p, QRectF(0, 0, 500, 720), ColorScheme::light);
        drawSchemePanel(p, QRectF(500, 0, 500, 720), ColorScheme::dark);
    }
    EXPECT_TRUE(surfaces.save(galleryPath(QStringLiteral("surfaces.png"))));

    // The label in every mode and timer state, at twice the size, on a preview pill.
    const int scale = 2;
    QImage label(3 * 190 * scale + 20, (4 * 44 + 40) * scale, QImage::Format_ARGB32_Premultiplied);
    label.fill(QvColor::qvCanvas().resolve(ColorScheme::light));
    {
        QPainter p(&label);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(scale, scale);
        p.setFont(QvFont::qvText(10, QFont::Medium));
        const QStringList states = {QStringLiteral("no timer"), QStringLiteral("running"),
                                    QStringLiteral("paused")};
        for (int col = 0; col < 3; ++col) {
            p.setPen(QvColor::qvTextSecondary().resolve(ColorScheme::light));
            p.drawText(QPointF(10 + 190 * col + 60, 16), states[col]);
        }
        int row = 0;
        for (MenuBarDisplayMode mode : allMenuBarDisplayModes()) {
            for (int col = 0; col < 3; ++col) {
                const QRectF cell(10 + 190 * col, 26 + 44 * row, 170, 28);
                const MenuBarDisplayContent content{mode, MenuBarIconStyle::windup, col > 0, col == 2,
                                                    QStringLiteral("04:05")};
                const QFont font = QvFont::qvText(11, QFont::Medium);
                const double width = content.size(font).width() + 20;
                const QRectF pill(cell.left(), cell.top(), width, 28);
                p.fillPath(QvSurface::continuousRoundedRect(pill, 12),
                           QvColor::qvSurface().resolve(ColorScheme::light));
                p.strokePath(QvSurface::continuousRoundedRect(pill, 12),
                             QPen(QvColor::qvStroke().resolve(ColorScheme::light), 1));
                content.paint(p, pill, font, QvColor::qvTextPrimary().resolve(ColorScheme::light));
                p.setPen(QvColor::qvTextTertiary().resolve(ColorScheme::light));
                p.setFont(QvFont::qvText(9, QFont::Normal));
                p.drawText(QPointF(cell.left() + width + 6, cell.top() + 18), toRaw(mode));
            }
            ++row;
        }
        int col = 0;
        for (MenuBarIconStyle style : allMenuBarIconStyles()) {
            const QRectF pill(10 + 190 * col, 26 + 44 * row, 120, 28);
            const MenuBarDisplayContent content{MenuBarDisplayMode::iconAndTime, style, true, false,
                                                QStringLiteral("25:00")};
            p.fillPath(QvSurface::continuousRoundedRect(pill, 12),
                       QvColor::qvSurface().resolve(ColorScheme::light));
            content.paint(p, pill, QvFont::qvText(11, QFont::Medium),
                          QvColor::qvTextPrimary().resolve(ColorScheme::light));
            ++col;
        }
    }
    EXPECT_TRUE(label.save(galleryPath(QStringLiteral("menubar-label.png"))));

    Preferences prefs;
    prefs.setString(QStringLiteral("bl.menubar.displayMode"), QStringLiteral("iconAndTime"));
    MenuBarAppearancePicker picker(prefs);
    picker.setAutoFillBackground(true);
    QPalette palette = picker.palette();
    palette.setColor(QPalette::Window, QvColor::qvBgCard().resolve(ColorScheme::light));
    picker.setPalette(palette);
    picker.resize(380, 190);
    EXPECT_TRUE(picker.grab().save(galleryPath(QStringLiteral("picker.png"))));

    const QStringList names = SymbolIcon::names();
    const int columns = 6;
    QImage icons(columns * 150, int((names.size() + columns - 1) / columns) * 70 + 10,
                 QImage::Format_ARGB32_Premultiplied);
    icons.fill(Qt::white);
    {
        QPainter p(&icons);
        p.setRenderHint(QPainter::Antialiasing);
        for (qsizetype i = 0; i < names.size(); ++i) {
            const QPointF origin(10 + 150 * (i % columns), 10 + 70 * (i / columns));
            SymbolIcon::paint(p, QRectF(origin, QSizeF(32, 32)), names[i],
                              QvColor::qvInkPrimary().resolve(ColorScheme::light));
            SymbolIcon::paint(p, QRectF(origin + QPointF(44, 8), QSizeF(16, 16)), names[i],
                              QvColor::qvOrangeLive().resolve(ColorScheme::light));
            p.setFont(QvFont::qvText(10, QFont::Normal));
            p.setPen(QvColor::qvTextSecondary().resolve(ColorScheme::light));
            p.drawText(QPointF(origin.x(), origin.y() + 50), names[i]);
        }
    }
    EXPECT_TRUE(icons.save(galleryPath(QStringLiteral("icons.png"))));
}
