#pragma once
// What covers the whole popover while a start waits for confirmation: a dim layer that cancels on a click,
// and the confirmation card in its middle. The keyboard stays inside the card: Tab cycles through it and
// never reaches the screen behind; Escape goes back.

#include "ui/kit/DimmedOverlay.h"
#include "ui/kit/TimerPreparationView.h"

class PreparationOverlay : public DimmedOverlay {
    Q_OBJECT
public:
    // Hidden until its owner shows it.
    explicit PreparationOverlay(QWidget* parent);

    // Puts a new card in place of any shown one (which is dropped); the overlay takes it as a child.
    void setCard(TimerPreparationView* card) { setContent(card); }
    // Drops the card, if any.
    void clearCard() { clearContent(); }
    TimerPreparationView* card() const { return static_cast<TimerPreparationView*>(content()); }

protected:
    // Clicks on the card's ground that no control took come up here too; only those outside its shape
    // (its shadow included) are on the dim.
    bool isOnDim(const QPoint& point) const override;
};
