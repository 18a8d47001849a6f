// SPDX-License-Identifier: MIT
#pragma once

namespace binding {

// Runs the program's event loop; returns the process exit status.
int RunApplication(int argc, char** argv);

// Chooses how the page is put on screen; called before the application object is made.
void ChoosePageComposition();

}  // namespace binding
