#pragma once

#include <QString>
#include <QStringList>

// The text of each page of a PDF file, as poppler's pdftotext reads it (with
// the physical layout kept). Fails the calling test's expectations with an
// empty list when the file cannot be read or pdftotext is missing.
QStringList PdfPageTexts(const QString& pdfPath);
