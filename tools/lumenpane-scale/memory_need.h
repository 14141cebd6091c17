// The memory a run needs, worked out from the picture's header before anything is
// allocated, and the most one run may take in this build.
#pragma once

#include "scale_picture.h"

#include <cstdint>
#include <string>

// A 32-bit process has 2 GiB of address space at best, shared with its code, its stacks
// and a heap that fragments: 1 GiB is what a run can count on. A 64-bit process is not
// short of address space; 4 GiB keeps every picture within the size limits (the largest
// needs about 2 GB) and still refuses an absurd file before it is read. Where memory
// runs out below the budget, the failed allocation ends the run with a message.
constexpr std::uint64_t MemoryBudget =
    sizeof(void*) < 8 ? std::uint64_t{1} << 30 : std::uint64_t{4} << 30;

// Bytes held at the peak of a run on a width x height picture read from a file of
// fileBytes. False when the figure does not fit in 64 bits.
bool PeakMemory(std::uint64_t fileBytes, std::uint64_t width, std::uint64_t height,
                ScaleFilter filter, std::uint64_t* bytes);

// False with a message saying why when the run would need more than budget.
bool CheckMemory(std::uint64_t fileBytes, std::uint64_t width, std::uint64_t height,
                 ScaleFilter filter, std::uint64_t budget, std::string* error);
