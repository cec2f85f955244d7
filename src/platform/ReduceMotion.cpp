#include "platform/ReduceMotion.h"

ReduceMotion& ReduceMotion::instance() {
    static ReduceMotion value;
    return value;
}

bool ReduceMotion::enabled() {
    return instance().m_enabled;
}

void ReduceMotion::setEnabled(bool enabled) {
    ReduceMotion& self = instance();
    if (self.m_enabled == enabled) {
        return;
    }
    self.m_enabled = enabled;
    emit self.changed(enabled);
}
