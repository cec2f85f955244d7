#include "platform/InProcessNotifications.h"

InProcessNotifications& InProcessNotifications::defaultCenter() {
    static InProcessNotifications center;
    return center;
}

void InProcessNotifications::post(const QString& name) {
    emit posted(name);
}
