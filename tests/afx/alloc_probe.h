// Records the largest single request made through operator new in this test
// program, so a test can show that hostile input was refused before anything
// big was allocated.
#pragma once

#include <cstddef>

void ResetLargestAllocation();
std::size_t GetLargestAllocation();
