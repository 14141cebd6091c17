// The frame buffer's rows as the presentation shows them: 0x00RRGGBB, whatever the surface's
// pixel size. No platform calls.
#pragma once

#include <cstdint>

// Converts one row of width pixels of the open surface's format.
void ConvertRowForPresentation(const std::uint8_t* source, std::uint32_t* target, int width);
// Converts the rows the application marked into presentation (rows Surface.width apart) and
// clears the marks; true when any row was converted, and then the rows from *firstRow to
// *endRow - 1 hold every converted one. changedOnly: a marked row that presentation already
// holds as it is counts as unmarked. The caller holds the surface lock.
bool CopyMarkedRows(std::uint32_t* presentation, int* firstRow, int* endRow,
                    bool changedOnly = false);
