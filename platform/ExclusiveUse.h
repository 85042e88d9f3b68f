#pragma once

// Holds the device open as descriptor against every other opener: an exclusive lock on the
// device itself, which other serial programs honour and which two names of one device share,
// and the terminal's own exclusive mode where the system has it. False when another process
// holds the lock, with its process id in holder where the system tells it (else 0).
[[nodiscard]] bool holdDeviceExclusively(int descriptor, long &holder);
