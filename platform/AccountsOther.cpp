#include "Accounts.h"

// Without Unix owners and groups there is nothing to advise from.
std::optional<DeviceAccess> deviceAccess(const std::string &)
{
    return std::nullopt;
}

ProcessAccess processAccess()
{
    return {};
}
