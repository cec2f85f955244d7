#include "ui/presets/EditorOverlay.h"

#include "ui/kit/KeyPress.h"

#include <QKeyEvent>

EditorOverlay::EditorOverlay(QWidget* card, Keys keys, QWidget* parent)
    : DimmedOverlay(parent, QvColor::qvInkPrimary()), m_keys(std::move(keys)) {
    setContent(card, inset);
}

void EditorOverlay::keyPressEvent(QKeyEvent* event) {
    // Nothing reaches the tab behind; a click beside the card closes nothing either.
    event->accept();
    if (KeyPress::isPlainEscape(*event)) {
        if (m_keys.onEscape) {
            m_keys.onEscape();
        }
        return;
    }
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && m_keys.onReturn) {
        m_keys.onReturn();
    }
}
