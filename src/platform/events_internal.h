#pragma once

namespace platform {
class GameWindow;

// Keeps the event queue to the events PollWindowEvent hands out and sums the
// wheel motion as it arrives.
void InstallEventFilter();
void RemoveEventFilter();
// Wheel motion since the previous call, in notches of 120 (positive: away
// from the player), and resets the sum.
int TakeWheelMotion();
// The window whose state changes reach the game and which Alt+Enter turns
// full screen; events of other windows (the loading window) are dropped.
// nullptr accepts every window.
void SetGameWindow(GameWindow* window);
}  // namespace platform
