#pragma once

#include <QString>

#include <string>

// Holds an open device against every other opener: an exclusive lock on the device itself, which
// other serial programs honour and which two names of one device (a symbolic link, a
// /dev/serial/by-id name) share, and the terminal's own exclusive mode where the system has it.
// Empty when held; else why not, with the holder's process id where it can be found.
[[nodiscard]] std::string holdExclusively(int descriptor);

// Whether the lock file Qt takes for a device ("LCK.." and its path below /dev, a path elsewhere
// whole, '/' as '_') would have a name longer than a file system takes, so that no open of it can
// succeed.
[[nodiscard]] bool lockFileNameTooLong(const QString &device);

// The process id that the lock file Qt keeps for a device names; 0 when there is none.
[[nodiscard]] long lockFileHolder(const QString &device);

// "already in use by another program", and the holder where it is known.
[[nodiscard]] std::string inUseBy(long pid);
