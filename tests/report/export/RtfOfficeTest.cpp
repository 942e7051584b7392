// The RTF export read by an office suite nobody here wrote: rptool exports the archive and
// graphics fixtures, LibreOffice converts both documents to PDF and to HTML (one call per
// format for all files, a private profile, a time limit), and the text and the table rows
// come out as the export wrote them. Heavy: needs LibreOffice, which scripts/test --heavy
// installs.

#include "Subprocess.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Absolute(const char* path)
{
    return QFileInfo(QString::fromLocal8Bit(path)).absoluteFilePath().toStdString();
}

testsupport::ProgramRun Rptool(const std::vector<std::string>& arguments)
{
    std::vector<std::string> argv = {Absolute(DAX_RPTOOL)};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return testsupport::RunProgram(argv);
}

// One soffice run converting every file to the format, into `out` (its own time limit: the
// first start of an office suite on a busy machine may stay silent for a long time).
struct Converted {
    int status = -1;
    std::string output;
};

Converted Convert(const QTemporaryDir& folder, const std::string& format, const std::string& out,
                  const std::vector<std::string>& files)
{
    std::string command = "timeout 240 soffice '-env:UserInstallation=file://" +
                          folder.filePath(QStringLiteral("lo")).toStdString() + "' --headless --convert-to '" + format +
                          "' --outdir '" + out + "'";
    for (const std::string& file : files)
        command += " '" + file + "'";
    Converted converted;
    converted.status = testsupport::RunCommand(command, converted.output);
    return converted;
}

int RowLines(const QString& rtf)
{
    QFile file(rtf);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    int rows = 0;
    for (const QByteArray& line : file.readAll().split('\n'))
        rows += line.startsWith("\\trowd") ? 1 : 0;
    return rows;
}

} // namespace

TEST(RtfOffice, LibreOfficeReadsTheArchiveAndGraphicsExports)
{
    QTemporaryDir folder;
    const std::string data = Absolute(DAX_EXPORT_DATA);
    const auto path = [&](const char* name) { return folder.filePath(QString::fromLatin1(name)).toStdString(); };
    ASSERT_EQ(Rptool({"prepare", data + "/archive.zi3", "--csv", "Hours=" + data + "/hours.csv", "--out", path("a.zp3")}).status, 0);
    ASSERT_EQ(Rptool({"prepare", data + "/graphics.zi3", "--csv", "Rows=" + data + "/graphics.csv", "--out", path("g.zp3")}).status, 0);
    for (const char* name : {"a", "g"}) {
        const std::string base = path(name);
        const auto run = Rptool({"export", base + ".zp3", "--format", "rtf", "--out", base + ".rtf"});
        ASSERT_EQ(run.status, 0) << run.err;
    }

    const auto pdf = Convert(folder, "pdf", path("pdf"), {path("a.rtf"), path("g.rtf")});
    ASSERT_EQ(pdf.status, 0) << pdf.output;
    std::string text;
    ASSERT_EQ(testsupport::RunCommand("pdftotext -layout '" + path("pdf/a.pdf") + "' -", text), 0);
    EXPECT_NE(text.find("Часовые данные"), std::string::npos);
    // Every hour of the month, in order.
    size_t at = 0;
    for (int day = 1; day <= 31; ++day)
        for (int hour = 0; hour < 24; ++hour) {
            const std::string time = QStringLiteral("%1.01.2026 %2:00").arg(day, 2, 10, QChar(u'0')).arg(hour, 2, 10, QChar(u'0')).toStdString();
            const size_t found = text.find(time, at);
            ASSERT_NE(found, std::string::npos) << time;
            at = found;
        }
    std::string graphics;
    ASSERT_EQ(testsupport::RunCommand("pdftotext '" + path("pdf/g.pdf") + "' -", graphics), 0);
    EXPECT_FALSE(graphics.empty());

    const auto html = Convert(folder, "html", path("html"), {path("a.rtf"), path("g.rtf")});
    ASSERT_EQ(html.status, 0) << html.output;
    for (const char* name : {"a", "g"}) {
        SCOPED_TRACE(name);
        std::string counted;
        ASSERT_EQ(testsupport::RunCommand("/usr/bin/python3 '" + Absolute(DAX_EXPORT_TOOLS) + "/count_html_rows.py' '" +
                                              path("html") + "/" + name + ".html'",
                                          counted),
                  0)
            << counted;
        const int rows = RowLines(QString::fromStdString(path(name)) + QStringLiteral(".rtf"));
        EXPECT_GT(rows, 0);
        EXPECT_NE(counted.find("rows=" + std::to_string(rows) + " "), std::string::npos) << counted << " rtf rows " << rows;
    }
}
