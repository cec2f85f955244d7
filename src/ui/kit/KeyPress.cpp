#include "ui/kit/KeyPress.h"

#include <QKeyEvent>

namespace KeyPress {

bool isPlainEscape(const QKeyEvent& event) {
    return event.key() == Qt::Key_Escape && (event.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

} // namespace KeyPress
