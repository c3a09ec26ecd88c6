#pragma once

#include <QVector>

class AdoConnection;

// The roll window's export run without the window: the rolls with these
// numbers, in the order given, then the children, clients and client groups;
// each reply the window would list goes to standard output. A number the
// database does not hold is refused before anything is written or sent.
void ExportRollsUnattended(AdoConnection* connection, const QVector<int>& rollNumbers);
