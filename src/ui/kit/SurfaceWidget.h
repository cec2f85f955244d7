#pragma once
// A container drawn as one of the standard surfaces, keeping room for its shadows so none is clipped; the
// shadows fall from everything it shows, its content included.

#include "theme/SurfaceStyle.h"

#include <QMargins>
#include <QRect>
#include <QWidget>

class SurfaceWidget : public QWidget {
    Q_OBJECT
public:
    enum class Kind { card, chip, referenceCard, floatingBar };

    explicit SurfaceWidget(Kind kind, QWidget* parent = nullptr);

    Kind kind() const { return m_kind; }
    // Used by the card and the reference card; the chip's and the floating bar's radii are fixed.
    void setCornerRadius(double radius);
    double cornerRadius() const { return m_cornerRadius; }
    void setHovered(bool hovered);
    bool isHovered() const { return m_hovered; }
    // When on, the pointer entering and leaving sets the hover state (never for the floating bar).
    void setTracksHover(bool tracks);
    // Space between the surface's edge and the content laid out inside it.
    void setPadding(const QMargins& padding);
    QMargins padding() const { return m_padding; }

    // The style drawn now, in the colour scheme of this widget's place in the tree.
    SurfaceStyle currentStyle() const;
    // The room kept around the shape for shadows and the hover lift; the same hovered or not, so the
    // layout never jumps.
    QMargins shadowMargins() const;
    // The shape's rectangle, before any hover lift.
    QRect surfaceRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    SurfaceStyle styleFor(bool hovered) const;
    void updateMargins();

    Kind m_kind;
    double m_cornerRadius;
    bool m_hovered = false;
    bool m_tracksHover = false;
    QMargins m_padding;
};
