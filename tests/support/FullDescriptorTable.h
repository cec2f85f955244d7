#pragma once
// Every descriptor this process may open is taken (the soft limit lowered to just above those in use), so
// the next socket or accept fails; given back one by one, or all when it goes.

#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

class FullDescriptorTable {
public:
    FullDescriptorTable() {
        ::getrlimit(RLIMIT_NOFILE, &m_previous);
        const int source = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
        const rlimit low{rlim_t(source) + 8, m_previous.rlim_max};
        ::setrlimit(RLIMIT_NOFILE, &low);
        m_taken.push_back(source);
        for (int fd = 0; (fd = ::fcntl(source, F_DUPFD_CLOEXEC, 0)) >= 0;) {
            m_taken.push_back(fd);
        }
    }
    ~FullDescriptorTable() {
        for (int fd : m_taken) {
            ::close(fd);
        }
        ::setrlimit(RLIMIT_NOFILE, &m_previous);
    }
    FullDescriptorTable(const FullDescriptorTable&) = delete;
    FullDescriptorTable& operator=(const FullDescriptorTable&) = delete;

    // One descriptor free again; false when none is left to give.
    bool giveBackOne() {
        if (m_taken.empty()) {
            return false;
        }
        ::close(m_taken.back());
        m_taken.pop_back();
        return true;
    }

private:
    rlimit m_previous{};
    std::vector<int> m_taken;
};
