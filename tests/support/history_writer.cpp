// The child process of the history's crash and rights tests.
//   history_writer store <database> <seed> <count>: stores made-up tests one after another until
//     killed, printing "w <n>" before each store and "d <n>" after it, unbuffered, so that the
//     test knows which tests were complete when the kill came.
//   history_writer open <database>: opens the database (perhaps as another user) and tries to
//     store one test; prints the opening's status and message, then the store's outcome.
#include <unistd.h>
#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

#include "history/HistoryDatabase.h"
#include "support/HistorySamples.h"

namespace {

void say(const QByteArray& text) {
    if (::write(STDOUT_FILENO, text.constData(), size_t(text.size())) < 0)
        std::_Exit(3);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);  // Qt SQL finds its driver plugins through the application
    const QStringList args = app.arguments();
    if (args.size() == 5 && args[1] == QStringLiteral("store")) {
        norak::HistoryDatabase db;
        if (db.open(args[2]).status != norak::HistoryOpening::Status::Ready)
            return 1;
        const auto seed = args[3].toUInt();
        const int count = args[4].toInt();
        for (int n = 1; n <= count; ++n) {
            const norak::StoredTest test = norak::sampleTest(norak::kEditionZevez, seed, n);
            say("w " + QByteArray::number(n) + '\n');
            if (!db.store(test).ok())
                return 1;
            say("d " + QByteArray::number(n) + '\n');
        }
        return 0;
    }
    if (args.size() == 3 && args[1] == QStringLiteral("open")) {
        norak::HistoryDatabase db;
        const norak::HistoryOpening opening = db.open(args[2]);
        say("status " + QByteArray::number(int(opening.status)) + '\n' + opening.message.toUtf8() + '\n');
        const norak::StoreResult result = db.store(norak::sampleTest(norak::kEditionZevez, 1, 1));
        say("store " + QByteArray::number(int(result.outcome)) + '\n' + result.message.toUtf8() + '\n');
        return 0;
    }
    return 2;
}
