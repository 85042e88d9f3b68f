#pragma once

#include <string>
#include <vector>

// Who may open a device: its owner, its group and its permission bits.
struct DeviceAccess {
    unsigned owner = 0;
    unsigned group = 0;
    unsigned mode = 0;
    std::string ownerName;
    std::string groupName;
};

// Who this process is: its effective user, the groups it runs with (effective and
// supplementary), and the groups the group database lists the user in now.
struct ProcessAccess {
    unsigned uid = 0;
    std::vector<unsigned> groups;
    std::vector<unsigned> listedGroups;
};

// What to do about a device the process may not open. Joining the device's group helps only
// when that group may read and write it and the user does not own it: then the advice names the
// group and the command, or, for a user already listed in it, says to log in again (a process
// has the groups of its login). Otherwise it says who owns the device and its mode.
[[nodiscard]] std::string permissionAdvice(const DeviceAccess &device, const ProcessAccess &process);
