#pragma once

// Has every large block of memory given back to the system as soon as it is
// freed. Call it first thing, before the program allocates.
void ReturnLargeBlocksWhenFreed();
