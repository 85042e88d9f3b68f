#include "HostLookup.h"

#include <algorithm>

#include <netdb.h>
#include <sys/socket.h>
#include <sys/types.h>

bool lookUpHost(const std::string &host, std::vector<std::string> &addresses, std::string &error)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *found = nullptr;
    const int result = ::getaddrinfo(host.c_str(), nullptr, &hints, &found);
    if (result != 0) {
        error =
            result == EAI_NONAME || result == EAI_NODATA ? "unknown host" : std::string(gai_strerror(result));
        return false;
    }
    addresses.clear();
    for (const addrinfo *a = found; a != nullptr; a = a->ai_next) {
        char text[NI_MAXHOST];
        if (::getnameinfo(a->ai_addr, a->ai_addrlen, text, sizeof text, nullptr, 0, NI_NUMERICHOST) == 0 &&
            std::find(addresses.begin(), addresses.end(), text) == addresses.end())
            addresses.emplace_back(text);
    }
    ::freeaddrinfo(found);
    if (!addresses.empty())
        return true;
    error = "unknown host";
    return false;
}
