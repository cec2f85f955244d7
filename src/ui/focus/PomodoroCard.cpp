#include "ui/focus/PomodoroCard.h"

#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "ui/focus/PomodoroSequenceStep.h"
#include "ui/focus/PomodoroSimpleEntry.h"
#include "ui/focus/ReferenceTextButton.h"
#include "ui/focus/SequenceAddTile.h"
#include "ui/focus/SequenceStepPreview.h"
#include "ui/kit/AccessibleTraits.h"
#include "ui/kit/TokenLabel.h"
#include "ui/kit/ViewEnvironment.h"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>

namespace {

// The row's 64 px frame holds the 58 px tiles at its top.
constexpr int kRowTop = 22;
constexpr int kGap = 8;
constexpr int kStopWidth = 52;
constexpr int kStopHeight = 32;

// The start card's ground: it draws nothing but the small arrows in the gaps after each tile.
class SequenceRowGround : public QWidget {
public:
    explicit SequenceRowGround(QWidget* parent) : QWidget(parent) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QvColor::qvStroke().resolve(ViewEnvironment::colorScheme(this)), 1, Qt::SolidLine,
                            Qt::RoundCap, Qt::RoundJoin));
        // Each arrow is centred on the tile before it.
        const double top = kRowTop + (PomodoroSequenceStep::tileHeight - 8) / 2.0;
        for (int i = 0; i < PomodoroCardModel::stepCount; ++i) {
            const double left = (i + 1) * (PomodoroSequenceStep::tileWidth + kGap) - kGap;
            QPainterPath arrow;
            arrow.moveTo(left, top + 4);
            arrow.lineTo(left + 6, top + 4);
            arrow.moveTo(left + 3, top + 1);
            arrow.lineTo(left + 6, top + 4);
            arrow.lineTo(left + 3, top + 7);
            painter.drawPath(arrow);
        }
    }
};

} // namespace

PomodoroCard::PomodoroCard(PomodoroCardModel* model, QWidget* parent) : QWidget(parent), m_model(model) {
    m_model->setParent(this);
    setObjectName(QStringLiteral("quorvane.pomodoro"));

    m_simpleEntry = new PomodoroSimpleEntry(this);
    m_simpleEntry->move(0, topRoom);
    connect(m_simpleEntry, &QAbstractButton::clicked, m_model, &PomodoroCardModel::prepareFirstStep);

    m_startCard = new SequenceRowGround(this);
    m_startCard->setObjectName(QStringLiteral("quorvane.pomodoro.sequence"));
    AccessibleTraits::setRole(m_startCard, QAccessible::List);
    m_startCard->setGeometry(0, topRoom, cardWidth, startCardHeight);
    // Shown as written in every language.
    m_header = new TokenLabel(QvColor::qvTextSecondary(), m_startCard);
    m_header->setFont(QvFont::qvText(10, QFont::DemiBold));
    m_header->setText(QStringLiteral("POMODORO SEQUENCE"));
    m_header->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_header->setGeometry(0, 0, cardWidth - kStopWidth, 12);

    int x = 0;
    const auto steps = m_model->steps();
    for (const PomodoroSequenceStepData& step : steps) {
        auto* tile = new PomodoroSequenceStep(step, m_startCard);
        tile->move(x, kRowTop - PomodoroSequenceStep::liftRoom);
        const int ordinal = step.ordinal;
        // Judged again at the click: the state may have moved on since the tile was drawn.
        connect(tile, &QAbstractButton::clicked, m_model,
                [this, ordinal] { m_model->activateStep(ordinal); });
        m_tiles << tile;
        x += PomodoroSequenceStep::tileWidth + kGap;
    }
    m_addTile = new SequenceAddTile(m_startCard);
    m_addTile->move(x, kRowTop - SequenceAddTile::liftRoom);
    connect(m_addTile, &QAbstractButton::clicked, m_model, &PomodoroCardModel::addOrManageSequence);

    // A child of the card, not of the start card, so it can reach above the header line.
    m_stop = new ReferenceTextButton(tr("Stop"), QvColor::qvDanger(), this);
    m_stop->setObjectName(QStringLiteral("quorvane.pomodoro.stop"));
    m_stop->setFixedSize(kStopWidth, kStopHeight);
    m_stop->move(cardWidth - kStopWidth, topRoom - 10);
    connect(m_stop, &QAbstractButton::clicked, m_model, &PomodoroCardModel::stopSession);

    connect(m_model, &PomodoroCardModel::changed, this, &PomodoroCard::refresh);
    m_showsStartCard = !m_model->isSessionActive(); // so the first refresh sets the size
    refresh();
}

bool PomodoroCard::showsStartCard() const {
    return m_showsStartCard;
}

PomodoroSequenceStep* PomodoroCard::stepTile(int ordinal) const {
    return ordinal >= 1 && ordinal <= m_tiles.size() ? m_tiles.at(ordinal - 1) : nullptr;
}

SequenceStepPreview* PomodoroCard::preview() const {
    return m_preview;
}

void PomodoroCard::refresh() {
    const bool active = m_model->isSessionActive();
    const auto steps = m_model->steps();
    for (PomodoroSequenceStep* tile : std::as_const(m_tiles)) {
        const PomodoroSequenceStepData& step = steps.at(tile->step().ordinal - 1);
        if (!(tile->step() == step)) {
            tile->setStep(step);
        }
        tile->setRunning(m_model->isStepRunning(step));
        tile->setEnabled(m_model->canPreparePomodoroStep(step));
    }
    m_simpleEntry->setSubtitle(m_model->simpleEntrySubtitle());

    if (active != m_showsStartCard) {
        m_showsStartCard = active;
        m_simpleEntry->setVisible(!active);
        m_startCard->setVisible(active);
        m_stop->setVisible(active);
        setFixedSize(cardWidth, topRoom + (active ? startCardHeight : int(PomodoroSimpleEntry::entryHeight)));
        emit faceChanged();
    }
    syncPreview();
}

void PomodoroCard::syncPreview() {
    const auto ordinal = m_model->previewedSequenceStepOrdinal();
    if (m_preview && (!ordinal || *ordinal != m_preview->step().ordinal)) {
        SequenceStepPreview* old = m_preview;
        m_preview = nullptr;
        old->hide();
        old->deleteLater();
    }
    PomodoroSequenceStep* tile = ordinal ? stepTile(*ordinal) : nullptr;
    if (m_preview || !tile || !tile->isVisible()) {
        return;
    }
    auto* preview = new SequenceStepPreview(tile->step(), this);
    m_preview = preview;
    const int shown = tile->step().ordinal;
    connect(preview, &SequenceStepPreview::closed, this, [this, preview, shown] {
        if (m_preview == preview) {
            m_preview = nullptr;
            preview->deleteLater();
        }
        m_model->closePreview(shown);
    });
    preview->popUpAbove(*tile);
}

void PomodoroCard::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
    }
    QWidget::changeEvent(event);
}

void PomodoroCard::retranslate() {
    m_stop->setTitle(tr("Stop"));
    m_simpleEntry->setSubtitle(m_model->simpleEntrySubtitle());
}
