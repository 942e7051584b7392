// The rptool program: its sub-commands, exit statuses and messages.

#include "Subprocess.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <string>

namespace {

using testsupport::RunCommand;

const std::string kRptool = DAXRPTOOL_PATH;
const QString kXmlData = QStringLiteral(DAX_REPORT_MODEL_DATA "/xml/");

QByteArray ReadFile(const QString& name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

void WriteFile(const QString& name, const QByteArray& bytes)
{
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

std::string Quote(const QString& path)
{
    return "'" + path.toStdString() + "'";
}

TEST(Rptool, XmlRoundTripKeepsTheWritersOwnForm)
{
    QTemporaryDir folder;
    const QString out = folder.filePath(QStringLiteral("out.xml"));
    for (const char* name : {"indented.xml", "flat.xml", "written-flat.xml"}) {
        std::string output;
        EXPECT_EQ(RunCommand(kRptool + " xml-roundtrip " + Quote(kXmlData + name) + " " + Quote(out), output), 0) << output;
        EXPECT_EQ(output, "");
        // The value element of the written file is not read, so only the other two come back whole.
        if (std::string(name) != "written-flat.xml") {
            EXPECT_EQ(ReadFile(out), ReadFile(kXmlData + name)) << name;
        }
    }
}

TEST(Rptool, XmlRoundTripIndentsOnlyAfterACrLfHeaderLine)
{
    QTemporaryDir folder;
    const QString in = folder.filePath(QStringLiteral("in.xml"));
    const QString out = folder.filePath(QStringLiteral("out.xml"));
    const QByteArray header = R"(<?xml version="1.0" encoding="utf-8" standalone="no"?>)";
    std::string output;
    WriteFile(in, header + "\n<a>\n  <b/>\n</a>\n");
    ASSERT_EQ(RunCommand(kRptool + " xml-roundtrip " + Quote(in) + " " + Quote(out), output), 0) << output;
    EXPECT_EQ(ReadFile(out), header + "<a><b/></a>");
    WriteFile(in, header + "\r\n<a><b/></a>");
    ASSERT_EQ(RunCommand(kRptool + " xml-roundtrip " + Quote(in) + " " + Quote(out), output), 0) << output;
    EXPECT_EQ(ReadFile(out), header + "\r\n<a>\r\n  <b/>\r\n</a>\r\n");
}

TEST(Rptool, BadFileGivesItsMessageAndWritesNothing)
{
    QTemporaryDir folder;
    const QString out = folder.filePath(QStringLiteral("out.xml"));
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"deep", R"(<?xml version="1.0" encoding="utf-8" standalone="no"?>)" + QByteArray("<a>").repeated(100000)},
        {"no header", "<a/>"},
        {"mismatched end tag", R"(<?xml version="1.0"?><a></b>)"},
        {"end inside a tag", R"(<?xml version="1.0"?><a x="1)"},
    };
    for (const auto& c : cases) {
        const QString in = folder.filePath(QStringLiteral("bad.xml"));
        WriteFile(in, c.bytes);
        std::string output;
        EXPECT_EQ(RunCommand(kRptool + " xml-roundtrip " + Quote(in) + " " + Quote(out), output), 2) << c.name;
        EXPECT_EQ(output, "Invalid file format\n") << c.name;
        EXPECT_FALSE(QFile::exists(out)) << c.name;
    }
    // An existing output file stays as it was.
    WriteFile(out, "previous");
    std::string output;
    EXPECT_EQ(RunCommand(kRptool + " xml-roundtrip " + Quote(folder.filePath(QStringLiteral("bad.xml"))) + " " + Quote(out), output), 2);
    EXPECT_EQ(ReadFile(out), QByteArray("previous"));
}

TEST(Rptool, UsageAndFileErrorsExitWithOne)
{
    QTemporaryDir folder;
    std::string output;
    EXPECT_EQ(RunCommand(kRptool, output), 1);
    EXPECT_NE(output.find("xml-roundtrip IN OUT"), std::string::npos) << output;
    EXPECT_EQ(RunCommand(kRptool + " frobnicate a b", output), 1);
    EXPECT_EQ(RunCommand(kRptool + " xml-roundtrip only-one", output), 1);
    EXPECT_NE(output.find("usage: rptool"), std::string::npos) << output;

    const QString missing = folder.filePath(QStringLiteral("missing.xml"));
    EXPECT_EQ(RunCommand(kRptool + " xml-roundtrip " + Quote(missing) + " " + Quote(folder.filePath("o.xml")), output), 1);
    EXPECT_EQ(output, "Cannot open file \"" + missing.toStdString() + "\". No such file or directory\n");

    EXPECT_EQ(RunCommand(kRptool + " xml-roundtrip " + Quote(kXmlData + "flat.xml") + " /nonexistent/folder/o.xml", output), 1);
    EXPECT_EQ(output.rfind("Cannot create file \"/nonexistent/folder/o.xml\". ", 0), 0u) << output;
}

TEST(Rptool, ResGetPrintsTheInterfaceText)
{
    struct Case {
        const char* name;
        const char* printed;
    };
    const Case cases[] = {
        {"mbError", "Ошибка\n"},
        {"2", "Отмена\n"},
        {"prDupl", "Повторяющееся имя\n"},
        {"'!Nope'", "Nope\n"},
        {"clDSNotExist", "Набор данных \"%s\" не найден\n"},
    };
    for (const Case& c : cases) {
        std::string output;
        EXPECT_EQ(RunCommand(kRptool + " res-get " + c.name, output), 0) << c.name;
        EXPECT_EQ(output, c.printed);
    }
    std::string output;
    EXPECT_EQ(RunCommand(kRptool + " res-get", output), 1);
}

} // namespace
