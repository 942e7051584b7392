// dax-bindings-dump: prints the device frame's register map, one tab-separated UTF-8 line per
// binding in creation order: group, index within the group, kind tag, type code, field,
// format, value list, range, control path (with its class) and name.

#include "presentation/FrameBindingTable.h"


#include <cstdio>
#include <cstring>
#include <exception>

int main(int argc, char** argv)
{
    if (argc > 1) {
        const bool help = std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0;
        std::fprintf(help ? stdout : stderr,
                     "Usage: dax-bindings-dump\n"
                     "Prints the device frame's bindings, one line each in creation order:\n"
                     "group, index, kind, type code, field, format, list, range, control, name.\n");
        return help ? 0 : 2;
    }
    try {
        for (const BindingDescription& description : FrameBindingDescriptions()) {
            const std::string line = BindingDumpLine(description);
            std::fwrite(line.data(), 1, line.size(), stdout);
            std::fputc('\n', stdout);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "dax-bindings-dump: %s\n", error.what());
        return 1;
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
