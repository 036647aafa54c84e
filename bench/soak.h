#pragma once

namespace trellisk::bench {

// Runs `cycles` monitoring cycles over a generated tree that changes before every cycle, and
// prints the resident memory after the baseline, at the end, and once the log is cleared.
int RunSoak(int cycles);

} // namespace trellisk::bench
