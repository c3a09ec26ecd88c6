#pragma once

#include <cstdio>

// One line of the summary table that scripts/bench.sh prints after every
// benchmark: the figure, its goal, what this run measured, whether it held.
inline void PrintSummary(const char* figure, const char* goal, const char* measured, bool held)
{
    std::printf("summary\t%s\t%s\t%s\t%s\n", figure, goal, measured, held ? "held" : "NOT held");
}
