#pragma once

namespace keyboard {

// Looks for keys once. Wine's console leaves its terminal in line mode, echoing what
// is typed there, until a program first waits on its input; this makes it take the
// terminal's keys from then on, so that keys typed before the first prompt wait for
// it unshown, as they do on Windows.
void ListenForKeys();

}  // namespace keyboard
