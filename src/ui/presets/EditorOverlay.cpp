#include "ui/presets/EditorOverlay.h"

#include <QKeyEvent>

EditorOverlay::EditorOverlay(QWidget* card, Keys keys, QWidget* parent)
    : DimmedOverlay(parent, QvColor::qvInkPrimary()), m_keys(std::move(keys)) {
    setContent(card, inset);
}

void EditorOverlay::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    // Nothing reaches the tab behind; a click beside the card closes nothing either.
    event->accept();
    if (modifiers != Qt::NoModifier) {
        return;
    }
    if (event->key() == Qt::Key_Escape && m_keys.onEscape) {
        m_keys.onEscape();
    } else if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && m_keys.onReturn) {
        m_keys.onReturn();
    }
}
