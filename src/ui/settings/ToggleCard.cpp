#include "ui/settings/ToggleCard.h"

#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/QvSurface.h"
#include "theme/SymbolIcon.h"
#include "ui/kit/AccessibleTraits.h"
#include "ui/kit/SettingBinding.h"
#include "ui/kit/TokenLabel.h"
#include "ui/kit/ViewEnvironment.h"
#include "ui/settings/AccentSwitch.h"
#include "ui/settings/SettingsAccent.h"
#include "ui/settings/SettingsText.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace {

// The round icon badge, tinted with the accent while the switch is on.
class Badge : public QWidget {
public:
    Badge(QString icon, const AccentSwitch* toggle, QWidget* parent)
        : QWidget(parent), m_icon(std::move(icon)), m_toggle(toggle) {
        setFixedSize(28, 28);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const ColorScheme scheme = ViewEnvironment::colorScheme(this);
        const bool on = m_toggle->isOn();
        QColor fill = SettingsAccent::of(this);
        fill.setAlphaF(0.14f);
        p.setPen(Qt::NoPen);
        p.setBrush(on ? fill : QvColor::qvBgSurface().resolve(scheme));
        p.drawEllipse(rect());
        QColor ink = QvColor::qvInkMuted().resolve(scheme);
        ink.setAlphaF(0.6f);
        SymbolIcon::paint(p, QRectF(7.5, 7.5, 13, 13), m_icon, on ? SettingsAccent::of(this) : ink);
    }

private:
    QString m_icon;
    const AccentSwitch* m_toggle;
};

} // namespace

ToggleCard::ToggleCard(const QString& icon, const char* title, const char* hint, QWidget* parent)
    : QWidget(parent), m_icon(icon), m_title(title), m_hint(hint) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(10, 10, 10, 10);
    column->setSpacing(4);
    auto* top = new QHBoxLayout;
    top->setSpacing(8);
    m_switch = new AccentSwitch(this);
    m_badge = new Badge(icon, m_switch, this);
    top->addWidget(m_badge, 0, Qt::AlignTop);
    top->addStretch(1);
    top->addWidget(m_switch, 0, Qt::AlignTop);
    column->addLayout(top);
    m_titleLabel = new TokenLabel(QvColor::qvInkPrimary(), this);
    m_titleLabel->setFont(QvFont::qvText(13, QFont::DemiBold));
    m_titleLabel->setWordWrap(true);
    column->addWidget(m_titleLabel);
    if (m_hint) {
        m_hintLabel = new TokenLabel(QvColor::qvInkMuted(), this);
        m_hintLabel->setFont(QvFont::qvText(12, QFont::Normal));
        m_hintLabel->setWordWrap(true);
        column->addWidget(m_hintLabel);
    }
    column->addStretch(1);
    connect(m_switch, &AccentSwitch::toggleRequested, this, &ToggleCard::toggleRequested);
    // One element named by the title, with the switch's state; the switch holds the keyboard for it.
    AccessibleTraits::setRole(this, QAccessible::CheckBox);
    AccessibleTraits::setChecked(this, false);
    AccessibleTraits::readAsOne(this, m_switch);
    retranslate();
}

ToggleCard* ToggleCard::bound(const QString& icon, const char* title, Preferences& preferences,
                              const PreferenceSetting<bool>& setting, QWidget* parent) {
    auto* card = new ToggleCard(icon, title, nullptr, parent);
    card->setObjectName(QStringLiteral("quorvane.settings.toggle.") + setting.key);
    SettingBinding::observe(*card, preferences, setting, [card](bool on) { card->setOn(on); });
    connect(card, &ToggleCard::toggleRequested, card,
            [&preferences, setting](bool on) { setting.write(preferences, on); });
    return card;
}

bool ToggleCard::isOn() const {
    return m_switch->isOn();
}

void ToggleCard::setOn(bool on) {
    m_switch->setOn(on);
    AccessibleTraits::setChecked(this, on);
    m_badge->update();
}

QString ToggleCard::title() const {
    return m_titleLabel->text();
}

void ToggleCard::retranslate() {
    m_titleLabel->setText(settingsText(m_title));
    setAccessibleName(settingsText(m_title));
    if (m_hintLabel) {
        m_hintLabel->setText(settingsText(m_hint));
    }
}

void ToggleCard::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
    }
    QWidget::changeEvent(event);
}

void ToggleCard::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const ColorScheme scheme = ViewEnvironment::colorScheme(this);
    const QPainterPath shape =
        QvSurface::continuousRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8);
    QColor fill = QvColor::qvBgSurface().resolve(scheme);
    fill.setAlphaF(0.5f);
    p.fillPath(shape, fill);
    p.strokePath(shape, QPen(QvColor::qvBorder().resolve(scheme), 1));
}
