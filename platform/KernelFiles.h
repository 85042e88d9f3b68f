#pragma once

// Whether the file open as descriptor lives on one of the kernel's own file systems (/proc, /sys
// and their kind). Only where the system has them; false elsewhere and when it cannot be told.
[[nodiscard]] bool onKernelFileSystem(int descriptor);
