// Real input for tests that run against an X server (run-under-x.sh): the
// pointer and the keyboard driven through the XTest extension, so events take
// the window system's own path (stacking, window masks, grabs, the window
// manager) to the application.
#pragma once

#include <QPoint>
#include <Qt>

#include <functional>

namespace realinput {

// True when the program runs on an X server that has the XTest extension.
bool available();

// Moves the pointer to a point of the screen.
void moveTo(QPoint global);
void press(Qt::MouseButton button);
void release(Qt::MouseButton button);
// Moves, presses and releases.
void click(QPoint global, Qt::MouseButton button = Qt::LeftButton);
// Presses and releases a key by its X keysym (XK_...), while a modifier key
// (XK_Shift_L, XK_Alt_L, XK_Control_L; 0 for none) is held.
void key(unsigned long keysym, unsigned long modifier = 0);

// Lets the server deliver what was sent and the application handle it:
// processes events for the given time.
void settle(int milliseconds = 100);
// Processes events until done() holds or the time is up; whether it held.
bool waitUntil(const std::function<bool()>& done, int milliseconds = 3000);

}  // namespace realinput
