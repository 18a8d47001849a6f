// SPDX-License-Identifier: MIT
#include "binding/QtApp.h"

int main(int argc, char** argv) {
    return binding::RunApplication(argc, argv);
}
