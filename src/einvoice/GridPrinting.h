#pragma once

#include <QString>

class PrintCanvas;
class StringGrid;

// A screen measure in pixels (at screenDpi) as printer dots (at printerDpi),
// to the nearest dot, halves away from zero.
int ScaleToPrinter(int value, int printerDpi, int screenDpi);

// Prints the grid, cell by cell, as a ruled table under the centred title, on
// the current printer, as one job named after the title; every page carries
// the title and its page mark "- n -". No dialog is shown.
void PrintGrid(const StringGrid& grid, const QString& title);
// The same job on a given canvas.
void PrintGrid(PrintCanvas& canvas, const StringGrid& grid, const QString& title);
