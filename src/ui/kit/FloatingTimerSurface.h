#pragma once
// The floating window's card, drawn from plain values: the big time, a one-line label, a thin progress bar
// and a close button. A tap on the card asks for its primary action; a press that moves drags the window
// instead and taps nothing. The floating window shows it, and the settings preview draws the same card.

#include <QColor>
#include <QFont>
#include <QPainterPath>
#include <QPoint>
#include <QVariantAnimation>
#include <QRectF>
#include <QRegion>
#include <QString>
#include <QWidget>

class QAbstractButton;
class QPainter;

class FloatingTimerSurface : public QWidget {
    Q_OBJECT
public:
    struct Values {
        QString timeText;
        QString label; // empty: no label line
        bool isRunning = false;
        bool isFinished = false;
        double progress = 0; // elapsed fraction; below 0 draws no fill, above 1 a full one
        QColor accent;
        bool showsClose = true;
        bool operator==(const Values&) const = default;
    };

    static constexpr double cornerRadius = 8;
    static constexpr double padding = 6;
    static constexpr double spacing = 4;
    static constexpr double timeFontSize = 30;
    static constexpr double timeMinimumScale = 0.7;
    static constexpr double labelFontSize = 9;
    static constexpr double barHeight = 1.5;
    static constexpr double stripWidth = 2;
    static constexpr int closeSide = 44;
    static constexpr int closePadding = 2;
    // The card's ground eases between its idle and running colours when the timer starts or stops.
    static constexpr int groundFadeMs = 250;

    explicit FloatingTimerSurface(QWidget* parent = nullptr);

    void setValues(const Values& values);
    const Values& values() const { return m_values; }
    QAbstractButton* closeButton() const { return m_close; }

    // Where the parts lie in the card, for drawing and for tests that probe pixels.
    QRectF columnRect() const;
    QRectF barTrackRect() const;
    // The filled part of the track; empty when the progress is not above 0.
    QRectF barFillRect() const;
    // Where the time's glyphs may reach.
    QRectF timeInkRect() const;
    // The colours the card draws with now.
    QColor timeColor() const;
    QColor barFillColor() const;
    QColor backgroundColor() const;
    QColor outlineColor() const;
    // What the card shows just inside its edge: its outline over its ground.
    QColor edgeColor() const;
    // Fills `area` (the card's own coordinates, reaching past it) with what the card shows just inside its
    // edge at each place: the edge colour, and the outline over the strip where the strip meets the edge.
    // A window cut to the card fills its ground so, and the card's smoothed edge then blends into the card's
    // own colours, not into those of another state.
    void paintEdgeGround(QPainter& painter, const QRectF& area) const;

    QSize sizeHint() const override;

signals:
    // A press and release on the card that did not move it.
    void tapped();
    void closeClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // Where the time and the label go for some values, at the card's present size.
    struct Layout {
        QFont timeFont;
        double baseline = 0;
        QRectF timeBox; // drawTabular centres the time in it
        QRectF timeInk;
        double timeLeft = 0;     // where the time's first character starts
        double timeOverhang = 0; // how far its glyphs may reach past their cells, with a pixel for smoothing
        QRectF labelBox;         // empty without a label
    };
    Layout layOut(const Values& values) const;
    // The present values' layout, worked out again only when the time, the label, the size or the
    // application's font changed.
    const Layout& layout() const;
    // The card's rounded shape and its outline, made again only when the size changed.
    void shapeFor(const QSize& size);
    // What a new time text draws over: the cells of the digits that changed, or all of both texts.
    QRegion timeChange(const Layout& was, const QString& before, const Layout& now,
                       const QString& after) const;
    // The part of the track that one progress fills and the other does not.
    QRectF barChange(double fromProgress, double toProgress) const;
    void placeCloseButton();

    Values m_values;
    mutable Layout m_layout;
    mutable QSize m_layoutSize; // the size m_layout was made for; invalid when it needs making again
    QSize m_shapeSize;
    QPainterPath m_shape;
    QPainterPath m_outline;
    QAbstractButton* m_close;
    // 0 idle ground, 1 running ground; between the two while the fade runs.
    double m_runningGround = 0;
    QVariantAnimation m_groundFade;
    // The press under way: where it began (screen coordinates) and whether it has become a drag.
    bool m_pressed = false;
    bool m_dragging = false;
    QPoint m_pressGlobal;
    QPoint m_windowStart;
};
