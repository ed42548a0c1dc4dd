// The child process of the sound output's exit test: opens the program's sound output as the
// program does (the output outlives the application object), keeps it a given number of
// milliseconds and ends. With "playing", the time counts from the moment the output plays and has
// counted the outputs; with "any", from the start, whether a server answers or not (the output may
// be opening or retrying when it ends). Exit status 0 means that everything, the sound library's
// own threads included, ended cleanly; 3 that the output never played.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/qt/QtSound.h"

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    const auto holdMs = static_cast<unsigned long>(std::atoi(argv[1]));
    const bool untilPlaying = std::strcmp(argv[2], "playing") == 0;
    std::unique_ptr<norak::QtSound> sound;
    {
        QCoreApplication app(argc, argv);
        sound = std::make_unique<norak::QtSound>();
        QElapsedTimer waited;
        waited.start();
        while (untilPlaying && !(sound->isStreamRunning() && sound->outputDeviceCount() >= 0)) {
            if (waited.elapsed() > 5000)
                return 3;
            QThread::msleep(5);
        }
        QThread::msleep(holdMs);
    }
    sound.reset();
    return 0;
}
