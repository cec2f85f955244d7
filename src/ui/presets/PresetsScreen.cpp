#include "ui/presets/PresetsScreen.h"

#include "core/TimerManager.h"
#include "platform/Preferences.h"
#include "platform/TarvolinTimerLogger.h"
#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "theme/ThemeSettingsKeys.h"
#include "theme/ThemeStore.h"
#include "ui/kit/AlertOverlay.h"
#include "ui/kit/GlobalHotkeysRecorder.h"
#include "ui/kit/TokenLabel.h"
#include "ui/kit/ViewEnvironment.h"
#include "ui/popover/PopoverFocusCoordinator.h"
#include "ui/presets/EditorOverlay.h"
#include "ui/presets/OptionsMenuButton.h"
#include "ui/presets/PresetEditorModel.h"
#include "ui/presets/PresetEditorSheet.h"
#include "ui/presets/PresetRow.h"
#include "ui/presets/PresetsSection.h"
#include "ui/presets/SequenceEditorModel.h"
#include "ui/presets/SequenceEditorSheet.h"
#include "ui/presets/SequenceRow.h"
#include "ui/presets/SequencesSection.h"
#include "ui/presets/ShortcutBadge.h"
#include "ui/presets/ShortcutBubble.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

const QString kContext = QStringLiteral("PresetsScreen");

// Under the key bubble: a click anywhere beside it closes it and goes no further.
class BubbleScrim : public QWidget {
public:
    BubbleScrim(std::function<void()> onClick, QWidget* parent)
        : QWidget(parent), m_onClick(std::move(onClick)) {
        setObjectName(QStringLiteral("presetsScreen.shortcutPopover.scrim"));
    }

protected:
    void mousePressEvent(QMouseEvent* event) override {
        event->accept();
        m_onClick();
    }
    void wheelEvent(QWheelEvent* event) override { event->accept(); }

private:
    std::function<void()> m_onClick;
};

// A scroll area whose column may reach past its sides, which clip it there.
class ColumnScrollArea : public QScrollArea {
public:
    using QScrollArea::QScrollArea;
    void setOverhang(int side) { setViewportMargins(-side, 0, -side, 0); }
};

} // namespace

PresetsScreen::PresetsScreen(Dependencies dependencies, QWidget* parent)
    : QWidget(parent), m_theme(dependencies.theme), m_preferences(dependencies.preferences),
      m_keyboardHost(dependencies.keyboardHost) {
    setObjectName(QStringLiteral("presetsScreen.root"));
    m_model = new PresetsScreenModel(dependencies.timerManager, dependencies.focusCoordinator,
                                     dependencies.preferences, std::move(dependencies.hooks), this);

    m_scroll = new ColumnScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("presetsScreen.scroll"));
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setWidgetResizable(true);
    m_scroll->viewport()->setAutoFillBackground(false);
    m_scroll->setAutoFillBackground(false);
    m_scroll->setFocusPolicy(Qt::NoFocus);

    m_content = new QWidget;
    m_content->setObjectName(QStringLiteral("presetsScreen.content"));
    m_content->setAutoFillBackground(false);
    auto* column = new QVBoxLayout(m_content);

    auto* header = new QVBoxLayout;
    header->setSpacing(4);
    m_title = new TokenLabel(QvColor::qvInkPrimary(), m_content);
    m_title->setObjectName(QStringLiteral("presetsScreen.title"));
    m_title->setFont(QvFont::qvText(18, QFont::DemiBold));
    header->addWidget(m_title);
    m_subtitle = new TokenLabel(QvColor::qvInkMuted(), m_content);
    m_subtitle->setFont(QvFont::qvText(13, QFont::Normal));
    header->addWidget(m_subtitle);
    m_sequences = new SequencesSection(*m_model, m_theme, m_content);
    m_presets = new PresetsSection(*m_model, m_theme, dependencies.preferences, m_content);
    column->addLayout(header);
    column->addWidget(m_sequences);
    column->addWidget(m_presets);
    column->addStretch(1);
    m_scroll->setWidget(m_content);

    connect(m_model, &PresetsScreenModel::sequenceEditorTargetChanged, this,
            &PresetsScreen::syncSequenceEditor);
    connect(m_model, &PresetsScreenModel::presetEditorTargetChanged, this, &PresetsScreen::syncPresetEditor);
    connect(m_model, &PresetsScreenModel::sequencePendingDeleteChanged, this,
            &PresetsScreen::syncDeleteConfirmation);
    connect(m_model, &PresetsScreenModel::shortcutPopoverPresetIDChanged, this, &PresetsScreen::syncBubble);
    connect(&m_model->timerManager(), &TimerManager::presetsChanged, this, [this] {
        // A deleted preset's bubble goes with its row.
        if (m_bubble && !m_presets->row(m_bubble->preset().id)) {
            closeBubble();
        }
    });
    connect(&m_model->focusCoordinator(), &PopoverFocusCoordinator::selectionChanged, this,
            &PresetsScreen::ensureSelectionVisible);
    // The request usually comes just after the switch that built this screen; a hidden screen takes it up
    // when it shows.
    connect(&m_model->focusCoordinator(), &PopoverFocusCoordinator::pendingPresetsActionChanged, this,
            [this] {
                if (isVisible() && m_model->focusCoordinator().pendingPresetsAction()) {
                    m_model->consumePendingAction();
                }
            });
    // A change of the stored density only says when to look again: the popover root, listening since
    // before this screen existed, has already handed the new density down.
    connect(&m_preferences, &Preferences::changed, this, [this](const QString& key) {
        if (key == ThemeSettingsKeys::displayDensity.key) {
            applyDensity();
        }
    });
    if (m_keyboardHost) {
        m_keyboardHost->installEventFilter(this);
    }
    applyDensity();
    retranslate();
}

PresetsScreen::~PresetsScreen() {
    if (m_keyboardHost) {
        m_keyboardHost->removeEventFilter(this);
    }
    // The confirmation covers the whole window, outside this screen: it goes with the screen.
    if (m_deleteAlert) {
        delete m_deleteAlert.data();
    }
}

SequenceEditorSheet* PresetsScreen::sequenceEditor() const {
    return m_sequenceOverlay ? static_cast<SequenceEditorSheet*>(m_sequenceOverlay->card()) : nullptr;
}

PresetEditorSheet* PresetsScreen::presetEditor() const {
    return m_presetOverlay ? static_cast<PresetEditorSheet*>(m_presetOverlay->card()) : nullptr;
}

void PresetsScreen::applyDensity() {
    const DisplayDensity density = ViewEnvironment::displayDensity(this);
    const int padding = int(scaled(density, 16));
    // The cards keep room for their shadows inside their own edges. The column gives that room back from
    // its padding, and where the room is wider than the padding it reaches past the screen's sides (the
    // shadows' faint outer rim is clipped there), so the cards' visible edges sit at the padding.
    const int shadow = SurfaceWidget(SurfaceWidget::Kind::card).shadowMargins().left();
    const int side = padding - shadow;
    static_cast<ColumnScrollArea*>(m_scroll)->setOverhang(std::max(0, -side));
    auto* column = static_cast<QVBoxLayout*>(m_content->layout());
    column->setContentsMargins(std::max(0, side), padding, std::max(0, side), padding);
    column->setSpacing(int(scaled(density, 24)));
    if (auto* header = column->itemAt(0)->layout()) {
        header->setContentsMargins(shadow, 0, shadow, 0);
    }
    m_sequences->setDensity(density);
    m_presets->setDensity(density);
}

void PresetsScreen::retranslate() {
    m_title->setText(tr("Presets"));
    m_subtitle->setText(tr("Reusable timer sequences"));
}

void PresetsScreen::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
    } else if (event->type() == QEvent::ParentChange) {
        // The screen is built before the popover takes it in; the density is the popover's.
        applyDensity();
    }
    QWidget::changeEvent(event);
}

void PresetsScreen::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QvColor::qvBgPrimary().resolve(ViewEnvironment::colorScheme(this)));
}

void PresetsScreen::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    m_model->consumePendingAction();
}

void PresetsScreen::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_scroll->setGeometry(rect());
    // The editors' overlays follow the screen's size themselves.
    if (m_bubbleScrim) {
        m_bubbleScrim->setGeometry(rect());
    }
}

// ---- Editors ----

void PresetsScreen::syncSequenceEditor() {
    if (m_sequenceOverlay) {
        m_sequenceOverlay->hide();
        m_sequenceOverlay->deleteLater();
        m_sequenceOverlay = nullptr;
    }
    const auto& target = m_model->sequenceEditorTarget();
    if (!target) {
        return;
    }
    auto* editor = new SequenceEditorModel(
        *target,
        [this](const QString& name, const QList<SequenceStep>& steps) {
            m_model->saveSequenceEditor(name, steps);
        },
        [this] { m_model->cancelSequenceEditor(); });
    auto* sheet = new SequenceEditorSheet(editor, m_theme.activeAccentColor());
    m_sequenceOverlay =
        new EditorOverlay(sheet, EditorOverlay::Keys{[editor] { editor->cancel(); }, {}}, this);
    m_sequenceOverlay->setObjectName(QStringLiteral("presetsScreen.sequenceEditorOverlay"));
    if (m_keyboardHost) {
        m_sequenceOverlay->setFocusReturn(m_keyboardHost);
    }
    m_sequenceOverlay->show();
    m_sequenceOverlay->raise();
    if (m_presetOverlay) {
        m_presetOverlay->raise(); // the preset editor stays on top
    }
    sheet->nameField()->setFocus(Qt::OtherFocusReason);
    TT_LOG_INFO(kContext, QStringLiteral("Sequence editor open (%1)").arg(target->id()));
}

void PresetsScreen::syncPresetEditor() {
    if (m_presetOverlay) {
        m_presetOverlay->hide();
        m_presetOverlay->deleteLater();
        m_presetOverlay = nullptr;
    }
    const auto& target = m_model->presetEditorTarget();
    if (!target) {
        return;
    }
    auto* editor = new PresetEditorModel(
        *target, [this](const QString& name, qint64 minutes) { m_model->savePresetEditor(name, minutes); },
        [this] { m_model->cancelPresetEditor(); });
    auto* sheet = new PresetEditorSheet(editor, m_theme.activeAccentColor());
    m_presetOverlay = new EditorOverlay(
        sheet, EditorOverlay::Keys{[editor] { editor->cancel(); }, [editor] { editor->save(); }}, this);
    m_presetOverlay->setObjectName(QStringLiteral("presetsScreen.presetEditorOverlay"));
    if (m_keyboardHost) {
        m_presetOverlay->setFocusReturn(m_keyboardHost);
    }
    m_presetOverlay->show();
    m_presetOverlay->raise();
    sheet->nameField()->setFocus(Qt::OtherFocusReason);
    TT_LOG_INFO(kContext, QStringLiteral("Preset editor open (%1)").arg(target->id()));
}

// ---- Delete confirmation ----

void PresetsScreen::syncDeleteConfirmation() {
    const auto& pending = m_model->sequencePendingDelete();
    if (!pending) {
        if (m_deleteAlert) {
            m_deleteAlert->answer(1);
        }
        return;
    }
    if (m_deleteAlert) {
        return;
    }
    AlertOverlay::Alert alert;
    alert.objectName = QStringLiteral("presetsScreen.deleteConfirmation");
    alert.message = tr("Delete Sequence?");
    alert.detail = tr("This can't be undone.");
    alert.buttons = {{tr("Delete"), AlertOverlay::Role::destructive,
                      QStringLiteral("presetsScreen.deleteConfirmation.delete")},
                     {tr("Cancel"), AlertOverlay::Role::normal,
                      QStringLiteral("presetsScreen.deleteConfirmation.cancel")}};
    // The keyboard starts on Cancel, and Escape cancels: nothing goes by accident.
    alert.focusedButton = 1;
    alert.escapeAnswer = 1;
    const QPointer<PresetsScreenModel> model(m_model);
    m_deleteAlert = AlertOverlay::present(this, alert, [model](int answer) {
        if (!model) {
            return;
        }
        if (answer == 0) {
            model->confirmDeleteSequence();
        } else {
            model->cancelDeleteSequence();
        }
    });
}

// ---- Key bubble ----

void PresetsScreen::closeBubble() {
    QWidget* focused = QApplication::focusWidget();
    const bool hadKeyboard = m_bubble && (focused == m_bubble || m_bubble->isAncestorOf(focused));
    for (QWidget* w : {static_cast<QWidget*>(m_bubble.data()), m_bubbleScrim.data()}) {
        if (w) {
            w->hide();
            w->deleteLater();
        }
    }
    m_bubble = nullptr;
    m_bubbleScrim = nullptr;
    if (hadKeyboard) {
        // The root takes the keyboard back, so the arrows work again.
        m_model->returnKeyboard();
    }
}

void PresetsScreen::syncBubble() {
    closeBubble();
    const auto id = m_model->shortcutPopoverPresetID();
    if (!id) {
        return;
    }
    PresetRow* row = m_presets->row(*id);
    if (!row) {
        return;
    }
    // The bubble points at its badge, so the row comes into view first.
    m_scroll->ensureWidgetVisible(row, 0, 16);
    m_bubbleScrim = new BubbleScrim([this] { m_model->setShortcutPopoverPresetID(std::nullopt); }, this);
    m_bubbleScrim->setGeometry(rect());
    m_bubbleScrim->show();
    m_bubbleScrim->raise();
    m_bubble = new ShortcutBubble(*m_model, row->preset(), this);
    connect(m_bubble, &ShortcutBubble::closeRequested, this,
            [this] { m_model->setShortcutPopoverPresetID(std::nullopt); });
    ShortcutBadge* badge = row->badge();
    m_bubble->placeBeside(QRect(badge->mapTo(this, QPoint(0, 0)), badge->size()));
    m_bubble->show();
    m_bubble->raise();
    m_bubble->setFocus(Qt::OtherFocusReason);
}

// ---- Keyboard ----

void PresetsScreen::ensureSelectionVisible() {
    QWidget* selected = m_sequences->selectedRow();
    if (!selected) {
        selected = m_presets->selectedRow();
    }
    if (selected) {
        m_scroll->ensureWidgetVisible(selected, 0, 16);
    }
}

bool PresetsScreen::anythingOpen() const {
    return m_sequenceOverlay || m_presetOverlay || m_deleteAlert || m_bubble;
}

QMenu* PresetsScreen::openSelectionMenu() {
    if (SequenceRow* row = m_sequences->selectedRow()) {
        row->menuButton()->openMenu();
        return row->menuButton()->menu();
    }
    if (PresetRow* row = m_presets->selectedRow()) {
        row->menuButton()->openMenu();
        return row->menuButton()->menu();
    }
    if (m_screenMenu) {
        m_screenMenu->close();
    }
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("presetsScreen.menu"));
    QAction* sequence = menu->addAction(tr("New Sequence"));
    sequence->setObjectName(QStringLiteral("newSequence"));
    connect(sequence, &QAction::triggered, m_model, &PresetsScreenModel::openNewSequence);
    QAction* preset = menu->addAction(tr("Add Preset"));
    preset->setObjectName(QStringLiteral("addPreset"));
    connect(preset, &QAction::triggered, m_model, &PresetsScreenModel::openAddPreset);
    connect(menu, &QMenu::aboutToHide, menu, &QObject::deleteLater);
    m_screenMenu = menu;
    menu->popup(mapToGlobal(QPoint(16, 16)));
    return menu;
}

bool PresetsScreen::handleHostKey(const QKeyEvent& event) {
    if (m_model->focusCoordinator().focusedTab() != TarvolinTimerTab::presets || anythingOpen() ||
        !m_keyboardHost || m_keyboardHost->window()->focusWidget() != m_keyboardHost) {
        return false;
    }
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    if (event.key() == Qt::Key_Menu || (event.key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier)) {
        openSelectionMenu();
        return true;
    }
    if (event.key() == Qt::Key_K && modifiers == Qt::NoModifier) {
        if (PresetRow* row = m_presets->selectedRow()) {
            m_model->setShortcutPopoverPresetID(row->preset().id);
            if (m_bubble) {
                m_bubble->recorder()->setFocus(Qt::OtherFocusReason);
            }
            return true;
        }
    }
    return false;
}

bool PresetsScreen::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_keyboardHost && event->type() == QEvent::KeyPress &&
        handleHostKey(*static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
