#include "HostLookup.h"

// Standard C++ has no resolver: a terminal server is then named by its address.
bool lookUpHost(const std::string &, std::vector<std::string> &, std::string &error)
{
    error = "host names are not looked up on this system: name the terminal server by its address";
    return false;
}
