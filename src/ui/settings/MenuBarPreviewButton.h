#pragma once
// One choice of the menu-bar appearance picker: a live preview over its name, filled dark when selected.

#include "ui/kit/PressableButton.h"

#include <QColor>
#include <QRectF>

#include <functional>

class QPainter;

class MenuBarPreviewButton : public PressableButton {
    Q_OBJECT
public:
    // Draws the preview in the given colour inside the given 20-pixel-high frame.
    using PreviewPainter = std::function<void(QPainter& painter, const QRectF& frame, const QColor& color)>;
    // Names are fetched when drawn, so a change of language shows at once.
    using LabelSource = std::function<QString()>;

    MenuBarPreviewButton(LabelSource label, PreviewPainter preview, QWidget* parent = nullptr);

    void setSelected(bool selected);
    bool isSelected() const { return isChecked(); }
    QString labelText() const { return m_label(); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    static constexpr int minimumHeight = 58;
    static constexpr double previewHeight = 20;
    static constexpr double stackSpacing = 6;
    static constexpr double cornerRadius = 12;
    static constexpr double pressScale = 0.98;

protected:
    void paintFace(QPainter& painter) override;
    // Selection follows the stored value, never the click itself.
    void nextCheckState() override {}
    void changeEvent(QEvent* event) override;

private:
    LabelSource m_label;
    PreviewPainter m_preview;
};
