#pragma once

class QWidget;

namespace corvane {

// Window sizes are given as outer sizes, frame and title bar included, the way
// the shop's screens were laid out; Qt sizes the client area. These allowances
// are a classic desktop frame: 4 pixels each side, a 23-pixel title bar.
inline constexpr int FrameAllowanceWidth = 8;
inline constexpr int FrameAllowanceHeight = 31;

void setOuterSize(QWidget *window, int width, int height);

// Centres a top-level window on the screen it is on (or will be shown on).
void centreOnScreen(QWidget *window);

// Shows a window beside the others, centred when it was hidden, and brings it
// to the front.
void bringForward(QWidget *window);

} // namespace corvane
