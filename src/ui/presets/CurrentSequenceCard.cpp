#include "ui/presets/CurrentSequenceCard.h"

#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "ui/kit/AccessibleTraits.h"
#include "ui/kit/LabelButton.h"
#include "ui/kit/TokenLabel.h"
#include "ui/presets/ElidedLabel.h"
#include "ui/presets/PresetsLook.h"
#include "ui/presets/PresetsScreenModel.h"
#include "ui/presets/SequenceStepChip.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QVBoxLayout>

// The step chips in a row, 8 px apart, wrapping when the card is too narrow for all of them.
class StepChipFlow : public QWidget {
public:
    static constexpr int spacing = 8;

    explicit StepChipFlow(QWidget* parent) : QWidget(parent) {
        AccessibleTraits::setRole(this, QAccessible::List);
        QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
        policy.setHeightForWidth(true);
        setSizePolicy(policy);
    }

    void setChips(const QList<SequenceStepChip*>& chips) {
        for (SequenceStepChip* old : m_chips) {
            old->deleteLater();
            old->hide();
        }
        m_chips = chips;
        for (SequenceStepChip* chip : m_chips) {
            chip->setParent(this);
            chip->show();
        }
        place();
        updateGeometry();
    }
    const QList<SequenceStepChip*>& chips() const { return m_chips; }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override {
        const int rows = int((m_chips.size() + columns(width) - 1) / columns(width));
        return rows == 0 ? 0 : rows * SequenceStepChip::chipHeight + (rows - 1) * spacing;
    }
    QSize sizeHint() const override {
        const int count = int(m_chips.size());
        return QSize(count * SequenceStepChip::chipWidth + std::max(0, count - 1) * spacing,
                     heightForWidth(count * (SequenceStepChip::chipWidth + spacing)));
    }
    QSize minimumSizeHint() const override { return QSize(SequenceStepChip::chipWidth, 0); }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        place();
    }

private:
    static qsizetype columns(int width) {
        return std::max<qsizetype>(1, (width + spacing) / (SequenceStepChip::chipWidth + spacing));
    }
    void place() {
        const qsizetype perRow = columns(width());
        for (qsizetype i = 0; i < m_chips.size(); ++i) {
            const int column = int(i % perRow);
            const int row = int(i / perRow);
            m_chips.at(i)->move(column * (SequenceStepChip::chipWidth + spacing),
                                row * (SequenceStepChip::chipHeight + spacing));
        }
    }

    QList<SequenceStepChip*> m_chips;
};

CurrentSequenceCard::CurrentSequenceCard(PresetsScreenModel& model, const QColor& accent, QWidget* parent)
    : SurfaceWidget(Kind::card, parent), m_model(model), m_accent(accent) {
    setObjectName(QStringLiteral("presetsScreen.currentSequence"));
    setCornerRadius(20);
    setPadding(QMargins(16, 16, 16, 16));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0); // the padding above is all the room around the content
    column->setSpacing(8);

    auto* header = new QHBoxLayout;
    header->setSpacing(8);
    auto* titles = new QVBoxLayout;
    titles->setSpacing(2);
    m_caption = new TokenLabel(QvColor::qvInkMuted(), this);
    m_caption->setFont(QvFont::qvText(12, QFont::Medium));
    titles->addWidget(m_caption);
    m_name = new ElidedLabel(QvColor::qvInkPrimary(), this);
    m_name->setObjectName(QStringLiteral("presetsScreen.currentSequence.name"));
    m_name->setFont(QvFont::qvText(18, QFont::DemiBold));
    titles->addWidget(m_name);
    header->addLayout(titles, 1);
    LabelButton::Look editLook(QvColor::qvBgCard(), QvColor::qvInkSecondary(),
                               QvFont::qvText(12, QFont::DemiBold));
    editLook.outline = QvColor::qvBorderCard();
    editLook.cornerRadius = 8;
    editLook.horizontalPadding = 8;
    editLook.minimumSize = QSize(28, 28);
    m_edit = new LabelButton(PresetsLook::pressedScale, editLook, this);
    m_edit->setObjectName(QStringLiteral("presetsScreen.currentSequence.edit"));
    connect(m_edit, &QAbstractButton::clicked, this, [this] { m_model.editSequence(m_sequence); });
    header->addWidget(m_edit, 0, Qt::AlignTop);
    column->addLayout(header);

    m_chips = new StepChipFlow(this);
    column->addWidget(m_chips);

    auto* footer = new QHBoxLayout;
    footer->setSpacing(8);
    m_footer = new TokenLabel(QvColor::qvInkSecondary(), this);
    m_footer->setObjectName(QStringLiteral("presetsScreen.currentSequence.footer"));
    m_footer->setFont(QvFont::qvText(12, QFont::Medium));
    footer->addWidget(m_footer, 1);
    m_use = new LabelButton(PresetsLook::pressedScale, PresetsLook::accentAction(m_accent, 12), this);
    m_use->setObjectName(QStringLiteral("presetsScreen.currentSequence.use"));
    connect(m_use, &QAbstractButton::clicked, this, [this] { m_model.applySequence(m_sequence); });
    footer->addWidget(m_use);
    column->addLayout(footer);
    retranslate();
}

void CurrentSequenceCard::setSequence(const TimerSequence& sequence, bool active) {
    const bool stepsChanged = sequence.steps != m_sequence.steps || m_chips->chips().isEmpty();
    m_sequence = sequence;
    m_active = active;
    m_name->setFullText(sequence.name);
    if (stepsChanged) {
        QList<SequenceStepChip*> chips;
        for (qsizetype i = 0; i < sequence.steps.size(); ++i) {
            chips.append(new SequenceStepChip(sequence.steps.at(i), int(i + 1)));
        }
        m_chips->setChips(chips);
    }
    refreshSelection();
    retranslate();
}

void CurrentSequenceCard::setAccent(const QColor& accent) {
    m_accent = accent;
    refreshUseButton();
}

QList<SequenceStepChip*> CurrentSequenceCard::chips() const {
    return m_chips->chips();
}

void CurrentSequenceCard::refreshSelection() {
    for (SequenceStepChip* chip : m_chips->chips()) {
        const qsizetype ordinal = m_chips->chips().indexOf(chip) + 1;
        chip->setSelected(m_model.isStepChipSelected(ordinal));
    }
}

void CurrentSequenceCard::refreshUseButton() {
    if (m_active) {
        LabelButton::Look look(QvColor::qvBgSurface(), QvColor::qvInkMuted(),
                               QvFont::qvText(12, QFont::DemiBold));
        look.cornerRadius = 8;
        look.horizontalPadding = 8;
        look.minimumSize = QSize(58, 30);
        m_use->setLook(look);
        m_use->setText(tr("Active"));
    } else {
        LabelButton::Look look = PresetsLook::accentAction(m_accent, 12);
        look.horizontalPadding = 8;
        look.minimumSize = QSize(58, 30);
        m_use->setLook(look);
        m_use->setText(tr("Use"));
    }
    m_use->setEnabled(!m_active);
}

void CurrentSequenceCard::retranslate() {
    m_caption->setText(tr("Current Sequence"));
    m_edit->setText(tr("Edit"));
    m_footer->setText(PresetsScreenModel::footerText(m_sequence));
    refreshUseButton();
}

void CurrentSequenceCard::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
    }
    SurfaceWidget::changeEvent(event);
}
