// Links the engine and results libraries alone: if either needed a GUI module, this would not
// build. It also checks one fact so that it is a real test.
#include <cstdio>

#include "engine/Edition.h"

int main() {
    const norak::EditionRecord zevez = norak::editionRecord(norak::kEditionZevez);
    if (zevez.stationsPerLap != 12 || norak::sourcePeriodTable(norak::kEditionZevez).size() != 25) {
        std::puts("engine data wrong");
        return 1;
    }
    return 0;
}
