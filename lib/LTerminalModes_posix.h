#pragma once

// The modes of the controlling terminal on standard input. For the program's whole
// run it neither echoes nor edits lines, so that keys typed early wait, unshown, for
// the prompt, as they do in the Windows console; while a key is read it raises no
// signal either, so that Ctrl+C reads as code 3, as it does on Windows. The modes
// are changed only while the program is in the foreground: a program started in the
// background leaves the terminal to the shell.
namespace terminal_modes {

// The run's modes, from now until RestoreForExit.
void ApplyForRun();
// The modes for reading one key, and back.
void BeginKeyRead();
void EndKeyRead();
// The modes the program found, while it is stopped (Ctrl+Z).
void Suspend();
// The modes the program wants, once it continues.
void Resume();
// The modes the program found, for good: nothing changes them afterwards. Any
// thread may call it, the way out of a signal included.
void RestoreForExit();

}  // namespace terminal_modes
