// Root's permission overrides taken away for a while, so that tests running as
// root (as CI does) still meet the refusals a user meets. Linux only.
#pragma once

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstring>

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

}  // namespace tc::test
