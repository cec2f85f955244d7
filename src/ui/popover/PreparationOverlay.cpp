#include "ui/popover/PreparationOverlay.h"

PreparationOverlay::PreparationOverlay(QWidget* parent) : DimmedOverlay(parent, QvColor::qvTextPrimary()) {
    setObjectName(QStringLiteral("quorvane.preparation.overlay"));
    hide();
}

bool PreparationOverlay::isOnDim(const QPoint& point) const {
    const TimerPreparationView* shown = card();
    return !(shown && shown->cardRect().translated(shown->pos()).contains(point));
}
