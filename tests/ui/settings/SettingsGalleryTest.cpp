// Writes pictures of the settings controls into the build tree for people to look at, light and dark, in
// English and Japanese; the assertions check that they were written and that no choice's name is cut short.
#include "platform/Preferences.h"
#include "platform/TranslationCatalog.h"
#include "theme/QvFont.h"
#include "ui/kit/ViewEnvironment.h"
#include "ui/settings/MenuBarAppearancePicker.h"
#include "ui/settings/MenuBarPreviewButton.h"

#include <QDir>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QPainter>

#include <gtest/gtest.h>

TEST(SettingsGalleryTest, WritesTheMenuBarPickerInBothSchemesAndLanguages) {
    const struct {
        const char* caption;
        ColorScheme scheme;
        const char* language;
        QColor background;
    } variants[] = {
        {"light", ColorScheme::light, "en", QColor(0xf4, 0xf4, 0xf1)},
        {"dark", ColorScheme::dark, "en", QColor(0x18, 0x1a, 0x19)},
        {"Japanese", ColorScheme::light, "ja", QColor(0xf4, 0xf4, 0xf1)},
    };
    const QSize size(380, 220); // room for any picker; each window takes its own height
    QImage sheet(QSize(3 * (size.width() + 20) + 20, size.height() + 40),
                 QImage::Format_ARGB32_Premultiplied);
    sheet.fill(Qt::white);
    QPainter p(&sheet);
    for (int i = 0; i < 3; ++i) {
        const auto& v = variants[i];
        ASSERT_TRUE(TranslationCatalog::install(QLatin1String(v.language)));
        QWidget window;
        window.setAutoFillBackground(true);
        QPalette palette = window.palette();
        palette.setColor(QPalette::Window, v.background);
        window.setPalette(palette);
        ViewEnvironment::setColorScheme(&window, v.scheme);
        Preferences prefs;
        auto* picker = new MenuBarAppearancePicker(prefs);
        auto* layout = new QHBoxLayout(&window);
        layout->setContentsMargins(10, 10, 10, 10);
        layout->addWidget(picker);
        window.resize(size.width(), window.sizeHint().height());
        window.show();
        EXPECT_GE(picker->height(), picker->minimumSizeHint().height()) << v.caption;

        const QFontMetricsF labelMetrics(QvFont::qvText(9, QFont::DemiBold));
        for (const MenuBarPreviewButton* button : picker->findChildren<MenuBarPreviewButton*>()) {
            EXPECT_LE(labelMetrics.horizontalAdvance(button->labelText()), button->width() - 8)
                << v.caption << " " << button->labelText().toStdString();
        }
        const QPointF origin(20 + i * (size.width() + 20), 30);
        p.setPen(Qt::black);
        p.drawText(origin - QPointF(0, 10), QLatin1String(v.caption));
        p.drawImage(origin, window.grab().toImage());
    }
    p.end();
    TranslationCatalog::install(QStringLiteral("en"));
    QDir().mkpath(QStringLiteral("settings-gallery"));
    EXPECT_TRUE(sheet.save(QStringLiteral("settings-gallery/menubar-picker.png")));
}
