#pragma once
// The row of preset chips under the quick-add bar: one round chip per saved preset, labelled with its
// length. A click marks the chip and sends the preset to confirmation; its menu renames or deletes it,
// each after a short question shown inside the popover.

#include "ui/kit/LabelButton.h"
#include "ui/quickentry/InlineAlert.h"
#include "ui/quickentry/QuickLaunchPaneModel.h"

#include <QMap>
#include <QMenu>
#include <QPointer>
#include <QWidget>

#include <functional>

class QAbstractButton;
class QScrollArea;
class QuickLaunchChip;
class TokenLabel;

class QuickLaunchPane : public QWidget {
    Q_OBJECT
public:
    static constexpr int paneWidth = 404;
    static constexpr int paneHeight = 60;
    static constexpr int headerHeight = 12;
    static constexpr int headerSpacing = 10;
    static constexpr int chipDiameter = 34;
    static constexpr int chipSpacing = 8;
    static constexpr double chipLabelMinimumScale = 0.68;

    // Takes the model as its child. `onDialogClosed` runs when a rename or delete question goes away.
    explicit QuickLaunchPane(QuickLaunchPaneModel* model, std::function<void()> onDialogClosed = {},
                             QWidget* parent = nullptr);

    QuickLaunchPaneModel& model() const { return *m_model; }
    // The chip of a preset, by its id; none when the preset has no chip.
    QAbstractButton* chip(const QUuid& id) const;
    // Every chip, left to right.
    QList<QAbstractButton*> chipsInOrder() const;
    // What a chip shows, how it is drawn now (filled when selected, under the pointer, keyboard focus).
    QString chipLabel(const QUuid& id) const;
    // The font a chip's label is drawn in: 11 px, smaller when the label needs it to fit.
    QFont chipLabelFont(const QUuid& id) const;
    static QFont chipLabelFont(const QString& label);
    // The label as drawn in that font: cut short with an ellipsis when even the smallest size is too wide.
    static QString shownChipLabel(const QString& label);
    static QString shownChipLabel(const QString& label, const QFont& font);
    bool chipLooksSelected(const QUuid& id) const;
    bool chipIsHovered(const QUuid& id) const;
    // The chip's menu while it is open, and the questions while they show.
    QMenu* chipMenu() const { return m_chipMenu; }
    InlineAlert* renameAlert() const { return m_renameAlert; }
    InlineAlert* deleteAlert() const { return m_deleteAlert; }
    LabelButton* renameSaveButton() const { return m_renameSave; }
    // Opens a chip's menu as the pointer's right button or the menu key does.
    void openChipMenu(const QUuid& id, const QPoint& at);

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void syncChips();
    void refreshChips();
    void followRename();
    void followDeletion();
    void retranslate();

    QuickLaunchPaneModel* m_model;
    std::function<void()> m_onDialogClosed;
    TokenLabel* m_header;
    TokenLabel* m_empty;
    QScrollArea* m_scroll;
    QWidget* m_row;
    QMap<QUuid, QuickLaunchChip*> m_chips;
    QPointer<QMenu> m_chipMenu;
    QPointer<InlineAlert> m_renameAlert;
    QPointer<LabelButton> m_renameSave;
    QPointer<InlineAlert> m_deleteAlert;
};
