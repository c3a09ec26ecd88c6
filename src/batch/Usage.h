#pragma once

#include <QString>

// The program's help on its command line, in French, as --aide shows it.
QString UsageText();
// "quilvanor " and the program's version.
QString VersionText();
