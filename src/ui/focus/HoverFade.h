#pragma once
// The pointer's presence over a small control as a level from 0 to 1, eased out over 0.12 s in both
// directions, so borders, fills and lifts follow it smoothly; the control is repainted at each step.

#include <QColor>
#include <QObject>
#include <QVariantAnimation>

class QWidget;

class HoverFade : public QObject {
    Q_OBJECT
public:
    static constexpr int durationMs = 120;

    // Owned by and repainting `target`.
    explicit HoverFade(QWidget* target);

    bool isHovered() const { return m_hovered; }
    // Starts the fade towards the new state; nothing when it is already there.
    void setHovered(bool hovered);
    // 0 at rest, 1 fully hovered.
    double level() const { return m_level; }

    // `from` at level 0, `to` at level 1.
    static QColor mix(const QColor& from, const QColor& to, double level);

private:
    QWidget* m_target;
    QVariantAnimation m_animation;
    bool m_hovered = false;
    double m_level = 0;
};
