#pragma once

#include <QString>

// The decimal digits "0" to "9" of a text, in their order; everything else is
// dropped (fact-678 gives 678). The portal knows an invoice by its number
// alone, while the local reference may carry a prefix or punctuation.
QString KeepDigits(const QString& text);
