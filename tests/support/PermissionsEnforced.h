#pragma once
// While alive, file permissions hold for the calling thread even when tests run as root: the capabilities
// that override them are dropped from its effective set, and raised again from the permitted set at the
// end. For anyone else this changes nothing, as those capabilities are not held to begin with.

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstring>

class PermissionsEnforced {
public:
    PermissionsEnforced() {
        m_saved = syscall(SYS_capget, &m_header, m_data) == 0;
        if (!m_saved) {
            return;
        }
        __user_cap_data_struct lowered[2];
        std::memcpy(lowered, m_data, sizeof lowered);
        for (unsigned cap :
             {unsigned(CAP_DAC_OVERRIDE), unsigned(CAP_DAC_READ_SEARCH), unsigned(CAP_FOWNER)}) {
            lowered[cap / 32].effective &= ~(1u << (cap % 32));
        }
        syscall(SYS_capset, &m_header, lowered);
    }
    ~PermissionsEnforced() {
        if (m_saved) {
            syscall(SYS_capset, &m_header, m_data);
        }
    }
    PermissionsEnforced(const PermissionsEnforced&) = delete;
    PermissionsEnforced& operator=(const PermissionsEnforced&) = delete;

private:
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0}; // 0: this thread
    __user_cap_data_struct m_data[2]{};
    bool m_saved = false;
};
