// rptool: report files and report text from the command line, without a display. Each
// sub-command is one row of kCommands; tools and tests drive the same code as the program.
// Sub-commands that measure or draw start the GUI application, on the offscreen platform
// when no display is set.
//
// Exit status: 0 done; 1 usage or a file that cannot be opened, read or written; 2 a file
// whose content is refused, or a missing font (its message on stderr).

#include "LayoutCommand.h"

#include <QGuiApplication>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <memory>
#include <string>

namespace {

constexpr int kExitUsage = 1;
// A command that reads its own options takes any number of arguments.
constexpr int kAnyArguments = -1;

struct Command {
    const char* name;
    const char* arguments;
    const char* summary;
    int argumentCount;
    int (*run)(const QStringList& arguments);
    bool drawing; // measures or draws text: needs the GUI application
};

const Command kCommands[] = {
    {"layout", "--font F --size N --width PX [--wordbreak] [--html] FILE",
     "lay each line of the UTF-8 FILE out as a paragraph at the width PX (pixels at 96 per inch); print each "
     "laid-out line as its width, a tab, its paragraph flags, a tab and its text",
     kAnyArguments, RunLayoutCommand, true},
};

int Usage()
{
    std::fprintf(stderr, "usage: rptool COMMAND ARGUMENTS...\n\ncommands:\n");
    for (const Command& command : kCommands)
        std::fprintf(stderr, "  %s %s\n      %s\n", command.name, command.arguments, command.summary);
    return kExitUsage;
}

// Without a display the drawing commands run on the offscreen platform.
void ChooseOffscreenWithoutDisplay()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return Usage();
    const std::string name = argv[1];
    for (const Command& command : kCommands) {
        if (name != command.name)
            continue;
        if (command.argumentCount != kAnyArguments && argc - 2 != command.argumentCount)
            return Usage();
        std::unique_ptr<QGuiApplication> application;
        if (command.drawing) {
            ChooseOffscreenWithoutDisplay();
            application = std::make_unique<QGuiApplication>(argc, argv);
        }
        QStringList arguments;
        for (int i = 2; i < argc; ++i)
            arguments.append(QString::fromLocal8Bit(argv[i]));
        return command.run(arguments);
    }
    return Usage();
}
