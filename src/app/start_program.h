// StartProgram: Tarnwick's entry point. Creates the main window from its
// description, centred on the primary screen, shows it and runs the event
// loop until the window is closed; then returns 0. Reads no command line.
#ifndef TARNWICK_APP_START_PROGRAM_H_
#define TARNWICK_APP_START_PROGRAM_H_

namespace tarnwick {

int StartProgram();

}  // namespace tarnwick

#endif  // TARNWICK_APP_START_PROGRAM_H_
