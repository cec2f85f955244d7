#include "shell/DisplayConnectionWatcher.h"

#include "shell/X11WindowHints.h"

#include <QSocketNotifier>

#include <xcb/xcb.h>

#include <cstdlib>

DisplayConnectionWatcher::DisplayConnectionWatcher(QObject* parent) : QObject(parent) {
    if (!X11WindowHints::isAvailable()) {
        return;
    }
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return;
    }
    m_connection = connection;
    m_notifier = new QSocketNotifier(xcb_get_file_descriptor(m_connection), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &DisplayConnectionWatcher::onReadable);
}

DisplayConnectionWatcher::~DisplayConnectionWatcher() {
    delete m_notifier;
    if (m_connection) {
        xcb_disconnect(m_connection);
    }
}

void DisplayConnectionWatcher::onReadable() {
    // Nothing is selected, but the server may still send the odd event (a mapping change): drain them.
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
        std::free(event);
    }
    if (xcb_connection_has_error(m_connection)) {
        m_notifier->setEnabled(false);
        emit displayLost();
    }
}
