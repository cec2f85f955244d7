#pragma once
// What covers the whole popover while a start waits for confirmation: a dim layer that cancels on a click,
// and the confirmation card in its middle. The keyboard stays inside the card: Tab cycles through it and
// never reaches the screen behind; Escape goes back.

#include "ui/kit/TimerPreparationView.h"

#include <QPointer>
#include <QWidget>

class PreparationOverlay : public QWidget {
    Q_OBJECT
public:
    static constexpr double dimOpacity = 0.12;

    explicit PreparationOverlay(QWidget* parent = nullptr);

    // Puts a new card in place of any shown one (which is dropped); the overlay takes it as a child.
    void setCard(TimerPreparationView* card);
    // Drops the card, if any.
    void clearCard();
    TimerPreparationView* card() const { return m_card; }

signals:
    // A click on the dim layer, outside the card.
    void dimClicked();
    // Escape inside the overlay.
    void escapePressed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placeCard();
    bool isOnDim(const QPoint& point) const;

    QPointer<TimerPreparationView> m_card;
    bool m_pressOnDim = false;
};
