#pragma once

#include "platform/Platform.h"
#include "platform/QtDesktopShell.h"
#include "platform/QtFileSystem.h"
#include "platform/QtLocalClock.h"
#include "platform/QtMessages.h"
#include "platform/QtSaveDialog.h"
#include "platform/QtSound.h"
#include "platform/QtTickSource.h"

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
