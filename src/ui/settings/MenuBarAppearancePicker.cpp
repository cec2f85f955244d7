#include "ui/settings/MenuBarAppearancePicker.h"

#include "core/SettingsKeys.h"
#include "platform/Preferences.h"
#include "theme/MenuBarDisplayContent.h"
#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/SymbolIcon.h"
#include "ui/kit/TokenLabel.h"
#include "ui/settings/MenuBarPreviewButton.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace {

TokenLabel* makeHeading(QWidget* parent) {
    auto* heading = new TokenLabel(QvColor::qvInkSecondary(), parent);
    heading->setFont(QvFont::qvText(13, QFont::DemiBold));
    return heading;
}

} // namespace

MenuBarAppearancePicker::MenuBarAppearancePicker(Preferences& defaults, QWidget* parent)
    : QWidget(parent), m_defaults(defaults) {
    setObjectName(QStringLiteral("quorvane.settings.menuBar"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(12);

    m_layoutHeading = makeHeading(this);
    column->addWidget(m_layoutHeading, 0, Qt::AlignLeft);

    auto* modeRow = new QHBoxLayout;
    modeRow->setSpacing(8);
    for (MenuBarDisplayMode mode : allMenuBarDisplayModes()) {
        auto* button = new MenuBarPreviewButton(
            [mode] { return label(mode); },
            [this, mode](QPainter& painter, const QRectF& frame, const QColor& color) {
                const MenuBarDisplayContent content{mode, currentIconStyle(), true, false,
                                                    QStringLiteral("25:00")};
                content.paint(painter, frame, QvFont::qvText(11, QFont::Medium), color);
            },
            this);
        button->setObjectName(objectNameFor(toRaw(mode)));
        connect(button, &QAbstractButton::clicked, this,
                [this, mode] { SettingsKeys::menuBarDisplayMode.write(m_defaults, toRaw(mode)); });
        modeRow->addWidget(button, 1);
        m_modeButtons << button;
    }
    column->addLayout(modeRow);

    m_iconHeading = makeHeading(this);
    column->addWidget(m_iconHeading, 0, Qt::AlignLeft);

    auto* iconRow = new QHBoxLayout;
    iconRow->setSpacing(8);
    for (MenuBarIconStyle style : allMenuBarIconStyles()) {
        auto* button = new MenuBarPreviewButton(
            [style] { return label(style); },
            [style](QPainter& painter, const QRectF& frame, const QColor& color) {
                const double side = MenuBarDisplayContent::symbolSide(QvFont::qvText(16, QFont::Medium));
                SymbolIcon::paint(
                    painter, QRectF(frame.center().x() - side / 2, frame.center().y() - side / 2, side, side),
                    symbolName(style), color);
            },
            this);
        button->setObjectName(objectNameFor(toRaw(style)));
        connect(button, &QAbstractButton::clicked, this,
                [this, style] { SettingsKeys::menuBarIconStyle.write(m_defaults, toRaw(style)); });
        iconRow->addWidget(button, 1);
        m_iconButtons << button;
    }
    column->addLayout(iconRow);

    connect(&m_defaults, &Preferences::changed, this, [this](const QString& key) {
        if (key == SettingsKeys::menuBarDisplayMode.key || key == SettingsKeys::menuBarIconStyle.key) {
            refresh();
        }
    });
    retranslate();
    refresh();
}

QString MenuBarAppearancePicker::objectNameFor(const QString& raw) {
    return QStringLiteral("quorvane.settings.menuBar.") + raw;
}

MenuBarDisplayMode MenuBarAppearancePicker::currentMode() const {
    return menuBarDisplayModeFromRaw(SettingsKeys::menuBarDisplayMode.read(m_defaults))
        .value_or(MenuBarDisplayMode::timeOnly);
}

MenuBarIconStyle MenuBarAppearancePicker::currentIconStyle() const {
    return menuBarIconStyleFromRaw(SettingsKeys::menuBarIconStyle.read(m_defaults))
        .value_or(MenuBarIconStyle::windup);
}

void MenuBarAppearancePicker::refresh() {
    const MenuBarDisplayMode mode = currentMode();
    const MenuBarIconStyle style = currentIconStyle();
    const QList<MenuBarDisplayMode> modes = allMenuBarDisplayModes();
    for (qsizetype i = 0; i < m_modeButtons.size(); ++i) {
        m_modeButtons[i]->setSelected(modes[i] == mode);
        m_modeButtons[i]->update(); // the previews follow the icon style
    }
    const QList<MenuBarIconStyle> styles = allMenuBarIconStyles();
    for (qsizetype i = 0; i < m_iconButtons.size(); ++i) {
        m_iconButtons[i]->setSelected(styles[i] == style);
    }
}

void MenuBarAppearancePicker::retranslate() {
    m_layoutHeading->setText(tr("Layout"));
    m_iconHeading->setText(tr("Icon"));
}

void MenuBarAppearancePicker::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
    }
    QWidget::changeEvent(event);
}
