#pragma once

namespace norak {

// Counts the sound server's outputs (its sinks), or 0 when no server answers within budgetMs.
//
// The count runs on the calling thread, on a main loop of its own that lives only for the call:
// it leaves no thread of the sound library behind, and nothing of it is running when it returns.
// (A client library thread that outlives its owner, still dispatching the server's change
// notices while the program ends, is how a program crashes in its last moment.) It never starts
// a server.
int countServerOutputs(int budgetMs);

}  // namespace norak
