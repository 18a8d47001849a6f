// SPDX-License-Identifier: MIT
#include "qt/QtApp.h"

int main(int argc, char** argv) {
    return binding::RunApplication(argc, argv);
}
