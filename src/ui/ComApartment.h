#pragma once

// COM on the window's thread. Only what needs it starts it (a screen
// reader's first question, a web or mail address opened through the shell),
// so a start that needs neither loads none of COM.

// Joins the single-threaded apartment once; later calls only answer whether
// that worked. A thread already in another apartment cannot join, and the
// callers then go on without.
bool EnterComApartment() noexcept;
// Leaves it again after the last window is gone; the next Enter joins anew.
void LeaveComApartment() noexcept;
