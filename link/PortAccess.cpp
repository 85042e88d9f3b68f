#include "PortAccess.h"

#include <algorithm>
#include <cstdio>

namespace {

bool contains(const std::vector<unsigned> &groups, unsigned group)
{
    return std::find(groups.begin(), groups.end(), group) != groups.end();
}

} // namespace

std::string permissionAdvice(const DeviceAccess &device, const ProcessAccess &process)
{
    const bool groupMayUseIt = (device.mode & 060u) == 060u && process.uid != device.owner;
    if (groupMayUseIt && !contains(process.groups, device.group)) {
        if (contains(process.listedGroups, device.group))
            return "the device belongs to the group " + device.groupName +
                   ", which you joined after logging in: log out and in again";
        return "the device belongs to the group " + device.groupName +
               ", which you are not in: sudo usermod -aG " + device.groupName +
               " $USER, then log out and in again";
    }
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", device.mode & 07777u);
    return "the device is owned by " + device.ownerName + ", group " + device.groupName + ", mode " + mode;
}
