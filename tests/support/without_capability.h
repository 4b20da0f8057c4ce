// Root's permission overrides taken away for a while, so that tests running as
// root (as CI does) still meet the refusals a user meets. Linux only.
#pragma once

#include <linux/capability.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <functional>

namespace tc::test {

// Capabilities lowered in the calling thread's effective set only; the permitted
// set keeps them, so they come back at the end of the scope.
class WithoutCapability {
public:
    explicit WithoutCapability(int capability) {
        if (syscall(SYS_capget, &header_, saved_) != 0) return;
        __user_cap_data_struct lowered[2];
        std::memcpy(lowered, saved_, sizeof lowered);
        lowered[capability / 32].effective &= ~(1u << (capability % 32));
        lowered_ = syscall(SYS_capset, &header_, lowered) == 0;
    }
    ~WithoutCapability() {
        if (lowered_) syscall(SYS_capset, &header_, saved_);
    }
    WithoutCapability(const WithoutCapability&) = delete;
    WithoutCapability& operator=(const WithoutCapability&) = delete;

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
    bool lowered_ = false;
};

// Runs the body in a child process that has lost the capability for good, and
// returns the body's answer (0 to 255); -1 when no such child could be run.
inline int InChildWithout(int capability, const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child < 0) return -1;
    if (child == 0) {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct data[2]{};
        if (syscall(SYS_capget, &header, data) != 0) ::_exit(254);
        const unsigned bit = 1u << (capability % 32);
        data[capability / 32].effective &= ~bit;
        data[capability / 32].permitted &= ~bit;
        data[capability / 32].inheritable &= ~bit;
        if (syscall(SYS_capset, &header, data) != 0) ::_exit(254);
        ::_exit(body() & 0xFF);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) == 254) return -1;
    return WEXITSTATUS(status);
}

}  // namespace tc::test
