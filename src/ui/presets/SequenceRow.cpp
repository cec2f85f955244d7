#include "ui/presets/SequenceRow.h"

#include "platform/JsonCodec.h"
#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/SymbolIcon.h"
#include "ui/kit/TabularTokenLabel.h"
#include "ui/kit/ViewEnvironment.h"
#include "ui/presets/ElidedLabel.h"
#include "ui/presets/OptionsMenuButton.h"
#include "ui/presets/PresetsScreenModel.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QMenu>
#include <QPainter>
#include <QVBoxLayout>

namespace {

// "Active" on a faint accent ground.
class ActiveBadge : public QLabel {
public:
    explicit ActiveBadge(QWidget* parent) : QLabel(parent) {
        setFont(QvFont::qvText(10, QFont::DemiBold));
        setContentsMargins(6, 1, 6, 1);
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        QPalette colours = palette();
        colours.setColor(QPalette::WindowText,
                         QvColor::qvInkSecondary().resolve(ViewEnvironment::colorScheme(parent)));
        setPalette(colours);
    }
    void setAccent(const QColor& accent) {
        m_accent = accent;
        update();
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QColor ground = m_accent;
        ground.setAlphaF(0.12f);
        painter.setPen(Qt::NoPen);
        painter.setBrush(ground);
        painter.drawRoundedRect(QRectF(rect()), 8, 8);
        painter.end();
        QLabel::paintEvent(event);
    }

private:
    QColor m_accent;
};

} // namespace

SequenceRow::SequenceRow(PresetsScreenModel& model, const TimerSequence& sequence, QWidget* parent)
    : ListRow(parent), m_model(model), m_sequence(sequence) {
    const QString id = JsonCodec::uuidText(sequence.id);
    setObjectName(QStringLiteral("presetsScreen.sequenceRow.") + id);
    auto* row = new QHBoxLayout(this);
    row->setSpacing(16);

    auto* leading = new QVBoxLayout;
    leading->setSpacing(2);
    auto* nameLine = new QHBoxLayout;
    nameLine->setSpacing(4);
    m_name = new ElidedLabel(QvColor::qvInkPrimary(), this);
    m_name->setFont(QvFont::qvText(14, QFont::Medium));
    nameLine->addWidget(m_name, 0);
    m_activeBadge = new ActiveBadge(this);
    m_activeBadge->setObjectName(QStringLiteral("presetsScreen.sequenceRow.active.") + id);
    nameLine->addWidget(m_activeBadge);
    nameLine->addStretch(1);
    leading->addLayout(nameLine);
    m_summary = new ElidedLabel(QvColor::qvInkMuted(), this);
    m_summary->setFont(QvFont::qvText(12, QFont::Normal));
    leading->addWidget(m_summary);
    row->addLayout(leading, 1);

    m_total = new TabularTokenLabel(QvColor::qvInkPrimary(), this);
    m_total->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_total->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    m_total->setFont(QvFont::qvText(14, QFont::DemiBold));
    row->addWidget(m_total);

    m_menu = new OptionsMenuButton(
        [this](QMenu& menu) {
            const TimerSequence sequenceNow = m_sequence;
            const QColor onHighlight = menu.palette().color(QPalette::Active, QPalette::HighlightedText);
            QAction* edit = menu.addAction(
                SymbolIcon::icon(QStringLiteral("pencil"), palette().text().color(), onHighlight),
                tr("Edit"));
            edit->setObjectName(QStringLiteral("edit"));
            connect(edit, &QAction::triggered, &m_model,
                    [this, sequenceNow] { m_model.editSequence(sequenceNow); });
            QAction* duplicate = menu.addAction(SymbolIcon::icon(QStringLiteral("plus.square.on.square"),
                                                                 palette().text().color(), onHighlight),
                                                tr("Duplicate"));
            duplicate->setObjectName(QStringLiteral("duplicate"));
            connect(duplicate, &QAction::triggered, &m_model,
                    [this, sequenceNow] { m_model.duplicateSequence(sequenceNow); });
            QAction* remove =
                menu.addAction(SymbolIcon::icon(QStringLiteral("trash"),
                                                QvColor::qvDanger().resolve(ColorScheme::light), onHighlight),
                               tr("Delete"));
            remove->setObjectName(QStringLiteral("delete"));
            connect(remove, &QAction::triggered, &m_model,
                    [this, sequenceNow] { m_model.requestDeleteSequence(sequenceNow); });
        },
        this);
    m_menu->setObjectName(QStringLiteral("presetsScreen.sequenceRow.menu.") + id);
    row->addWidget(m_menu);

    readTextsInLabel({m_name, m_activeBadge, m_summary, m_total});
    connect(this, &ListRow::activated, this, [this] { m_model.applySequence(m_sequence); });
    setCompact(false);
    setSequence(sequence, false);
}

void SequenceRow::setCompact(bool compact) {
    // Less room where the menu's 44 px target already pads the row.
    layout()->setContentsMargins(compact ? 12 : 16, compact ? 6 : 8, compact ? 12 : 16, compact ? 6 : 8);
}

void SequenceRow::setAccent(const QColor& accent) {
    ListRow::setAccent(accent);
    static_cast<ActiveBadge*>(m_activeBadge)->setAccent(accent);
}

void SequenceRow::setSequence(const TimerSequence& sequence, bool active) {
    m_sequence = sequence;
    m_active = active;
    m_name->setFullText(sequence.name);
    m_summary->setFullText(sequence.stepsSummary());
    m_activeBadge->setVisible(active);
    retranslate();
}

void SequenceRow::retranslate() {
    m_activeBadge->setText(tr("Active"));
    m_total->setText(PresetsScreenModel::minutesText(PresetsScreenModel::totalMinutes(m_sequence)));
    setAccessibleName(tr("%1, %2").arg(m_sequence.name, m_sequence.stepsSummary()));
    setAccessibleDescription(tr("Use this sequence"));
    m_menu->setAccessibleName(tr("Options for sequence %1").arg(m_sequence.name));
}

void SequenceRow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
    }
    ListRow::changeEvent(event);
}
