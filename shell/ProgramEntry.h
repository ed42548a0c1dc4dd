#pragma once

#include <QApplication>
#include <functional>

#include "platform/Platform.h"
#include "shell/UnitINI.h"

namespace norak {

// What the program is assembled from, built once the application object exists.
struct ProgramParts {
    // The system services; must live until runProgram returns.
    Platform* platform = nullptr;
    // Creates the main test window at the hand-over.
    TFormINI::MainWindowFactory mainWindowFactory;
    // How the main window and the about boxes are shown modally (empty: the usual way).
    HandOver::ModalShow modalShow;
};

// Called with the application object before any window exists: install translations, create
// the platform services and say how the main window is made.
using ProgramAssembly = std::function<ProgramParts(QApplication& app)>;
// Shows the last-resort error text ("5: " + message).
using ErrorReporter = std::function<void(const QString& text)>;

// The program entry: creates the application object, then runs runApplication. Returns the
// process exit code.
int runProgram(int argc, char** argv, const ProgramAssembly& assemble);

// The start-up on an existing application object: application title "NORAK", font
// substitutions, assembly, the front window, the event loop. A std::exception escaping any of
// it is reported as "5: " + its message and ends the run with exit code 1.
int runApplication(QApplication& app, const ProgramAssembly& assemble, const ErrorReporter& report);

// The information box of the last-resort error.
void showLastResortError(const QString& text);

}  // namespace norak
