#pragma once

// On Windows the program is a desktop program with no console of its own: when
// started from a command prompt it writes its lines (the error lines
// "quilvanor: ...", and the output of a run without a window) to that
// prompt's console, except for a stream that already goes somewhere (a file,
// a pipe). Does nothing elsewhere.
void UseParentConsole();
