#pragma once
// Which kind of panel shows our item, told by the program that owns the item watcher: GNOME Shell draws an
// item's text label beside a small recoloured glyph; every other panel we know (Plasma, XFCE, LXQt) draws
// the item's picture alone, scaled into a small square. The probe asks the bus again whenever it is told
// the watcher may have changed.

#include <QDBusConnection>
#include <QObject>
#include <QString>

enum class PanelHostKind {
    label,  // draws the item's label text beside its icon
    square, // draws only the item's picture, in a square
};

namespace PanelHost {

// The kind for the watcher's process name (its /proc comm) and, when that could not be read, the
// desktop's name list (XDG_CURRENT_DESKTOP). A host we do not know is square: a picture that holds the
// time reads everywhere, a label does not.
PanelHostKind kindFor(const QString& watcherCommand, const QString& currentDesktop);

// The process name of a process, as /proc has it; empty when it cannot be read.
QString processCommand(quint32 pid);

} // namespace PanelHost

class PanelHostProbe : public QObject {
    Q_OBJECT
public:
    // Starts with the guess from the desktop's name; probe() asks the bus. The connection is not owned.
    explicit PanelHostProbe(QDBusConnection connection, QObject* parent = nullptr);

    PanelHostKind kind() const { return m_kind; }
    // Asks who owns the watcher now, asynchronously; kindChanged() follows when the answer differs.
    void probe();

signals:
    void kindChanged(PanelHostKind kind);

private:
    void setKind(PanelHostKind kind);

    QDBusConnection m_connection;
    PanelHostKind m_kind;
    int m_request = 0; // only the newest request's answer counts
};
