#include "DeviceLinkState.h"

std::uint8_t &DeviceLinkState::step(Operation op)
{
    return this->*operationInfo(op).step;
}

std::uint8_t DeviceLinkState::step(Operation op) const
{
    return this->*operationInfo(op).step;
}
