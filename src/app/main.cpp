#include "app/start_program.h"

int main() { return tarnwick::StartProgram(); }
