#pragma once

#include "report/ReportLayout.h"

class QPagedPaintDevice;
class QPrinter;

// Draws pages first to last (counted from 1) on a paged device whose drawing
// surface is the whole paper. False when the device could not be painted on.
bool RenderPages(const ReportPages& pages, QPagedPaintDevice& device, int firstPage, int lastPage);

// Sets a printer for the report: its paper, portrait, the whole paper as the
// drawing surface, one copy, every page.
void SetUpPrinter(QPrinter& printer, const ReportPages& pages);

// Prints on a printer as it has been set (by the print dialog, for instance):
// its page range, and its copies where the printer cannot make them itself.
// False when the printer could not be painted on.
bool PrintPages(const ReportPages& pages, QPrinter& printer);
