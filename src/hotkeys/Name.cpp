#include "hotkeys/Name.h"

#include "hotkeys/GlobalHotkeys.h"

namespace GlobalHotkeys {

namespace {

Shortcut optionCommand(Key key) {
    return Shortcut(key.rawValue, CarbonModifier::option | CarbonModifier::command);
}

} // namespace

Name::Name(QString rawValue) : m_rawValue(std::move(rawValue)) {
    detail::initialize();
}

Name::Name(QString rawValue, std::optional<Shortcut> defaultShortcut)
    : m_rawValue(std::move(rawValue)), m_defaultShortcut(defaultShortcut) {
    if (m_defaultShortcut && !userDefaultsContains(*this)) {
        userDefaultsSet(*this, *m_defaultShortcut);
    }
    detail::initialize();
}

std::optional<Shortcut> Name::shortcut() const {
    return getShortcut(*this);
}

void Name::setShortcut(const std::optional<Shortcut>& shortcut) const {
    GlobalHotkeys::setShortcut(shortcut, *this);
}

Name Name::quickLaunch() {
    return detail::applicationName(QStringLiteral("quickLaunch"), optionCommand(Key::space));
}
Name Name::toggleFloating() {
    return detail::applicationName(QStringLiteral("toggleFloating"), optionCommand(Key::f));
}
Name Name::quickPreset() {
    return detail::applicationName(QStringLiteral("quickPreset"), optionCommand(Key::one));
}
Name Name::pauseResume() {
    return detail::applicationName(QStringLiteral("pauseResume"), std::nullopt);
}
Name Name::reset() {
    return detail::applicationName(QStringLiteral("reset"), std::nullopt);
}
Name Name::newTimer() {
    return detail::applicationName(QStringLiteral("newTimer"), std::nullopt);
}
Name Name::startTimer() {
    return detail::applicationName(QStringLiteral("startTimer"), std::nullopt);
}
Name Name::stopTimer() {
    return detail::applicationName(QStringLiteral("stopTimer"), std::nullopt);
}
Name Name::nextInQueue() {
    return detail::applicationName(QStringLiteral("nextInQueue"), std::nullopt);
}
Name Name::pauseQueue() {
    return detail::applicationName(QStringLiteral("pauseQueue"), std::nullopt);
}

} // namespace GlobalHotkeys
