// The child process of the journal's crash test: plays a made-up test through the journal, one
// change after another, until it is killed. Before each write it prints "w <n>", after it
// "d <n>", unbuffered, so that the test knows which states were complete when the kill came.
#include <unistd.h>
#include <cstdio>
#include <cstdlib>

#include "support/SimulatedTest.h"

int main(int argc, char** argv) {
    if (argc != 4)
        return 2;
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const auto seed = static_cast<quint32>(std::strtoul(argv[2], nullptr, 10));
    const int count = std::atoi(argv[3]);
    norak::SimulatedTest test(seed);
    norak::Journal journal(norak::kEditionZevez, folder);
    char line[32];
    for (int n = 1; n <= count; ++n) {
        test.step();
        if (::write(STDOUT_FILENO, line, std::snprintf(line, sizeof line, "w %d\n", n)) < 0)
            return 3;
        if (journal.write(test.state()) != norak::Journal::WriteResult::Written)
            return 1;
        if (::write(STDOUT_FILENO, line, std::snprintf(line, sizeof line, "d %d\n", n)) < 0)
            return 3;
    }
    return 0;
}
