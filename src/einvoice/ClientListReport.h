#pragma once

#include "report/BandedReport.h"

// The client list report as designed, with an empty text block: A4 portrait,
// the title and column captions in the page header, the client lines in the
// detail band, the page number in the footer.
BandedReport ClientListReport();
