#include "ui/quickentry/QuickLaunchPane.h"

#include "platform/ReduceMotion.h"
#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/QvText.h"
#include "theme/SymbolIcon.h"
#include "ui/kit/AccessibleTraits.h"
#include "ui/kit/LabelButton.h"
#include "ui/kit/MotionCurves.h"
#include "ui/kit/PressableButton.h"
#include "ui/kit/TokenLabel.h"
#include "ui/kit/ViewEnvironment.h"
#include "ui/quickentry/InlineAlert.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QVariantAnimation>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// The focus ring circles the chip 3 px out with a 2 px line: 4 px of room around the chip.
constexpr int kRingOffset = 3;
constexpr int kRingRoom = kRingOffset + 1;
constexpr int kChipSide = QuickLaunchPane::chipDiameter + 2 * kRingRoom;
constexpr int kHoverMs = 120;
constexpr int kSelectMs = 160;
constexpr int kReducedSelectMs = 100;
constexpr double kFocusRingOpacity = 0.45;
constexpr double kLabelSize = 11;
// The label's room inside the circle.
constexpr double kLabelRoom = QuickLaunchPane::chipDiameter - 4;

QColor mix(const QColor& from, const QColor& to, double t) {
    const auto channel = [t](float a, float b) { return float(double(a) + (double(b) - double(a)) * t); };
    return QColor::fromRgbF(channel(from.redF(), to.redF()), channel(from.greenF(), to.greenF()),
                            channel(from.blueF(), to.blueF()), channel(from.alphaF(), to.alphaF()));
}

QString chipObjectName(const QUuid& id) {
    return QStringLiteral("quorvane.quickLaunch.chip.") + id.toString(QUuid::WithoutBraces).toUpper();
}

} // namespace

// One round chip: the preset's length, filled with the action colour while selected.
class QuickLaunchChip : public PressableButton {
public:
    QuickLaunchChip(const TimerPreset& preset, QWidget* parent)
        : PressableButton(0.94, parent), m_preset(preset) {
        setObjectName(chipObjectName(preset.id));
        layOutLabel();
        setFocusPolicy(Qt::TabFocus);
        AccessibleTraits::setRole(this, QAccessible::ListItem);
        AccessibleTraits::setSelected(this, false);
        setAttribute(Qt::WA_TranslucentBackground);
        setFixedSize(kChipSide, kChipSide);
        m_hover.setDuration(kHoverMs);
        m_hover.setEasingCurve(MotionCurves::easeOut());
        connect(&m_hover, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
            m_hoverLevel = v.toDouble();
            update();
        });
        m_select.setEasingCurve(QEasingCurve::InOutQuad);
        connect(&m_select, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
            m_selectLevel = v.toDouble();
            update();
        });
    }

    const TimerPreset& preset() const { return m_preset; }
    void setPreset(const TimerPreset& preset) {
        m_preset = preset;
        layOutLabel();
        update();
    }
    const QFont& labelFont() const { return m_labelFont; }
    bool isSelected() const { return m_selected; }
    bool isHovered() const { return m_hovered; }
    void setSelected(bool selected, bool animated) {
        if (selected == m_selected) {
            return;
        }
        m_selected = selected;
        AccessibleTraits::setSelected(this, selected);
        m_select.stop();
        if (!animated) {
            m_selectLevel = selected ? 1 : 0;
            update();
            return;
        }
        m_select.setDuration(ReduceMotion::enabled() ? kReducedSelectMs : kSelectMs);
        m_select.setStartValue(m_selectLevel);
        m_select.setEndValue(selected ? 1.0 : 0.0);
        m_select.start();
    }

protected:
    void paintFace(QPainter& painter) override {
        const ColorScheme scheme = ViewEnvironment::colorScheme(this);
        const QPointF centre = QRectF(rect()).center();
        const double r = QuickLaunchPane::chipDiameter / 2.0;
        const QColor rest = mix(QvColor::qvSurface().resolve(scheme),
                                QvColor::qvSurfaceRaised().resolve(scheme), m_hoverLevel);
        painter.setPen(Qt::NoPen);
        painter.setBrush(mix(rest, QvColor::qvInkAction().resolve(scheme), m_selectLevel));
        painter.drawEllipse(centre, r, r);
        QColor stroke = QvColor::qvStroke().resolve(scheme);
        stroke.setAlphaF(float(1 - m_selectLevel));
        painter.setPen(QPen(stroke, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(centre, r - 0.5, r - 0.5);

        painter.setFont(m_labelFont);
        painter.setPen(mix(QvColor::qvTextPrimary().resolve(scheme), QvColor::qvInkOnAction().resolve(scheme),
                           m_selectLevel));
        QvText::drawTabular(painter, QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r), Qt::AlignCenter,
                            m_shownLabel);

        if (hasFocus()) {
            QColor ring = QvColor::qvInkAction().resolve(scheme);
            ring.setAlphaF(float(kFocusRingOpacity));
            painter.setPen(QPen(ring, 2));
            painter.drawEllipse(centre, r + kRingOffset, r + kRingOffset);
        }
    }
    bool hitButton(const QPoint& pos) const override {
        const QPointF d = QPointF(pos) - QRectF(rect()).center();
        const double r = QuickLaunchPane::chipDiameter / 2.0;
        return d.x() * d.x() + d.y() * d.y() <= r * r;
    }
    void enterEvent(QEnterEvent* event) override {
        PressableButton::enterEvent(event);
        setHovered(true);
    }
    void leaveEvent(QEvent* event) override {
        PressableButton::leaveEvent(event);
        setHovered(false);
    }
    void focusInEvent(QFocusEvent* event) override {
        PressableButton::focusInEvent(event);
        update();
    }
    void focusOutEvent(QFocusEvent* event) override {
        PressableButton::focusOutEvent(event);
        update();
    }
    void changeEvent(QEvent* event) override {
        // The label's face follows the desktop's font.
        if (event->type() == QEvent::FontChange) {
            layOutLabel();
        }
        PressableButton::changeEvent(event);
    }

private:
    // Fitting the label measures it once per dropped character: done when it changes, not on every frame.
    void layOutLabel() {
        const QString label = QuickLaunchPaneModel::chipLabel(m_preset);
        m_labelFont = QuickLaunchPane::chipLabelFont(label);
        m_shownLabel = QuickLaunchPane::shownChipLabel(label, m_labelFont);
    }

    void setHovered(bool hovered) {
        if (hovered == m_hovered) {
            return;
        }
        m_hovered = hovered;
        m_hover.stop();
        m_hover.setStartValue(m_hoverLevel);
        m_hover.setEndValue(hovered ? 1.0 : 0.0);
        m_hover.start();
    }

    TimerPreset m_preset;
    QFont m_labelFont;
    QString m_shownLabel;
    bool m_selected = false;
    bool m_hovered = false;
    double m_hoverLevel = 0;
    double m_selectLevel = 0;
    QVariantAnimation m_hover;
    QVariantAnimation m_select;
};

QuickLaunchPane::QuickLaunchPane(QuickLaunchPaneModel* model, std::function<void()> onDialogClosed,
                                 QWidget* parent)
    : QWidget(parent), m_model(model), m_onDialogClosed(std::move(onDialogClosed)) {
    m_model->setParent(this);
    setObjectName(QStringLiteral("quorvane.quickLaunch"));
    setFixedSize(paneWidth, paneHeight);

    // Shown as written in every language.
    m_header = new TokenLabel(QvColor::qvTextSecondary(), this);
    m_header->setFont(QvFont::qvText(10, QFont::DemiBold));
    m_header->setText(QStringLiteral("QUICK INPUT"));
    m_header->setGeometry(0, 0, paneWidth, headerHeight);
    m_header->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    const int rowTop = headerHeight + headerSpacing;
    m_empty = new TokenLabel(QvColor::qvTextSecondary(), this);
    m_empty->setObjectName(QStringLiteral("quorvane.quickLaunch.empty"));
    m_empty->setFont(QvFont::qvText(11, QFont::Normal));
    m_empty->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_empty->setGeometry(0, rowTop, paneWidth, chipDiameter);

    // The chips keep room for their focus rings around them; that room reaches past the pane's sides, so
    // the first chip lines up with the header.
    m_scroll = new QScrollArea(this);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setFocusPolicy(Qt::NoFocus);
    m_scroll->setWidgetResizable(false);
    m_scroll->setGeometry(-kRingRoom, rowTop - kRingRoom, paneWidth + 2 * kRingRoom, kChipSide);
    // A plain mouse wheel turns up and down: it moves the row sideways, so every chip can be reached.
    m_scroll->viewport()->installEventFilter(this);
    // The canvas shows through.
    m_scroll->setAutoFillBackground(false);
    m_scroll->viewport()->setAutoFillBackground(false);
    m_row = new QWidget;
    AccessibleTraits::setRole(m_row, QAccessible::List);
    m_scroll->setWidget(m_row);
    m_row->setAutoFillBackground(false); // setWidget turns it on

    connect(m_model, &QuickLaunchPaneModel::presetsChanged, this, &QuickLaunchPane::syncChips);
    connect(m_model, &QuickLaunchPaneModel::selectionChanged, this, &QuickLaunchPane::refreshChips);
    connect(m_model, &QuickLaunchPaneModel::accessibilityLanguageChanged, this,
            &QuickLaunchPane::refreshChips);
    connect(m_model, &QuickLaunchPaneModel::renameChanged, this, &QuickLaunchPane::followRename);
    connect(m_model, &QuickLaunchPaneModel::deletionChanged, this, &QuickLaunchPane::followDeletion);
    retranslate();
    syncChips();
}

QFont QuickLaunchPane::chipLabelFont(const QString& label) {
    // One line, shrinking to fit the chip, but never below 68 % of its size.
    QFont font = QvFont::qvText(kLabelSize, QFont::Medium);
    const double natural = QvText::tabularWidth(font, label);
    if (natural > kLabelRoom) {
        const int smallest = int(std::ceil(kLabelSize * chipLabelMinimumScale));
        font.setPixelSize(std::max(smallest, int(kLabelSize * kLabelRoom / natural)));
    }
    return font;
}

QString QuickLaunchPane::shownChipLabel(const QString& label) {
    return shownChipLabel(label, chipLabelFont(label));
}

QString QuickLaunchPane::shownChipLabel(const QString& label, const QFont& font) {
    // Still too wide at the smallest size: its end gives way to an ellipsis.
    QString shown = label;
    while (shown.size() > 1 && QvText::tabularWidth(font, shown) > kLabelRoom) {
        shown = label.left(shown.size() - (shown == label ? 1 : 2)) + QChar(0x2026);
    }
    return shown;
}

QFont QuickLaunchPane::chipLabelFont(const QUuid& id) const {
    const QuickLaunchChip* c = m_chips.value(id);
    return c ? c->labelFont() : chipLabelFont(QString());
}

bool QuickLaunchPane::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_scroll->viewport() && event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        QScrollBar* across = m_scroll->horizontalScrollBar();
        const QPoint delta = wheel->angleDelta();
        if (across->maximum() > 0 && std::abs(delta.y()) > std::abs(delta.x())) {
            // The sideways bar reads a downward turn as a move to the right. At either end it leaves the
            // turn to whatever lies behind the row.
            QCoreApplication::sendEvent(across, wheel);
            return wheel->isAccepted();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void QuickLaunchPane::retranslate() {
    m_empty->setText(tr("No presets yet"));
}

void QuickLaunchPane::syncChips() {
    // Chips are kept by preset: one that stays keeps its hover, focus and press; only new presets get new
    // chips, and those of removed presets go.
    const QList<TimerPreset>& presets = m_model->presets();
    QMap<QUuid, QuickLaunchChip*> kept;
    int x = 0;
    for (const TimerPreset& preset : presets) {
        QuickLaunchChip* chip = m_chips.take(preset.id);
        if (kept.contains(preset.id)) {
            continue; // a damaged list with one id twice shows the first
        }
        if (!chip) {
            chip = new QuickLaunchChip(preset, m_row);
            const QUuid id = preset.id;
            connect(chip, &QAbstractButton::clicked, this, [this, id] {
                if (QuickLaunchChip* c = m_chips.value(id)) {
                    m_model->choose(c->preset());
                }
            });
            chip->setContextMenuPolicy(Qt::CustomContextMenu);
            connect(chip, &QWidget::customContextMenuRequested, this,
                    [this, id, chip](const QPoint& at) { openChipMenu(id, chip->mapToGlobal(at)); });
            chip->show();
        } else {
            chip->setPreset(preset);
        }
        chip->move(x, 0);
        x += chipDiameter + chipSpacing;
        kept.insert(preset.id, chip);
    }
    for (QuickLaunchChip* gone : std::as_const(m_chips)) {
        gone->hide();
        gone->deleteLater();
    }
    m_chips = kept;
    m_row->resize(std::max(0, x - chipSpacing + 2 * kRingRoom), kChipSide);
    const bool any = !m_chips.isEmpty();
    m_scroll->setVisible(any);
    m_empty->setVisible(!any);
    refreshChips();
}

void QuickLaunchPane::refreshChips() {
    const bool animated = isVisible();
    for (QuickLaunchChip* chip : std::as_const(m_chips)) {
        chip->setSelected(m_model->selectedPresetID() == chip->preset().id, animated);
        chip->setAccessibleName(m_model->accessibilityLabel(chip->preset()));
    }
}

QAbstractButton* QuickLaunchPane::chip(const QUuid& id) const {
    return m_chips.value(id);
}

QList<QAbstractButton*> QuickLaunchPane::chipsInOrder() const {
    QList<QAbstractButton*> chips;
    for (const TimerPreset& preset : m_model->presets()) {
        if (QuickLaunchChip* c = m_chips.value(preset.id); c && !chips.contains(c)) {
            chips << c;
        }
    }
    return chips;
}

QString QuickLaunchPane::chipLabel(const QUuid& id) const {
    const QuickLaunchChip* c = m_chips.value(id);
    return c ? QuickLaunchPaneModel::chipLabel(c->preset()) : QString();
}

bool QuickLaunchPane::chipLooksSelected(const QUuid& id) const {
    const QuickLaunchChip* c = m_chips.value(id);
    return c && c->isSelected();
}

bool QuickLaunchPane::chipIsHovered(const QUuid& id) const {
    const QuickLaunchChip* c = m_chips.value(id);
    return c && c->isHovered();
}

void QuickLaunchPane::openChipMenu(const QUuid& id, const QPoint& at) {
    QuickLaunchChip* chip = m_chips.value(id);
    if (!chip) {
        return;
    }
    if (m_chipMenu) {
        m_chipMenu->close();
        m_chipMenu->deleteLater();
    }
    const QColor ink = QvColor::qvTextPrimary().resolve(ViewEnvironment::colorScheme(this));
    m_chipMenu = new QMenu(this);
    m_chipMenu->setObjectName(QStringLiteral("quorvane.quickLaunch.chipMenu"));
    m_chipMenu->setAttribute(Qt::WA_DeleteOnClose);
    const TimerPreset preset = chip->preset();
    const QColor onHighlight = m_chipMenu->palette().color(QPalette::Active, QPalette::HighlightedText);
    QAction* rename =
        m_chipMenu->addAction(SymbolIcon::icon(QStringLiteral("pencil"), ink, onHighlight), tr("Rename"));
    rename->setObjectName(QStringLiteral("quorvane.quickLaunch.rename"));
    connect(rename, &QAction::triggered, this, [this, preset] { m_model->beginRename(preset); });
    QAction* remove = m_chipMenu->addAction(
        SymbolIcon::icon(QStringLiteral("trash"),
                         QvColor::qvDestructive().resolve(ViewEnvironment::colorScheme(this)), onHighlight),
        tr("Delete"));
    remove->setObjectName(QStringLiteral("quorvane.quickLaunch.delete"));
    connect(remove, &QAction::triggered, this, [this, preset] { m_model->requestDeletion(preset); });
    m_chipMenu->popup(at);
}

void QuickLaunchPane::followRename() {
    if (!m_model->isRenamePresented()) {
        if (m_renameAlert) {
            m_renameAlert->dismiss();
            m_renameAlert.clear();
            if (m_onDialogClosed) {
                m_onDialogClosed();
            }
        }
        return;
    }
    if (m_renameAlert) {
        if (m_renameSave) {
            m_renameSave->setEnabled(m_model->canSaveRename());
        }
        if (m_renameAlert->field() && m_renameAlert->field()->text() != m_model->renameText()) {
            m_renameAlert->field()->setText(m_model->renameText());
        }
        return;
    }
    auto* alert = new InlineAlert(tr("Rename Preset"), QString());
    alert->setObjectName(QStringLiteral("quorvane.quickLaunch.renameAlert"));
    QLineEdit* field = alert->addField(tr("Preset name"), m_model->renameText());
    LabelButton* cancel = alert->addButton(tr("Cancel"), InlineAlert::Role::cancel);
    LabelButton* save = alert->addButton(tr("Save"), InlineAlert::Role::confirm);
    cancel->setObjectName(QStringLiteral("quorvane.quickLaunch.renameCancel"));
    save->setObjectName(QStringLiteral("quorvane.quickLaunch.renameSave"));
    alert->setCancelButton(cancel);
    alert->setDefaultButton(save);
    connect(field, &QLineEdit::textEdited, m_model, &QuickLaunchPaneModel::setRenameText);
    connect(cancel, &QAbstractButton::clicked, m_model, &QuickLaunchPaneModel::cancelRename);
    connect(save, &QAbstractButton::clicked, m_model, &QuickLaunchPaneModel::saveRename);
    save->setEnabled(m_model->canSaveRename());
    m_renameAlert = alert;
    m_renameSave = save;
    alert->present(window());
}

void QuickLaunchPane::followDeletion() {
    if (!m_model->isDeleteConfirmationPresented()) {
        if (m_deleteAlert) {
            m_deleteAlert->dismiss();
            m_deleteAlert.clear();
            if (m_onDialogClosed) {
                m_onDialogClosed();
            }
        }
        return;
    }
    if (m_deleteAlert) {
        return;
    }
    auto* alert = new InlineAlert(tr("Delete Preset?"), tr("This preset will be removed."));
    alert->setObjectName(QStringLiteral("quorvane.quickLaunch.deleteAlert"));
    LabelButton* remove = alert->addButton(tr("Delete"), InlineAlert::Role::destructive);
    LabelButton* cancel = alert->addButton(tr("Cancel"), InlineAlert::Role::cancel);
    remove->setObjectName(QStringLiteral("quorvane.quickLaunch.deleteConfirm"));
    cancel->setObjectName(QStringLiteral("quorvane.quickLaunch.deleteCancel"));
    alert->setCancelButton(cancel);
    connect(remove, &QAbstractButton::clicked, m_model, &QuickLaunchPaneModel::confirmDeletion);
    connect(cancel, &QAbstractButton::clicked, m_model, &QuickLaunchPaneModel::cancelDeletion);
    m_deleteAlert = alert;
    alert->present(window());
}

void QuickLaunchPane::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
    }
    QWidget::changeEvent(event);
}
