// Printing from rptool: the printer list, prepared reports printed into PDF files, and a real
// CUPS scheduler of the test's own (its own configuration, a Unix socket in a temporary folder,
// no network listener) with a raw queue whose back end keeps each job's arguments and data.
// Nothing depends on the machine's printers: CUPS_SERVER points at the test's scheduler or at
// a socket where none runs.

#include "Subprocess.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <cstdlib>
#include <memory>
#include <string>
#include <sys/stat.h>

namespace {

using testsupport::RunCommand;

const std::string kRptool = DAXRPTOOL_PATH;
const QString kEngineData = QStringLiteral(DAX_ENGINE_DATA "/");
// The scheduler and the queue's back end run on their own: waits for them are bounded
// generously, for a busy machine.
constexpr int kWaitMilliseconds = 60000;

std::string Quote(const QString& path)
{
    return "'" + path.toStdString() + "'";
}

// Points libcups at `server` for the commands started afterwards.
class CupsServerScope {
public:
    explicit CupsServerScope(const QString& server)
    {
        if (const char* old = std::getenv("CUPS_SERVER"))
            previous_ = old;
        ::setenv("CUPS_SERVER", server.toLocal8Bit().constData(), 1);
    }
    ~CupsServerScope()
    {
        if (previous_.empty())
            ::unsetenv("CUPS_SERVER");
        else
            ::setenv("CUPS_SERVER", previous_.c_str(), 1);
    }

private:
    std::string previous_;
};

// Waits (bounded) until the file exists.
bool WaitForFile(const QString& path)
{
    QElapsedTimer timer;
    timer.start();
    while (!QFile::exists(path)) {
        if (timer.elapsed() > kWaitMilliseconds)
            return false;
        QThread::msleep(50);
    }
    return true;
}

std::string Outcome(const std::string& command)
{
    std::string output;
    const int status = RunCommand(command, output);
    return std::to_string(status) + ":" + output;
}

// What rptool prints on stdout, without Qt's notes on stderr.
std::string Stdout(const std::string& command)
{
    std::string output;
    // The inner redirection wins over the one RunCommand adds.
    RunCommand("{ " + command + " 2>/dev/null; }", output);
    return output;
}

int Status(const std::string& command)
{
    std::string output;
    return RunCommand(command, output);
}

// pdfinfo's lines with each run of blanks made one.
std::string PdfInfo(const QString& pdf)
{
    return QString::fromStdString(Stdout("pdfinfo -f 1 -l 9 " + Quote(pdf)))
        .replace(QRegularExpression(QStringLiteral(" +")), QStringLiteral(" "))
        .toStdString();
}

class PrintingTool : public testing::Test {
protected:
    PrintingTool() : noScheduler_(folder_.filePath(QStringLiteral("none"))) {}

    QString Prepared()
    {
        const QString out = folder_.filePath(QStringLiteral("l.zp3"));
        EXPECT_EQ(Status(kRptool + " prepare " + Quote(kEngineData + QStringLiteral("reports/list.zi3")) + " --csv Rows="
                         + Quote(kEngineData + QStringLiteral("reports/rows-99.csv")) + " --out " + Quote(out)),
                  0);
        return out;
    }

    QTemporaryDir folder_;
    CupsServerScope noScheduler_;
};

TEST_F(PrintingTool, WithoutASchedulerOnlyThePdfFilePrinterIsListedAsTheDefault)
{
    const std::string listed = Stdout(kRptool + " printers");
    EXPECT_EQ(listed, "0\t" + std::string("Файл PDF") + "\t*\t600\t67\n");
}

TEST_F(PrintingTool, CollatedCopiesOfChosenPages)
{
    const QString zp3 = Prepared();
    const QString pdf = folder_.filePath(QStringLiteral("c.pdf"));
    EXPECT_EQ(Stdout(kRptool + " print " + Quote(zp3) + " --pdf " + Quote(pdf) + " --copies 2 --collate --pages 1,3"),
              "sheets=4\n");
    EXPECT_NE(PdfInfo(pdf).find("Pages: 4"), std::string::npos) << PdfInfo(pdf);
}

TEST_F(PrintingTool, AnA3PageSplitOntoTwoLandscapeA4Sheets)
{
    const QString pdf = folder_.filePath(QStringLiteral("s.pdf"));
    EXPECT_EQ(Stdout(kRptool + " print " + Quote(kEngineData + QStringLiteral("zp3/a3.zp3")) + " --pdf " + Quote(pdf)
                     + " --mode split --sheet 9"),
              "sheets=2\n");
    const std::string info = PdfInfo(pdf);
    EXPECT_NE(info.find("Page 1 size: 842 x 595 pts"), std::string::npos) << info;
    EXPECT_NE(info.find("Page 2 size: 842 x 595 pts"), std::string::npos) << info;
}

TEST_F(PrintingTool, ReverseOddPagesJoinedAndScaled)
{
    const QString zp3 = Prepared();
    const QString pdf = folder_.filePath(QStringLiteral("o.pdf"));
    EXPECT_EQ(Stdout(kRptool + " print " + Quote(zp3) + " --pdf " + Quote(pdf) + " --odd --reverse"), "sheets=2\n");
    EXPECT_EQ(Stdout(kRptool + " print " + Quote(zp3) + " --pdf " + Quote(pdf) + " --mode join --sheet 8"),
              "sheets=2\n")
        << "three A4 pages, two on a landscape A3 sheet";
    EXPECT_EQ(Stdout(kRptool + " print " + Quote(zp3) + " --pdf " + Quote(pdf) + " --mode scale --sheet 11 --copies 3 "
                     "--no-collate --duplex simplex"),
              "sheets=9\n");
    EXPECT_NE(PdfInfo(pdf).find("Page 1 size: 420 x 595 pts"), std::string::npos) << PdfInfo(pdf);
}

TEST_F(PrintingTool, FailuresAndUsage)
{
    const QString zp3 = Prepared();
    const struct {
        const char* name;
        std::string arguments;
        int status;
    } cases[] = {
        {"no file", "print", 1},
        {"unknown option", "print " + Quote(zp3) + " --colour", 1},
        {"copies out of range", "print " + Quote(zp3) + " --copies 0", 1},
        {"unknown mode", "print " + Quote(zp3) + " --mode fold", 1},
        {"printer and pdf", "print " + Quote(zp3) + " --printer X --pdf x.pdf", 1},
        {"unknown printer", "print " + Quote(zp3) + " --printer Nobody", 2},
        {"missing report", "print " + Quote(folder_.filePath(QStringLiteral("none.zp3"))) + " --pdf x.pdf", 2},
        {"unwritable folder", "print " + Quote(zp3) + " --pdf " + Quote(folder_.filePath(QStringLiteral("no/x.pdf"))), 2},
        {"bad page list", "print " + Quote(zp3) + " --pdf " + Quote(folder_.filePath(QStringLiteral("x.pdf")))
                              + " --pages 1,x", 2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Status(kRptool + " " + c.arguments), c.status) << c.name << ": " << Outcome(kRptool + " " + c.arguments);
    EXPECT_FALSE(QFile::exists(folder_.filePath(QStringLiteral("x.pdf"))));
}

// --- a real scheduler ----------------------------------------------------------------------------

// cupsd in the foreground with everything in one temporary folder.
class OwnCupsScheduler {
public:
    explicit OwnCupsScheduler(const QString& root) : root_(root)
    {
        QDir dir(root);
        for (const char* sub : {"conf", "bin/backend", "bin/filter", "spool", "tmp", "cache", "state", "log", "jobs"})
            dir.mkpath(QString::fromLatin1(sub));
        // The back end runs as user lp when the scheduler runs as root: it reaches the jobs
        // folder through folders it may enter.
        ::chmod(root.toLocal8Bit().constData(), 0755);
        ::chmod(dir.filePath(QStringLiteral("jobs")).toLocal8Bit().constData(), 0777);
        QFile::link(QStringLiteral("/usr/lib/cups/daemon"), dir.filePath(QStringLiteral("bin/daemon")));
        QFile::link(QStringLiteral("/usr/lib/cups/notifier"), dir.filePath(QStringLiteral("bin/notifier")));
        Write(QStringLiteral("bin/backend/capture"),
              "#!/bin/sh\n"
              "# Keeps each job: its arguments one a line, then its data.\n"
              "if [ $# -eq 0 ]; then echo 'direct capture \"Unknown\" \"Capture\"'; exit 0; fi\n"
              "dir=${DEVICE_URI#capture:}\n"
              "if [ $# -ge 6 ]; then cat \"$6\" > \"$dir/job-$1.data\"; else cat > \"$dir/job-$1.data\"; fi\n"
              "printf '%s\\n' \"$@\" > \"$dir/job-$1.args.tmp\"\n"
              "mv \"$dir/job-$1.args.tmp\" \"$dir/job-$1.args\"\n");
        ::chmod(dir.filePath(QStringLiteral("bin/backend/capture")).toLocal8Bit().constData(), 0755);
        Write(QStringLiteral("conf/cupsd.conf"), "Listen " + Socket().toUtf8()
                                                     + "\nLogLevel info\nWebInterface No\nBrowsing No\n"
                                                       "DefaultAuthType None\n<Location />\n  Order allow,deny\n"
                                                       "  Allow all\n</Location>\n<Policy default>\n  <Limit All>\n"
                                                       "    Order deny,allow\n  </Limit>\n</Policy>\n");
        const QByteArray r = root.toUtf8();
        Write(QStringLiteral("conf/cups-files.conf"),
              "ServerRoot " + r + "/conf\nServerBin " + r + "/bin\nRequestRoot " + r + "/spool\nTempDir " + r
                  + "/tmp\nCacheDir " + r + "/cache\nStateDir " + r + "/state\nErrorLog " + r
                  + "/log/error_log\nAccessLog " + r + "/log/access_log\nPageLog " + r
                  + "/log/page_log\nFileDevice No\nUser lp\nGroup lp\nSystemGroup root\n");
        process_ = std::make_unique<testsupport::Subprocess>(std::vector<std::string>{
            "cupsd", "-f", "-c", (root + QStringLiteral("/conf/cupsd.conf")).toStdString(), "-s",
            (root + QStringLiteral("/conf/cups-files.conf")).toStdString()});
    }

    QString Socket() const { return root_ + QStringLiteral("/cups.sock"); }
    QString Jobs() const { return root_ + QStringLiteral("/jobs"); }
    bool Started() const { return process_->Started() && WaitForFile(Socket()); }
    std::string ErrorLog() const
    {
        QFile file(root_ + QStringLiteral("/log/error_log"));
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
    }

private:
    void Write(const QString& name, const QByteArray& bytes)
    {
        QFile file(root_ + u'/' + name);
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
    }

    QString root_;
    std::unique_ptr<testsupport::Subprocess> process_;
};

TEST(RealCups, AReportPrintsOnARawQueueWithUncollatedCopies)
{
    QTemporaryDir folder;
    OwnCupsScheduler scheduler(folder.path());
    ASSERT_TRUE(scheduler.Started()) << scheduler.ErrorLog();
    const CupsServerScope server(scheduler.Socket());
    ASSERT_EQ(Status("lpadmin -p Capture -E -v " + Quote(QStringLiteral("capture:") + scheduler.Jobs()) + " -m raw"), 0)
        << Outcome("lpadmin -p Capture -E -v capture:/x -m raw") << scheduler.ErrorLog();

    const std::string listed = Stdout(kRptool + " printers");
    EXPECT_EQ(listed.substr(0, 10), "0\tCapture\t") << listed;
    EXPECT_NE(listed.find("1\tФайл PDF\t*\t600\t"), std::string::npos) << listed;

    const QString zp3 = folder.filePath(QStringLiteral("l.zp3"));
    ASSERT_EQ(Status(kRptool + " prepare " + Quote(kEngineData + QStringLiteral("reports/list.zi3")) + " --csv Rows="
                     + Quote(kEngineData + QStringLiteral("reports/rows-99.csv")) + " --out " + Quote(zp3)),
              0);
    EXPECT_EQ(Stdout(kRptool + " print " + Quote(zp3) + " --printer Capture --copies 2 --no-collate"), "sheets=6\n");

    const QString args = scheduler.Jobs() + QStringLiteral("/job-1.args");
    ASSERT_TRUE(WaitForFile(args)) << scheduler.ErrorLog();
    QFile argsFile(args);
    ASSERT_TRUE(argsFile.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(argsFile.readAll()).split(u'\n');
    ASSERT_GE(lines.size(), 5);
    EXPECT_EQ(lines[2].toStdString(), "Ruro Duzedo Document") << "the job's title";
    EXPECT_EQ(lines[3].toStdString(), "2") << "the copies";
    EXPECT_TRUE(lines[4].contains(QStringLiteral("media=A4"))) << lines[4].toStdString();
    const std::string info = PdfInfo(scheduler.Jobs() + QStringLiteral("/job-1.data"));
    EXPECT_NE(info.find("Pages: 3"), std::string::npos) << info;
    EXPECT_NE(info.find("Page 1 size: 595 x 842 pts"), std::string::npos) << info;
}

} // namespace
