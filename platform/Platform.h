#pragma once

#include "platform/DesktopShell.h"
#include "platform/FileSystem.h"
#include "platform/LocalClock.h"
#include "platform/Messages.h"
#include "platform/SaveDialog.h"
#include "platform/Sound.h"
#include "platform/TickSource.h"

namespace norak {

// Everything the windows need from the system, handed to them at creation.
struct Platform {
    TickSource& ticks;
    LocalClock& clock;
    Sound& sound;
    Messages& messages;
    SaveDialog& saveDialog;
    FileSystem& files;
    DesktopShell& shell;
};

}  // namespace norak
