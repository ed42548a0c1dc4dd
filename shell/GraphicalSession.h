#pragma once

namespace norak {

// Watches the making of the application object. Without a graphical session to show the windows
// in (no display, a display that cannot be reached, a value that names none, no compositor), the
// toolkit can only end the process with an abort and a core dump after its messages. While a
// guard lives, that end is replaced by one line saying that a graphical session is needed and how
// to start the program on a virtual display instead, and exit code kNoGraphicalSession; the
// toolkit's other messages of that time are held back and passed on when the guard ends, so that
// nothing but that line is printed when it fails.
class GraphicalSessionGuard {
  public:
    static constexpr int kNoGraphicalSession = 1;

    GraphicalSessionGuard();
    ~GraphicalSessionGuard();
    GraphicalSessionGuard(const GraphicalSessionGuard&) = delete;
    GraphicalSessionGuard& operator=(const GraphicalSessionGuard&) = delete;
};

}  // namespace norak
