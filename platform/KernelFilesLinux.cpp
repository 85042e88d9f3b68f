#include "KernelFiles.h"

#include <linux/magic.h>
#include <sys/vfs.h>

bool onKernelFileSystem(int descriptor)
{
    struct statfs info {};
    if (::fstatfs(descriptor, &info) != 0)
        return false;
    switch (static_cast<unsigned long>(info.f_type)) {
    case PROC_SUPER_MAGIC:
    case SYSFS_MAGIC:
    case DEBUGFS_MAGIC:
    case TRACEFS_MAGIC:
    case SECURITYFS_MAGIC:
    case CGROUP_SUPER_MAGIC:
    case CGROUP2_SUPER_MAGIC:
    case BPF_FS_MAGIC:
    case EFIVARFS_MAGIC: return true;
    default: return false;
    }
}
