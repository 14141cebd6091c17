// lumenpane-scale: enlarges a PNG picture with the viewer's filters.
#include "scale_tool.h"

#include <iostream>

int main(int argc, char** argv) {
    return RunScaleTool(argc, argv, std::cerr, std::cout);
}
