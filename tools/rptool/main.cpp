// rptool: report files and report text from the command line, without a display. Each
// sub-command is one row of kCommands; tools and tests drive the same code as the program.
// Sub-commands that measure or draw text start the GUI application, on the offscreen platform
// when no display is set.
//
// Exit status: 0 done; 1 usage or a file that cannot be opened, read or written; 2 a file
// whose content is refused, in which case nothing is written, or a font that is not installed
// (the message on stderr).

#include "ExportCommand.h"
#include "FontCommand.h"
#include "GifCommand.h"
#include "DesignCommand.h"
#include "DesignerCommand.h"
#include "DeviceDataCommand.h"
#include "LayoutCommand.h"
#include "MatrixCommand.h"
#include "PreparedCommand.h"
#include "PrepareCommand.h"
#include "PreviewCommand.h"
#include "PrintCommand.h"
#include "RenderCommand.h"
#include "ReportCommand.h"

#include "report/model/ModelRuntime.h"
#include "report/model/rpRes.h"
#include "report/model/rpStreams.h"
#include "report/model/rpXML.h"

#include <QFile>
#include <QApplication>
#include <QGuiApplication>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace {

constexpr int kExitDone = 0;
constexpr int kExitUsage = 1;
constexpr int kExitFileError = 1;
constexpr int kExitBadContent = 2;
// A command that reads its own options takes any number of arguments.
constexpr int kAnyArguments = -1;

void PrintError(const std::string& message)
{
    std::fprintf(stderr, "%s\n", message.c_str());
}

// True when the file's first tag (its header) is followed by CR LF: the file was written
// with indentation and is saved the same way.
bool HeaderLineEndsWithCrLf(QFile& file)
{
    const QByteArray start = file.peek(4096);
    const qsizetype close = start.indexOf('>');
    return close >= 0 && start.mid(close + 1, 2) == "\r\n";
}

// Runs one step of a command: the exit status of the failure it ends with, or none.
std::optional<int> Step(const std::function<void()>& step)
{
    try {
        step();
    } catch (const TrpInvalidXMLException& failure) {
        PrintError(failure.Message());
        return kExitBadContent;
    } catch (const platform::Exception& failure) {
        PrintError(failure.Message());
        return kExitFileError;
    }
    return std::nullopt;
}

// xml-roundtrip IN OUT: loads IN whole and saves it to OUT.
int XmlRoundTrip(const QStringList& arguments)
{
    const QString& inName = arguments[0];
    const QString& outName = arguments[1];
    TrpXMLDocument document;
    if (const auto failed = Step([&] {
            const std::unique_ptr<QFile> in = OpenFileForReading(inName, kMaxReportXMLFileBytes);
            document.SetAutoIndent(HeaderLineEndsWithCrLf(*in));
            document.LoadFromStream(*in);
        }))
        return *failed;
    if (const auto failed = Step([&] { SaveFileAtomically(outName, [&](QIODevice& out) { document.SaveToStream(out); }); }))
        return *failed;
    return kExitDone;
}

// res-get NAME: the interface text of NAME from the report subsystems' resources, in UTF-8.
int ResGet(const QStringList& arguments)
{
    if (const auto failed = Step([] { ModelRuntime::init(); }))
        return *failed;
    const QByteArray line = GetResourcesInstance().Get(arguments[0]).toUtf8() + '\n';
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stdout);
    return kExitDone;
}

struct Command {
    const char* name;
    const char* arguments;
    const char* summary;
    int argumentCount;
    int (*run)(const QStringList& arguments);
    bool drawing = false; // measures or draws text: needs the GUI application
    bool widgets = false; // shows windows: needs the widgets application
};

const Command kCommands[] = {
    {"xml-roundtrip", "IN OUT",
     "load the report XML file IN without partial loading and save it to OUT (indented when IN's header line "
     "ends with CR LF)",
     2, XmlRoundTrip},
    {"res-get", "NAME", "print the interface text of NAME from the report resources (NAME itself when there is none)",
     1, ResGet},
    {"layout", "--font F --size N --width PX [--wordbreak] [--html] FILE",
     "lay each line of the UTF-8 FILE out as a paragraph at the width PX (pixels at 96 per inch); print each "
     "laid-out line as its width, a tab, its paragraph flags, a tab and its text",
     kAnyArguments, RunLayoutCommand, true},
    {"report-roundtrip", "IN OUT [--password P]",
     "load the report file IN (P as its password; errors neither shown nor raised) and save it to OUT; load errors "
     "are printed one per line, and then nothing is written",
     kAnyArguments, RunReportRoundTrip},
    {"eval", "FILE EXPR",
     "load the report file FILE, prepare its script without running the report and print the value of the "
     "expression EXPR (numbers in the C locale); an error is printed on stderr",
     2, RunReportEval},
    {"render-design", "FILE --page N --out PNG [--scale S]",
     "draw report page N of FILE (1-based, report pages only) with every object at its design position, margins "
     "applied, into the PNG file at 96 dots per inch times S on white; band outlines and names in grey",
     kAnyArguments, RunRenderDesign, true},
    {"prepare",
     "REPORT.zi3 [--csv NAME=FILE]... [--var NAME=VALUE]... [--cancel-dialogs] [--allow-files DIR]... --out OUT.zp3",
     "run the report with each CSV FILE (UTF-8, header row of field names) as the data set NAME and each report "
     "variable NAME set to the text VALUE (dialog pages answering Cancel with --cancel-dialogs; the report's script "
     "may read and write files only inside the folders DIR) and save the prepared pages to OUT; the report's errors "
     "are printed one per line and then nothing is written",
     kAnyArguments, RunPrepare, true},
    {"zp3-roundtrip", "IN OUT", "load the prepared report IN and save it to OUT", 2, RunZp3RoundTrip},
    {"zp3-info", "FILE",
     "print pages=N, then per page its index, element name, size in pixels and paper in millimetres", 1,
     RunZp3Info},
    {"zp3-text", "FILE [--page N] [--band NAME]",
     "print the lines of every memo of the prepared report (of page N, of the bands named NAME), macros expanded",
     kAnyArguments, RunZp3Text},
    {"zp3-dump", "FILE",
     "print every page's objects, one a line indented by nesting: alias, source name, left, top, width, height "
     "and a memo's text",
     1, RunZp3Dump},
    {"zp3-render", "FILE --page N --out PNG [--scale S]",
     "draw page N (from 1) of the prepared report into the PNG file on white paper at 96 dots per inch times S",
     kAnyArguments, RunZp3Render, true},
    {"export", "IN.zp3 --format pdf|html|rtf|xlsx --out OUT [--set NAME=VALUE]... [--pages LIST]",
     "export the prepared report IN as a PDF, HTML or RTF file or an .xlsx workbook OUT (HTML: with its pictures, "
     "page files and navigator beside it, each file whole) with the device frame's settings for that format, each "
     "property NAME of the filter set to VALUE as a report file writes it (sets as [ePrint,eCopy] or decimal bits), "
     "only the pages of LIST (\"1,3,5-7\") when given; errors are printed one per line, exit 2, and then nothing is "
     "written (HTML: no file is left half-written, the files that could be written stay; a workbook with more page "
     "breaks than a worksheet keeps is written, with its error line)",
     kAnyArguments, RunExport, true},
    {"printers", "",
     "list the printers: index, name, \"*\" for the default (else \"-\"), dots per inch and number of papers, "
     "tab-separated; the built-in PDF-file printer is listed last",
     0, RunPrinters, true},
    {"print",
     "FILE.zp3 [--printer NAME | --pdf OUT.pdf] [--copies N] [--collate | --no-collate] [--pages LIST] "
     "[--odd | --even] [--reverse] [--mode default|split|join|scale] [--sheet CODE] [--splicing MM] "
     "[--duplex none|vertical|horizontal|simplex]",
     "print the prepared report without a dialog on the printer NAME (default: the default printer) or into the "
     "PDF file OUT with those print options and write sheets=N; a failure prints its text and exits 2",
     kAnyArguments, RunPrint, true},
    {"preview",
     "(FILE.zp3 | REPORT.zi3 [--csv NAME=FILE]...) [--zoom Z | --page-width | --whole-page] [--page N] "
     "[--outline | --thumbnails] [--find TEXT] [--grab PNG]",
     "show the prepared report FILE, or run REPORT (CSV files as data sets of the user name NAME) into the "
     "preview window; --find prints \"found page=N\" or \"not found\"; --grab saves a picture of the laid-out "
     "window to PNG and exits",
     kAnyArguments, RunPreview, true, true},
    {"ttf-subset", "FONT TEXT OUT [--index N]",
     "reduce face N (default 0) of the TrueType font or collection FONT to the glyphs the UTF-8 TEXT maps to "
     "(with glyph 0 and every component of a composite) and write the standalone font to OUT",
     kAnyArguments, RunTtfSubset},
    {"gif-write", "IN OUT.gif",
     "write the picture IN (any format Qt reads) as a GIF89a file through the exports' GIF writer (at most 256 "
     "colours, LZW); a picture that cannot be read prints the reason and exits 2",
     2, RunGifWrite},
    {"matrix", "IN.zp3 [--page N] [--set NAME=VALUE]...",
     "prepare the export matrix of the prepared report IN (of page N only when given) with the HTML export's "
     "matrix options, each matrix option NAME set to VALUE (True/False or a number), and print it: the column, row "
     "and page-break edges with two decimals, then \"cells N\" and one line per cell-owning object in table order "
     "(x, y, dx, dy, style, text or picture WxH, first text line with \\ \\t \\r \\n escaped), then \"styles N\" and "
     "one line per style, tab-separated; errors exit 2",
     kAnyArguments, RunMatrix, true},
    {"device-data",
     "FILE --type 0|1|2 [--system 0..3] --from YYYY-MM-DD --to YYYY-MM-DD [--totals] [--hours] [--codes] "
     "[--channels MVP] [--hardware] [--modes]",
     "select the period's records of the data file FILE for an archive report (0) or a journal report (1 abnormal "
     "situations, 2 operator) as the device report does, and print each of its five data sets as the engine reads "
     "it: \"== NAME\", the captions and one line per row, tab-separated; no data: the message, exit 2",
     kAnyArguments, RunDeviceData},
    {"props", "FILE OBJECT[,OBJECT...] [--events] [--set NAME=TEXT]... [--save OUT] [--grab PNG] [--locale ru_RU] "
              "[--units cm|in|px|chars]",
     "list the object inspector's rows for the objects (the events with --events), sub-rows one level deep: level, "
     "name, value and attribute letters (v value list, s sorted, d dialog, m multi-select, p sub-properties, "
     "r read-only, o owner-draw), tab-separated; --set types TEXT into the row NAME (Font.Name reaches a sub-row) "
     "first, a refused value printing its message and exiting 2 with nothing saved; --save writes the report to "
     "OUT, --grab a picture of the inspector (198 x 474) to PNG; numbers in the C locale unless --locale ru_RU; "
     "lengths in the designer's units with --units (paper sizes and margins from millimetres), as stored without it",
     kAnyArguments, RunProps, true, true},
    {"tree", "FILE",
     "print the designer's report tree of FILE, two blanks a level: name, class, and for bands and views Left, "
     "Top, Width and Height with two decimals",
     1, RunTree, true, true},
    {"design", "FILE|--new [--csv-db NAME=FILE]... [--page N] [--scale S] [--tab N] [--units cm|in|px|chars] "
               "[--size WxH] [--select NAME,...] [--do ACTION]... [--dialog CLASS | --wizard CLASS] "
               "[--in-dialog ACTION]... [--answer ok|cancel] [--save OUT.zi3] [--grab PNG] [--state] [--password P]",
     "open the designer window (WxH, default 1280x800, over its remembered placement) on FILE (P as its "
     "password), showing report page N (report pages counted from 1) or tab N (0 script, 1 data, 2... pages) at "
     "scale S in the given units, select the named objects and run each ACTION as mouse and key input, positions "
     "in page units: \"click X,Y [shift|ctrl|alt]...\", \"drag X1,Y1 X2,Y2 [mods]\" (a move to the start, press, "
     "one move, release), \"key SEQ\" (e.g. Ctrl+Shift+Right), \"insert CLASS[/FLAGS]\" (arms its insertion at its "
     "default size), \"tool select|hand|zoom|text|format\", \"type TEXT\" (into the in-place editor), \"tabdrag S "
     "T\" (page tab S dropped onto tab T), \"button CLASS[/FLAGS]\" (its objects tool-bar button; a drag then draws "
     "it), \"cmd ACTION\" (a window command by its action name); --new starts from an empty report, --csv-db makes "
     "a CSV table a database data set NAME, --dialog opens an editor dialog on the selection and --wizard runs a "
     "wizard, each taking the --in-dialog actions (\"click NAME\", \"check NAME\", \"set NAME=TEXT\", \"pick NAME "
     "ITEM\") and ending with --answer (cancel by default); --state prints \"scale=S units=U page=NAME\", --save writes the report to "
     "OUT, --grab the whole window to PNG; with none of the three the window stays open for a person; the "
     "window's settings are stored on closing; errors exit 2",
     kAnyArguments, RunDesign, true, true},
    {"syntax", "--lang L FILE [--grab PNG]",
     "print each line of FILE and under it the class code of each character as the script editor colours it "
     "(1 text, 3 blank or comment, 4 keyword, 5 string, 6 number; characters below code 32 unchanged); --grab "
     "draws the editor showing FILE at 640 x 480 into PNG; an unknown language exits 2",
     kAnyArguments, RunSyntax, true, true},
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
        if (command.widgets) {
            ChooseOffscreenWithoutDisplay();
            application = std::make_unique<QApplication>(argc, argv);
        } else if (command.drawing) {
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
