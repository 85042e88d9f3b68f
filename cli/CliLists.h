#pragma once

#include <string>

class PortDirectory;

// sgxctl list: the built-in tables, from the same code the windows show them with.
// One line per entry, fields separated by one tab; or one JSON array of objects.
[[nodiscard]] std::string listTimings(bool json);
// Number and name, the name with its trailing spaces; JSON objects {"number", "name"}.
[[nodiscard]] std::string listPatterns(bool json);

// sgxctl ports: every serial port the system reported at the directory's last refresh, one a line:
// system name, device, description, manufacturer, serial number, USB vendor and product id (four
// hexadecimal digits) and the COM n that names it, "-" for what a port lacks; or JSON objects
// with those fields, null for what it lacks.
[[nodiscard]] std::string listPorts(const PortDirectory &ports, bool json);

// A JSON string literal, quotes included.
[[nodiscard]] std::string jsonString(const std::string &text);
