#pragma once
// What covers the presets tab while an editor is open: a dim layer that ignores clicks, and the editor's
// card in its middle. The keyboard stays in the card: Tab cycles it, Escape cancels, and Return does what
// the editor says (save, or nothing) and never reaches the tab behind.

#include "ui/kit/DimmedOverlay.h"

#include <functional>

class EditorOverlay : public DimmedOverlay {
    Q_OBJECT
public:
    static constexpr int inset = 24;

    struct Keys {
        std::function<void()> onEscape;
        std::function<void()> onReturn; // empty: Return does nothing
    };

    // Takes the card as its child; shown by its owner.
    EditorOverlay(QWidget* card, Keys keys, QWidget* parent);

    QWidget* card() const { return content(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    Keys m_keys;
};
