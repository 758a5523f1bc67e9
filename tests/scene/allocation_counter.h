#pragma once

// Counts calls of the global operator new made while counting is on. The GL
// driver allocates through malloc and is not counted.
void StartCountingAllocations();
int StopCountingAllocations();
