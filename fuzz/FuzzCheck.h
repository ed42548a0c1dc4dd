#pragma once

#include <cstddef>
#include <cstdint>

// Every fuzz target defines this entry: libFuzzer calls it with each input it makes, and the
// replay program (replay_main.cpp) with each file of the target's corpus. It returns 0; a broken
// property stops the process (see require).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace norak::fuzz {

// Stops the process when a property of a reader does not hold: prints
// "FUZZ PROPERTY FAILED: <target>: <what>" (bench/fuzz.sh counts these apart from crashes) and
// aborts, so that libFuzzer keeps the input as a crash file and the replay fails.
void require(bool holds, const char* target, const char* what);

}  // namespace norak::fuzz
