#pragma once

// On Windows the program is a desktop program with no console of its own: when
// started from a command prompt it writes its error lines ("quilvanor: ...") to
// that prompt's console, unless its standard error already goes somewhere (a
// file, a pipe). Does nothing elsewhere.
void UseParentConsoleForErrors();
