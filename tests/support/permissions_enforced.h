// Folder and file permissions that apply to the calling thread even when the
// tests run as root (as in CI): root reads every folder through two
// capabilities, which this thread gives up for a while and then takes back.
#pragma once

#ifdef __linux__
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

class TPermissionsEnforced {
public:
    TPermissionsEnforced()
    {
#ifdef __linux__
        if (::geteuid() != 0) {
            FActive = true;
            return;
        }
        if (::syscall(SYS_capget, &FHeader, FSaved) != 0)
            return;
        __user_cap_data_struct Less[2] = {FSaved[0], FSaved[1]};
        Less[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        FDropped = FActive = ::syscall(SYS_capset, &FHeader, Less) == 0;
#endif
    }
    ~TPermissionsEnforced()
    {
#ifdef __linux__
        if (FDropped)
            ::syscall(SYS_capset, &FHeader, FSaved);
#endif
    }
    TPermissionsEnforced(const TPermissionsEnforced&) = delete;
    TPermissionsEnforced& operator=(const TPermissionsEnforced&) = delete;

    // Whether a folder without read permission is now unreadable here.
    bool Active() const { return FActive; }

private:
    bool FActive = false;
#ifdef __linux__
    bool FDropped = false;
    __user_cap_header_struct FHeader{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct FSaved[2]{};
#endif
};
