#include "ui/settings/StepperRow.h"

#include "core/Saturating.h"
#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "ui/kit/LabelButton.h"
#include "ui/kit/SettingBinding.h"
#include "ui/kit/TokenLabel.h"
#include "ui/settings/SettingRowTexts.h"
#include "ui/settings/SettingsText.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include <algorithm>

namespace {

LabelButton* makeStepButton(const QString& symbol, QWidget* parent) {
    LabelButton::Look look(QvColor::qvBgSurface(), QvColor::qvInkPrimary(),
                           QvFont::qvText(14, QFont::DemiBold));
    look.outline = QvColor::qvBorder();
    look.symbol = symbol;
    look.cornerRadius = 10;
    look.horizontalPadding = 0;
    look.disabledOpacity = 0.45; // muted ink when at the end of the range
    auto* button = new LabelButton(0.96, look, parent);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::StrongFocus);
    return button;
}

} // namespace

StepperRow::StepperRow(const char* title, const char* hint, const QString& unit, Preferences& preferences,
                       const PreferenceSetting<qint64>& setting, QWidget* parent)
    : QWidget(parent), m_title(title), m_hint(hint), m_unit(unit), m_preferences(preferences),
      m_setting(setting) {
    setObjectName(QStringLiteral("quorvane.settings.row.") + setting.key);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(16);

    const SettingRowTexts texts = SettingRowTexts::addTo(row, this, m_hint != nullptr);
    m_titleLabel = texts.title;
    m_hintLabel = texts.hint;

    auto* controls = new QHBoxLayout;
    controls->setSpacing(4);
    m_minus = makeStepButton(QStringLiteral("minus"), this);
    m_minus->setObjectName(QStringLiteral("quorvane.settings.minus.") + setting.key);
    m_value = new TokenLabel(QvColor::qvInkPrimary(), this);
    m_value->setObjectName(QStringLiteral("quorvane.settings.value.") + setting.key);
    m_value->setFont(QvFont::qvText(14, QFont::DemiBold));
    m_value->setMinimumWidth(32);
    m_value->setAlignment(Qt::AlignCenter);
    m_plus = makeStepButton(QStringLiteral("plus"), this);
    m_plus->setObjectName(QStringLiteral("quorvane.settings.plus.") + setting.key);
    controls->addWidget(m_minus);
    controls->addWidget(m_value);
    controls->addWidget(m_plus);
    row->addLayout(controls);

    const auto step = [this](int direction) {
        const qint64 current = m_setting.read(m_preferences);
        const qint64 span = std::max<qint64>(1, m_setting.range.step);
        // Held only at the end it moves towards: one step down from a stored value above the range is
        // one less, not the upper bound.
        const qint64 next = direction < 0 ? std::max(saturatingAdd(current, -span), m_setting.range.minimum)
                                          : std::min(saturatingAdd(current, span), m_setting.range.maximum);
        m_setting.write(m_preferences, next);
    };
    connect(m_minus, &QAbstractButton::clicked, this, [step] { step(-1); });
    connect(m_plus, &QAbstractButton::clicked, this, [step] { step(+1); });
    SettingBinding::observe(*this, m_preferences, m_setting, [this](qint64 value) { showValue(value); });
    retranslate();
}

QString StepperRow::valueText() const {
    return m_value->text();
}

void StepperRow::showValue(qint64 value) {
    m_value->setText(m_unit.isEmpty() ? QString::number(value) : tr("%1 %2").arg(value).arg(m_unit));
    m_minus->setEnabled(value > m_setting.range.minimum);
    m_plus->setEnabled(value < m_setting.range.maximum);
}

void StepperRow::retranslate() {
    m_titleLabel->setText(settingsText(m_title));
    if (m_hintLabel) {
        m_hintLabel->setText(settingsText(m_hint));
    }
    m_minus->setAccessibleName(tr("Decrease"));
    m_plus->setAccessibleName(tr("Increase"));
    showValue(m_setting.read(m_preferences));
}

void StepperRow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
    }
    QWidget::changeEvent(event);
}
