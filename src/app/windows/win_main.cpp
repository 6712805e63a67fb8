// The entry point the platform's start-up code calls. The command line and
// the show command are not read.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "app/start_program.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  return tarnwick::StartProgram();
}
