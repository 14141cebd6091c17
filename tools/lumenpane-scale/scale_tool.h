// The command-line tool's whole run, callable from its main and from tests.
#pragma once

#include <ostream>

// lumenpane-scale [--filter off|scale2x|hq2x] IN.png OUT.png. Returns the exit code:
// 0 on success (and after --help, which goes to output), 1 for a picture that cannot be
// read, scaled or written or that needs more memory than there is, 2 for a bad command
// line. Messages go to errors.
int RunScaleTool(int argc, const char* const* argv, std::ostream& errors, std::ostream& output);
