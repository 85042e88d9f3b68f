#pragma once

// Misbehaviour the emulator can be asked for, one switch per fault, so the program's handling
// of each can be tried without a broken generator at hand.
struct SimFaults {
    bool silent = false;           // never answers anything
    bool noFinalAnswer = false;    // acknowledges command lines, then stays quiet
    bool noOk = false;             // every answer that would hold "OK" says "NG" instead
    bool splitOk = false;          // "OK..." answers go as "O", the rest 150 ms later
    int delayMs = 0;               // added to every answer's delay
    int malformedBlock = -1;       // EDID block (0..7) whose answer carries a non-hex digit
    bool garbage = false;          // every answer replaced by 5,000 bytes of noise without "OK"
    bool longAnswer = false;       // every answer padded past 1,024 bytes before its line end
    bool hangUpMidPayload = false; // the line goes dead halfway through a payload
    bool hangUpAfterAck = false;   // the line goes dead once an acknowledgment has gone out
    bool keepSlave = false;        // a hang-up closes only the master: the far end reads end-of-file
    int fromCommand = 1;           // faults start with this command line (2: the presence check passes)
};
