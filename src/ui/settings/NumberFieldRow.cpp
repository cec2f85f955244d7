#include "ui/settings/NumberFieldRow.h"

#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/QvSurface.h"
#include "ui/kit/SettingBinding.h"
#include "ui/kit/TokenLabel.h"
#include "ui/kit/ViewEnvironment.h"
#include "ui/settings/SettingRowTexts.h"
#include "ui/settings/SettingsText.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Draws the field's rounded box; the outline darkens while the field holds the keyboard.
class FieldBox : public QWidget {
public:
    FieldBox(QWidget* parent) : QWidget(parent) {}
    QLineEdit* field = nullptr;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const ColorScheme scheme = ViewEnvironment::colorScheme(this);
        const QPainterPath shape =
            QvSurface::continuousRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8);
        p.fillPath(shape, QvColor::qvBgSurface().resolve(scheme));
        QColor outline = QvColor::qvBorder().resolve(scheme);
        if (field && field->hasFocus()) {
            outline = QvColor::qvInkPrimary().resolve(scheme);
            outline.setAlphaF(0.3f);
        }
        p.strokePath(shape, QPen(outline, 1));
    }
};

} // namespace

NumberFieldRow::NumberFieldRow(const char* title, const QString& unit, Preferences& preferences,
                               const PreferenceSetting<qint64>& setting, const char* hint, QWidget* parent)
    : QWidget(parent), m_title(title), m_hint(hint), m_preferences(preferences), m_setting(setting) {
    setObjectName(QStringLiteral("quorvane.settings.row.") + setting.key);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(16);

    const SettingRowTexts texts = SettingRowTexts::addTo(row, this, m_hint != nullptr);
    m_titleLabel = texts.title;
    m_hintLabel = texts.hint;

    auto* box = new FieldBox(this);
    m_box = box;
    box->setMinimumHeight(44);
    auto* boxRow = new QHBoxLayout(box);
    boxRow->setContentsMargins(8, 0, 8, 0);
    boxRow->setSpacing(4);
    m_field = new QLineEdit(box);
    box->field = m_field;
    m_field->setObjectName(QStringLiteral("quorvane.settings.field.") + setting.key);
    m_field->setFrame(false);
    m_field->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_field->setFont(QvFont::qvText(14, QFont::DemiBold));
    m_field->setFixedWidth(fieldWidth);
    m_field->setStyleSheet(QStringLiteral("background: transparent;"));
    boxRow->addWidget(m_field);
    if (!unit.isEmpty()) {
        auto* unitLabel = new TokenLabel(QvColor::qvInkMuted(), box);
        unitLabel->setObjectName(QStringLiteral("quorvane.settings.unit.") + setting.key);
        unitLabel->setFont(QvFont::qvText(13, QFont::Normal));
        unitLabel->setText(unit);
        boxRow->addWidget(unitLabel);
    }
    row->addWidget(box, 0, Qt::AlignTop);

    // A value written by anyone shows at once unless the user is typing: the typed text then wins until
    // it is committed.
    SettingBinding::observe(*this, m_preferences, m_setting, [this](qint64 value) {
        if (!m_field->hasFocus()) {
            m_field->setText(QString::number(value));
        }
    });
    // Qt's own editingFinished skips unchanged texts and repeated focus losses: commit on each instead.
    connect(m_field, &QLineEdit::returnPressed, this, &NumberFieldRow::commit);
    m_field->installEventFilter(this);
    retranslate();
}

std::optional<qint64> NumberFieldRow::parseStrictInteger(const QString& text) {
    qsizetype i = 0;
    if (!text.isEmpty() && (text[0] == QLatin1Char('+') || text[0] == QLatin1Char('-'))) {
        i = 1;
    }
    if (i >= text.size()) {
        return std::nullopt;
    }
    for (qsizetype j = i; j < text.size(); ++j) {
        const char16_t c = text[j].unicode();
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
    }
    bool ok = false;
    const qint64 value = text.toLongLong(&ok, 10);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

qint64 NumberFieldRow::committedValue(const QString& text, qint64 current, const IntegerRange& range) {
    const qint64 candidate = parseStrictInteger(text).value_or(current);
    return std::clamp(candidate, range.minimum, range.maximum);
}

void NumberFieldRow::commit() {
    const qint64 value = committedValue(m_field->text(), m_setting.read(m_preferences), m_setting.range);
    m_setting.write(m_preferences, value);
    m_field->setText(QString::number(value));
}

bool NumberFieldRow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_field) {
        if (event->type() == QEvent::FocusOut) {
            commit();
            m_box->update();
        } else if (event->type() == QEvent::FocusIn) {
            m_box->update();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void NumberFieldRow::retranslate() {
    m_titleLabel->setText(settingsText(m_title));
    if (m_hintLabel) {
        m_hintLabel->setText(settingsText(m_hint));
    }
}

void NumberFieldRow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
    }
    QWidget::changeEvent(event);
}
