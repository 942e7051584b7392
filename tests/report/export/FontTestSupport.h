#pragma once

// What the font subsetter's tests share: the installed fonts the report fonts resolve to,
// fonts built with fontTools, and the independent checks written in Python.

#include "report/export/rpTrueTypeCollection.h"

#include "Subprocess.h"

#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace fonttest {

using Bytes = std::vector<uint8_t>;

// Debian's Python, which has the Debian fontTools (another python3 in PATH may not).
inline const std::string kPython = "/usr/bin/python3";
inline const std::string kTools = DAX_EXPORT_TOOLS;

inline std::string Quoted(const std::string& text)
{
    std::string quoted = "'";
    for (const char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

// The faces the report fonts resolve to ("Arial" Liberation Sans, any other name DejaVu Sans),
// from the Debian packages fonts-liberation2 and fonts-dejavu-core.
inline const std::string kDejaVuSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
inline const std::string kLiberationSans = "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf";
inline const std::string kLiberationSansBold = "/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf";

inline Bytes ReadBytes(const std::string& fileName)
{
    QFile file(QString::fromStdString(fileName));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray data = file.readAll();
    return Bytes(data.begin(), data.end());
}

inline void WriteBytes(const std::string& fileName, const Bytes& bytes)
{
    QFile file(QString::fromStdString(fileName));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << fileName;
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
}

// Runs one of the Python tools; its output, and its exit status in `status`.
inline std::string RunTool(const std::string& tool, const std::vector<std::string>& arguments, int& status)
{
    std::string command = kPython + " " + Quoted(kTools + "/" + tool);
    for (const std::string& argument : arguments)
        command += " " + Quoted(argument);
    std::string output;
    status = testsupport::RunCommand(command, output);
    return output;
}

// Builds the fonts of make_test_fonts.py ("short", "collection") in a folder of their own.
class BuiltFonts {
public:
    explicit BuiltFonts(const std::vector<std::string>& which)
    {
        std::vector<std::string> arguments = {folder_.path().toStdString()};
        arguments.insert(arguments.end(), which.begin(), which.end());
        int status = 0;
        const std::string output = RunTool("make_test_fonts.py", arguments, status);
        EXPECT_EQ(status, 0) << output;
    }
    std::string Path(const char* name) const { return folder_.filePath(QString::fromLatin1(name)).toStdString(); }

private:
    QTemporaryDir folder_;
};

// "key value" lines as font_facts.py prints them.
inline std::map<std::string, std::string> Facts(const std::string& output)
{
    std::map<std::string, std::string> facts;
    size_t start = 0;
    for (size_t end; (end = output.find('\n', start)) != std::string::npos; start = end + 1) {
        const std::string line = output.substr(start, end - start);
        const size_t blank = line.find(' ');
        if (blank != std::string::npos)
            facts[line.substr(0, blank)] = line.substr(blank + 1);
    }
    return facts;
}

// The glyphs a text maps to through the face's character map, as the PDF export's layout
// hands them over.
inline std::vector<int> GlyphsOf(const TrueTypeFont& face, const QString& text)
{
    std::vector<int> glyphs;
    for (const char32_t character : text.toUcs4())
        glyphs.push_back(character <= 0xFFFF ? face.cmap_table->GetGlyphIndex(static_cast<uint16_t>(character)) : 0);
    return glyphs;
}

inline std::span<const uint8_t> View(const Bytes& bytes)
{
    return std::span<const uint8_t>(bytes);
}

} // namespace fonttest
