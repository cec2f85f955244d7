#pragma once
// The program's one in-process notification centre: any part posts a name, any part observes it, without
// either knowing the other (a screen's button asking the shell to toggle a window, say).

#include <QObject>
#include <QString>

class InProcessNotifications : public QObject {
    Q_OBJECT
public:
    // Asks the shell to show or hide the floating timer window.
    static inline const QString toggleFloating = QStringLiteral("quorvane.toggleFloating");

    // The process-wide centre; it lives as long as the process.
    static InProcessNotifications& defaultCenter();

    // Emits posted(name) to every observer, at once, on the calling thread.
    void post(const QString& name);

signals:
    void posted(const QString& name);

private:
    InProcessNotifications() = default;
};
