#pragma once
// Makes the calling thread's kernel one without socket diagnostics: from now on its netlink sockets cannot be
// had (socket() fails with EAFNOSUPPORT), while other threads are untouched. It cannot be undone, so call it
// on a thread of its own. False when the kernel refuses the filter.

#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/syscall.h>

#include <cerrno>
#include <cstddef>
#include <iterator>

inline bool refuseSocketDiagnosticsOnThisThread() {
    // Each step: code, jump if true, jump if false, value.
    sock_filter filter[] = {
        {BPF_LD | BPF_W | BPF_ABS, 0, 0, offsetof(seccomp_data, nr)},
        {BPF_JMP | BPF_JEQ | BPF_K, 0, 3, __NR_socket},
        {BPF_LD | BPF_W | BPF_ABS, 0, 0, offsetof(seccomp_data, args)}, // the family, little-endian
        {BPF_JMP | BPF_JEQ | BPF_K, 0, 1, AF_NETLINK},
        {BPF_RET | BPF_K, 0, 0, SECCOMP_RET_ERRNO | (EAFNOSUPPORT & SECCOMP_RET_DATA)},
        {BPF_RET | BPF_K, 0, 0, SECCOMP_RET_ALLOW},
    };
    const sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
    // Both hold for this thread only: no TSYNC is asked for.
    return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
           ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}
