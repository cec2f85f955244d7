#pragma once
// The tile of one on/off setting: an icon badge and the switch on top, the setting's name (and an optional
// hint) below. Only the switch changes the setting; the tile shows what its source holds.

#include "platform/PreferenceSetting.h"

#include <QString>
#include <QWidget>

#include <functional>

class AccentSwitch;
class TokenLabel;

class ToggleCard : public QWidget {
    Q_OBJECT
public:
    // `icon` is a symbol name; `title` and `hint` are keys as for NumberFieldRow. The card starts off and
    // shows what setOn gives it; a click on the switch only asks (toggleRequested).
    ToggleCard(const QString& icon, const char* title, const char* hint = nullptr, QWidget* parent = nullptr);

    // The card bound to a declared flag: shows it, follows writes by anyone, writes the user's choice.
    static ToggleCard* bound(const QString& icon, const char* title, Preferences& preferences,
                             const PreferenceSetting<bool>& setting, QWidget* parent = nullptr);

    bool isOn() const;
    void setOn(bool on);
    AccentSwitch* toggle() const { return m_switch; }
    QString title() const;

signals:
    void toggleRequested(bool on);

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void retranslate();

    QString m_icon;
    const char* m_title;
    const char* m_hint;
    QWidget* m_badge;
    AccentSwitch* m_switch;
    TokenLabel* m_titleLabel;
    TokenLabel* m_hintLabel = nullptr;
};
