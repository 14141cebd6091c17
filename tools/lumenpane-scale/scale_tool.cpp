// Command line of lumenpane-scale: read a PNG, double it with a viewer filter, write a PNG.
#include "scale_tool.h"

#include "file_access.h"
#include "memory_need.h"
#include "png_io.h"
#include "scale_picture.h"

#include <new>
#include <string>
#include <utility>

namespace {

constexpr const char* Usage =
    "usage: lumenpane-scale [--filter off|scale2x|hq2x|mmpx] [--grid 2|3|4] IN.png OUT.png";
constexpr const char* Help =
    "Enlarges a PNG picture with one of the viewer's filters (default hq2x) at a grid of\n"
    "2, 3 or 4 times its size (default 2), as the viewer shows a game's picture at that grid:\n"
    "scale2x works as Scale3x at 3 and Scale4x at 4; hq2x's doubled picture is enlarged by\n"
    "the area-weighted scaling at 3 and repeated at 4; mmpx's likewise at 3 and applied twice\n"
    "at 4; off repeats each pixel.\n"
    "At grid 4 a run holds the input, the doubled picture and the output (16 times the\n"
    "input) and the work memory, about 86 bytes per input pixel; a 64-bit build allows 4 GiB, a "
    "32-bit one 1 GiB.\n"
    "\n"
    "IN.png must be a regular file. OUT.png is replaced only once the new picture is\n"
    "complete, through a temporary file beside it; on failure it is left as it was. If\n"
    "OUT.png is a symbolic link, the link stays and the file it points to receives the\n"
    "picture. An existing OUT.png keeps its permission bits, but a file with several hard\n"
    "links is replaced by a file of its own: the other names keep the old picture. A\n"
    "directory, FIFO or device as OUT.png is refused, and so is a reserved device name\n"
    "(CON, NUL, nul.png, ...) on Windows.\n"
    "\n"
    "Exit codes: 0 done, 1 the picture could not be read, scaled or written (or needs more\n"
    "memory than there is), 2 a mistake on the command line.\n";

struct Options {
    ScaleFilter filter = ScaleFilter::Hq2x; // with the grid
    std::string input, output;
    bool help = false;
};

// The filters' keys, as the error message lists them: "off, scale2x, hq2x, mmpx".
std::string FilterKeys() {
    std::string keys;
    for (const FilterRow& row : FilterTable)
        keys += (keys.empty() ? "" : ", ") + std::string(row.key);
    return keys;
}

bool ParseGrid(const std::string& text, int* grid) {
    for (int n = MinGrid; n <= MaxGrid; ++n) {
        if (text == std::to_string(n)) {
            *grid = n;
            return true;
        }
    }
    return false;
}

bool ParseOptions(int argc, const char* const* argv, Options* options, std::ostream& errors) {
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        std::string name;
        if (arg == "--help" || arg == "-h") {
            options->help = true;
            return true;
        }
        if ((arg == "--grid" && i + 1 < argc) || arg.rfind("--grid=", 0) == 0) {
            const std::string grid = arg == "--grid" ? std::string(argv[++i]) : arg.substr(7);
            if (ParseGrid(grid, &options->filter.grid)) continue;
            errors << "lumenpane-scale: unknown grid '" << Printable(grid) << "' (2, 3, 4)\n";
            return false;
        }
        if (arg == "--filter" && i + 1 < argc)
            name = argv[++i];
        else if (arg.rfind("--filter=", 0) == 0)
            name = arg.substr(9);
        else if (arg.size() > 1 && arg[0] == '-') {
            errors << "lumenpane-scale: unknown option " << Printable(arg) << "\n" << Usage << "\n";
            return false;
        } else {
            files.push_back(arg);
            continue;
        }
        const int mode = FilterModeOfKey(name.c_str());
        if (mode < 0) {
            errors << "lumenpane-scale: unknown filter '" << Printable(name) << "' ("
                   << FilterKeys() << ")\n";
            return false;
        }
        options->filter.mode = mode;
    }
    if (files.size() != 2) {
        errors << Usage << "\n";
        return false;
    }
    options->input = files[0];
    options->output = files[1];
    return true;
}

bool Fail(std::string* error, const std::string& message) {
    *error = message;
    return false;
}

// Read, check what the picture needs, decode, scale, write; each buffer is freed once used.
bool Scale(const Options& options, std::string* error) {
    if (!CheckOutputPath(options.output, error)) return false;
    std::vector<std::uint8_t> bytes;
    if (!ReadInputFile(options.input, MemoryBudget, &bytes, error)) return false;
    const std::string input = Printable(options.input) + ": ";
    std::string problem;
    if (!CheckPngStructure(bytes, &problem)) return Fail(error, input + problem);
    std::uint32_t width = 0, height = 0;
    PngSize(bytes, &width, &height);
    if (!CheckMemory(bytes.size(), width, height, options.filter, MemoryBudget, &problem))
        return Fail(error, input + problem);
    Picture in;
    if (!DecodePng(bytes, &in, &problem)) return Fail(error, input + problem);
    Release(bytes);
    Picture out;
    ScalePicture(std::move(in), options.filter, &out);
    return WritePng(options.output, out, error);
}

} // namespace

int RunScaleTool(int argc, const char* const* argv, std::ostream& errors, std::ostream& output) {
    Options options;
    if (!ParseOptions(argc, argv, &options, errors)) return 2;
    if (options.help) {
        output << Usage << "\n\n" << Help;
        return 0;
    }
    std::string error;
    try {
        if (Scale(options, &error)) return 0;
    } catch (const std::bad_alloc&) {
        // Every buffer and the temporary file are gone by now: nothing is left behind.
        error = Printable(options.input) + ": not enough memory to scale this picture";
    }
    errors << "lumenpane-scale: " << error << "\n";
    return 1;
}
