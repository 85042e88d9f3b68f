#pragma once

#include <string>
#include <vector>

// The addresses a host name stands for, as numeric texts ("192.0.2.7", "fe80::1%eth0"), each
// once, from the system's resolver, which may take as long as it likes. False with the reason
// when there are none: "unknown host" for a name no resolver knows.
[[nodiscard]] bool lookUpHost(const std::string &host, std::vector<std::string> &addresses,
                              std::string &error);
