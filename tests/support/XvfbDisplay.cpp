#include "support/XvfbDisplay.h"

#include <QStandardPaths>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

XvfbDisplay::XvfbDisplay(const QString& screen) {
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty()) {
        m_error = QStringLiteral("Xvfb is not installed (scripts/deps.sh --tests installs it)");
        return;
    }
    // Xvfb picks a free number itself and writes it to the given descriptor: no race for a number.
    m_xvfb.process.start(xvfb,
                         {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                          QStringLiteral("0"), screen, QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    QByteArray number;
    while (!number.contains('\n') && m_xvfb.process.waitForReadyRead(5000)) {
        number += m_xvfb.process.readAllStandardOutput();
    }
    if (number.trimmed().isEmpty()) {
        m_error = QStringLiteral("Xvfb did not start: ") +
                  QString::fromLocal8Bit(m_xvfb.process.readAllStandardError());
        return;
    }
    m_name = QLatin1Char(':') + QString::fromLatin1(number.trimmed());
}

QProcessEnvironment XvfbDisplay::environment(QProcessEnvironment environment) const {
    environment.insert(QStringLiteral("DISPLAY"), m_name);
    return environment;
}

bool removeSuperModifierKeys(const QString& display) {
    xcb_connection_t* connection = xcb_connect(display.toLocal8Bit().constData(), nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return false;
    }
    xcb_get_modifier_mapping_reply_t* map =
        xcb_get_modifier_mapping_reply(connection, xcb_get_modifier_mapping(connection), nullptr);
    if (map == nullptr) {
        xcb_disconnect(connection);
        return false;
    }
    const int perModifier = map->keycodes_per_modifier;
    std::vector<xcb_keycode_t> keycodes(xcb_get_modifier_mapping_keycodes(map),
                                        xcb_get_modifier_mapping_keycodes(map) + 8 * perModifier);
    std::free(map);
    std::fill_n(keycodes.begin() + 6 * perModifier, perModifier, xcb_keycode_t(0)); // Mod4
    xcb_set_modifier_mapping_reply_t* set = xcb_set_modifier_mapping_reply(
        connection, xcb_set_modifier_mapping(connection, quint8(perModifier), keycodes.data()), nullptr);
    const bool accepted = set != nullptr && set->status == XCB_MAPPING_STATUS_SUCCESS;
    std::free(set);
    xcb_disconnect(connection);
    return accepted;
}
