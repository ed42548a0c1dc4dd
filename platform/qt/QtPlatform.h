#pragma once

#include "platform/Platform.h"
#include "platform/qt/QtDesktopShell.h"
#include "platform/qt/QtFileSystem.h"
#include "platform/qt/QtLocalClock.h"
#include "platform/qt/QtMessages.h"
#include "platform/qt/QtSaveDialog.h"
#include "platform/qt/QtSound.h"
#include "platform/qt/QtTickSource.h"

namespace norak {

// The real system: one of each Qt implementation, bundled as a Platform. Create it after the
// QApplication and keep it until the program ends (the sound output starts with it).
struct QtPlatform {
    QtTickSource ticks;
    QtLocalClock clock;
    QtSound sound;
    QtMessages messages;
    QtSaveDialog saveDialog;
    QtFileSystem files;
    QtDesktopShell shell;

    Platform platform() { return Platform{ticks, clock, sound, messages, saveDialog, files, shell}; }
};

}  // namespace norak
