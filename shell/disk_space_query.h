// This program: the main window description, its two handlers, the handlers'
// constant texts and the (empty) start and exit steps.
#pragma once

#include "shell/program.h"

void StartHook();
void ExitHook();

const Program& DiskSpaceQueryProgram();
