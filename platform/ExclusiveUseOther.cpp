#include "ExclusiveUse.h"

// Where devices are opened exclusively by the system itself, there is nothing more to hold.
bool holdDeviceExclusively(int, long &)
{
    return true;
}
