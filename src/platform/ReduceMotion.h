#pragma once
// The one process-wide "reduce motion" setting: every animation asks it before it moves anything.

#include <QObject>

class ReduceMotion : public QObject {
    Q_OBJECT
public:
    // The shell sets the value from the desktop's accessibility settings at launch and whenever they
    // change; until then motion is allowed.
    static bool enabled();
    static void setEnabled(bool enabled);
    // The object that announces changes; it lives as long as the process.
    static ReduceMotion& instance();

signals:
    // Only on a real change of the value.
    void changed(bool enabled);

private:
    ReduceMotion() = default;

    bool m_enabled = false;
};
