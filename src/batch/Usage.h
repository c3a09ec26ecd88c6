#pragma once

#include <QString>

// The program's help on its command line, in French, as --aide shows it.
QString UsageText();
// "quilvanor " and the program's version.
QString VersionText();
// The portal address in force and where it comes from, and the authority file
// when one is named; fails as a request would on a wrong address.
QString PortalInForceText();
