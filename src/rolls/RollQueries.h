#pragma once

#include "data/AdoQuery.h"

class AdoConnection;

// The six named queries of the roll export, on the shared connection, with the
// statements they hold when the window is created.
class RollQueries {
public:
    explicit RollQueries(AdoConnection* connection);

    // Opens QueryRole on every roll with all its columns, highest roll number
    // first: the list the operator picks from and the rows a run reads.
    void OpenAllRolls();
    // Closes the queries a run opened, in the order the run closes them;
    // QueryRole stays open.
    void CloseRunQueries();

    AdoQuery QueryRole;
    AdoQuery QueryFacture;
    AdoQuery QueryItemFacture;
    AdoQuery QueryEnfant;
    AdoQuery QueryClient;
    AdoQuery QueryClientGroupe;
};
