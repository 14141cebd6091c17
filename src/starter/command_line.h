// The starter's own command line and the argument text it hands to the game.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The arguments after the program name, split by the usual Windows rules.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// The game's argument text for the starter's arguments: the default play arguments when
// there is no argument text at all, otherwise arguments 1, 2 and 4 with "Window" for 3.
std::string GameArgumentText(const std::vector<std::string>& arguments);
