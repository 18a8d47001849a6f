// SPDX-License-Identifier: MIT
#pragma once

namespace binding {

// Runs the program's event loop; returns the process exit status.
int RunApplication(int argc, char** argv);

}  // namespace binding
