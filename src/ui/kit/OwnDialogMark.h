#pragma once
// Marks, on a window, that a dialog of its own is open (a file or colour dialog, possibly drawn by the
// desktop and so unknown to Qt's widget tree), so a window that closes when the focus leaves the
// application can tell that the focus only went to its own dialog.

class QObject;
class QWidget;

class OwnDialogMark {
public:
    // Counts `dialog` as open on `owner`'s window until the dialog is destroyed or, for a QDialog, finished.
    static void markWhileOpen(QWidget* owner, QObject* dialog);
    // Whether any dialog marked on this window is open now.
    static bool isOpen(const QWidget* window);

    OwnDialogMark() = delete;
};
