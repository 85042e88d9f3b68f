#pragma once

#include "EdidValues.h"
#include "LinkValues.h"
#include "PatternValues.h"
#include "ProgramValues.h"
#include "TimingValues.h"

// The values the windows hand over to the link, one set of each folder's: created once at
// start-up and passed by reference, so every test builds a fresh set. A window takes its own
// folder's part; the link sees the whole through LinkValues.
struct SharedValues : TimingValues, PatternValues, ProgramValues, EdidValues {
    // Views into this set, valid while it lives (assigning a fresh set keeps them valid); not
    // taken of a temporary.
    operator LinkValues() &;
};
