#include "KernelFiles.h"

// Only Linux is known to pass its kernel's files off as regular ones.
bool onKernelFileSystem(int)
{
    return false;
}
