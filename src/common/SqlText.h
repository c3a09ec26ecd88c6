#pragma once

#include <QString>

// A text between single quotes, each embedded single quote doubled.
QString SqlQuote(const QString& text);

// Every "," of a number's text replaced by ".": amounts read as text carry the
// decimal comma of the user's regional settings, the portal wants a point.
QString DotDecimal(const QString& number);
