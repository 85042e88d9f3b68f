#pragma once

#include <optional>
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

// The owner and group (numbers, and names where the databases have them) and mode of the file
// name leads to; nullopt where it cannot be looked at or the system has no such thing.
[[nodiscard]] std::optional<DeviceAccess> deviceAccess(const std::string &name);
// Who this process is, now.
[[nodiscard]] ProcessAccess processAccess();
