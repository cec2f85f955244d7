#pragma once
// A preset's key: a keyboard glyph, followed by the shortcut's text once one is recorded. A press opens
// the preset's key bubble.

#include "ui/kit/PressableButton.h"

#include <QString>

#include <optional>

class ShortcutBadge : public PressableButton {
    Q_OBJECT
public:
    static constexpr int minimumSide = 44;

    explicit ShortcutBadge(QWidget* parent = nullptr);

    // None shows the glyph alone, in the muted ink and without a ground.
    void setLabel(const std::optional<QString>& label);
    const std::optional<QString>& label() const { return m_label; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintFace(QPainter& painter) override;

private:
    double padding() const { return m_label ? 9 : 7; }

    std::optional<QString> m_label;
};
