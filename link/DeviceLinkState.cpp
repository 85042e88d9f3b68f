#include "DeviceLinkState.h"

std::uint8_t &DeviceLinkState::step(Operation op)
{
    switch (op) {
    case Operation::URTCNT: return stepURTCNT;
    case Operation::TMIX: return stepTMIX;
    case Operation::PTIX: return stepPTIX;
    case Operation::TMGS: return stepTMGS;
    case Operation::PTNS: return stepPTNS;
    case Operation::ATRN: return stepATRN;
    case Operation::DFSET: return stepDFSET;
    case Operation::REDID: return stepREDID;
    case Operation::UEDID: return stepUEDID;
    case Operation::WEDID: return stepWEDID;
    }
    return stepURTCNT;
}

std::uint8_t DeviceLinkState::step(Operation op) const
{
    return const_cast<DeviceLinkState *>(this)->step(op);
}

const char *commandText(Operation op)
{
    switch (op) {
    case Operation::URTCNT: return "URTCNT";
    case Operation::TMIX: return "TMIX";
    case Operation::PTIX: return "PTIX";
    case Operation::TMGS: return "TMGS";
    case Operation::PTNS: return "PTNS";
    case Operation::ATRN: return "ATRN";
    case Operation::DFSET: return "DFSET";
    case Operation::REDID: return "REDID";
    case Operation::UEDID: return "UEDID";
    case Operation::WEDID: return "WEDID";
    }
    return "";
}
