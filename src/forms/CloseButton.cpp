// SPDX-License-Identifier: MIT
#include "forms/CloseButton.h"

#include "forms/Layouts.h"

namespace core {
namespace {

void Show(AlphaImage& button, const char* file) {
    button.LoadPicture(DataFile(file, platform::DataAccess::Read).string());
}

}  // namespace

void ConnectHoverPictures(AlphaImage& closeButton) {
    AlphaImage* button = &closeButton;
    closeButton.MouseLeave.Connect([button] { Show(*button, "Exit_up.png"); });
    closeButton.MouseMove.Connect(
        [button](std::int16_t, std::int16_t, float, float) { Show(*button, "Exit_move.png"); });
    closeButton.MouseDown.Connect([button](std::int16_t& pressed, std::int16_t, float, float) {
        if (pressed == platform::vbLeftButton) {
            Show(*button, "Exit_down.png");
        }
    });
}

}  // namespace core
