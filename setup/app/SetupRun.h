// The setup run: everything the hidden window does on its first message.
// Opens setup.inf beside the program (a broken or missing script ends the
// run with a box naming the file and line), chooses the script's sections,
// fills the setup context, asks before a newer installed version is
// replaced, checks the install conditions, reads the products, collects the
// plug-ins and shows the wizard; afterwards restarts Windows as the reboot
// mode says, and releases everything. Sets state->exitCode.
#pragma once

#include <windows.h>

struct SetupState;

void RunSetup(HWND window, SetupState* state);
