#include "ui/kit/OwnDialogMark.h"

#include <QDialog>
#include <QPointer>
#include <QVariant>
#include <QWidget>

#include <algorithm>
#include <memory>

namespace {

constexpr const char* kCountProperty = "tt.ownDialogsOpen";

void add(QWidget* window, int delta) {
    if (window) {
        window->setProperty(kCountProperty, std::max(0, window->property(kCountProperty).toInt() + delta));
    }
}

} // namespace

void OwnDialogMark::markWhileOpen(QWidget* owner, QObject* dialog) {
    if (!owner || !dialog) {
        return;
    }
    QPointer<QWidget> window = owner->window();
    add(window, 1);
    // Finished and destroyed may both come: only the first unmarks.
    auto done = std::make_shared<bool>(false);
    const auto unmark = [window, done] {
        if (!*done) {
            *done = true;
            add(window, -1);
        }
    };
    QObject::connect(dialog, &QObject::destroyed, window ? window.data() : owner, unmark);
    if (auto* asDialog = qobject_cast<QDialog*>(dialog)) {
        QObject::connect(asDialog, &QDialog::finished, asDialog, unmark);
    }
}

bool OwnDialogMark::isOpen(const QWidget* window) {
    return window && window->property(kCountProperty).toInt() > 0;
}
