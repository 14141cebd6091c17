// Command line of lumenpane-scale: read a PNG, double it with a viewer filter, write a PNG.
#include "scale_tool.h"

#include "png_io.h"
#include "scale_picture.h"

#include <string>

namespace {

constexpr const char* Usage = "usage: lumenpane-scale [--filter off|scale2x|hq2x] IN.png OUT.png";

struct Options {
    ScaleFilter filter = ScaleFilter::Hq2x;
    std::string input, output;
};

bool ParseFilter(const std::string& name, ScaleFilter* filter) {
    if (name == "off")
        *filter = ScaleFilter::Off;
    else if (name == "scale2x")
        *filter = ScaleFilter::Scale2x;
    else if (name == "hq2x")
        *filter = ScaleFilter::Hq2x;
    else
        return false;
    return true;
}

bool ParseOptions(int argc, const char* const* argv, Options* options, std::ostream& errors) {
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        std::string name;
        if (arg == "--filter" && i + 1 < argc)
            name = argv[++i];
        else if (arg.rfind("--filter=", 0) == 0)
            name = arg.substr(9);
        else if (arg.size() > 1 && arg[0] == '-') {
            errors << "lumenpane-scale: unknown option " << arg << "\n" << Usage << "\n";
            return false;
        } else {
            files.push_back(arg);
            continue;
        }
        if (!ParseFilter(name, &options->filter)) {
            errors << "lumenpane-scale: unknown filter '" << name << "' (off, scale2x, hq2x)\n";
            return false;
        }
    }
    if (files.size() != 2) {
        errors << Usage << "\n";
        return false;
    }
    options->input = files[0];
    options->output = files[1];
    return true;
}

} // namespace

int RunScaleTool(int argc, const char* const* argv, std::ostream& errors) {
    Options options;
    if (!ParseOptions(argc, argv, &options, errors)) return 2;
    Picture in, out;
    std::string error;
    if (!ReadPng(options.input, &in, &error)) {
        errors << "lumenpane-scale: " << error << "\n";
        return 1;
    }
    ScalePicture(in, options.filter, &out);
    if (!WritePng(options.output, out, &error)) {
        errors << "lumenpane-scale: " << error << "\n";
        return 1;
    }
    return 0;
}
