// Interim definitions of the two filter table pointers until the hq2x code provides them.
#include "viewer/pipeline/hq2x.h"

std::uint32_t* Rgb565To888Table = nullptr;
std::uint32_t* Rgb565ToYuvTable = nullptr;
