#include "LayoutCommand.h"

#include "CommandLine.h"

#include "report/core/InputFiles.h"
#include "report/model/rpDrawText.h"

#include <QString>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kExitDone = 0;
constexpr int kExitUsage = 1;
constexpr int kExitFailed = 2;

// Source files are read up to this size: the tool lays out paragraphs, not books.
constexpr qint64 kMaxLayoutFileBytes = 64 * 1024 * 1024;

constexpr const char* kLayoutUsage =
    "usage: rptool layout --font F --size N --width PX [--wordbreak] [--html] FILE\n";

void Print(std::FILE* stream, const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), stream);
}

} // namespace

int RunLayoutCommand(const QStringList& arguments)
{
    std::string fontName;
    int32_t size = 0;
    int32_t width = 0;
    bool wordBreak = false;
    bool html = false;
    const daxcli::Option options[] = {
        daxcli::Text("--font", fontName),
        daxcli::Number("--size", 1, 1000, size),
        daxcli::Number("--width", 1, 1000000, width),
        daxcli::Flag("--wordbreak", wordBreak),
        daxcli::Flag("--html", html),
    };
    std::vector<std::string> args;
    for (const QString& argument : arguments)
        args.push_back(argument.toStdString());
    std::size_t position = 0;
    if (const auto error = daxcli::ParseOptions(args, position, options, true)) {
        Print(stderr, *error + "\n" + kLayoutUsage);
        return kExitUsage;
    }
    if (fontName.empty() || size == 0 || width == 0 || position + 1 != args.size()) {
        Print(stderr, kLayoutUsage);
        return kExitUsage;
    }
    const QString fileName = arguments[static_cast<qsizetype>(position)];
    QByteArray bytes;
    QString reason;
    if (!ReadInputFile(fileName, kMaxLayoutFileBytes, bytes, reason)) {
        Print(stderr, "rptool: cannot open \"" + fileName.toStdString() + "\": " + reason.toStdString() + "\n");
        return kExitUsage;
    }
    QString text = QString::fromUtf8(bytes);
    text.remove(u'\r');
    if (text.endsWith(u'\n'))
        text.chop(1);
    const QStringList lines = text.split(u'\n');

    try {
        TrpDrawText layout;
        TrpDrawFont font;
        font.Name = QString::fromStdString(fontName);
        font.Size = size;
        layout.SetFont(font);
        layout.SetOptions(true, html, false, wordBreak, true, true, 0);
        layout.SetGaps(0, 0, 0);
        const QRectF box(0, 0, width, 1000000);
        layout.SetDimensions(1, 1, 1, box, box);
        layout.SetText(lines);
        for (int i = 0; i < layout.LineCount(); ++i)
            Print(stdout, QString::number(layout.LineWidth(i), 'f', 2).toStdString() + "\t" +
                              std::to_string(layout.LineFlags(i)) + "\t" + layout.Line(i).toStdString() + "\n");
    } catch (const platform::Exception& failure) {
        Print(stderr, "rptool: " + failure.Message() + "\n");
        return kExitFailed;
    }
    return kExitDone;
}
