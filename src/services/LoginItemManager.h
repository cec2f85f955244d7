#pragma once
// The launch-at-login switch the settings screen and onboarding bind to: it shows the registration as last
// read, and changes it only through its LoginItemControlling.

#include "services/LoginItemControlling.h"

#include <QObject>

#include <memory>

class LoginItemManager : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isEnabled READ isEnabled NOTIFY isEnabledChanged)
public:
    // Over the user's autostart folder.
    explicit LoginItemManager(QObject* parent = nullptr);
    explicit LoginItemManager(std::unique_ptr<LoginItemControlling> control, QObject* parent = nullptr);
    ~LoginItemManager() override;

    bool isEnabled() const { return m_isEnabled; }

    // Registers or unregisters so the registration matches `enabled`; asking for the state that already
    // holds calls nothing. A failure is logged, never shown, and the switch always ends on the real state.
    void setEnabled(bool enabled);
    // Reads the registration again, for changes made outside the program.
    void refresh();

signals:
    // After every reading that setEnabled() or refresh() publishes, changed or not, so a switch the user
    // flipped springs back when the registration did not follow.
    void isEnabledChanged(bool isEnabled);

private:
    void publish();

    std::unique_ptr<LoginItemControlling> m_control;
    bool m_isEnabled = false;
};
