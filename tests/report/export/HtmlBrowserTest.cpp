// A real browser renders the HTML export: chromium prints the archive fixture's single-file
// export and the first page file of the multi-page export to PDF, and pdftotext finds every
// text of the report's page 1 there (the texts as rptool zp3-text prints them).

#include "Subprocess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

std::string Quote(const QString& text)
{
    return "'" + text.toStdString() + "'";
}

// Blanks of any kind collapsed to one space, so that texts compare across line and cell breaks.
QString Collapse(const QString& text)
{
    return text.simplified();
}

} // namespace

TEST(HtmlBrowser, ChromiumPrintsEveryTextOfPageOne)
{
    std::string output;
    if (testsupport::RunCommand("command -v chromium", output) != 0)
        GTEST_FAIL() << "chromium is not installed: run scripts/test --heavy";
    QTemporaryDir folder;
    const QString t = folder.path();
    const QString rptool = QFileInfo(QStringLiteral(DAX_RPTOOL)).absoluteFilePath();
    const QString data = QFileInfo(QStringLiteral(DAX_EXPORT_DATA)).absoluteFilePath();
    ASSERT_EQ(testsupport::RunCommand(Quote(rptool) + " prepare " + Quote(data + "/archive.zi3") + " --csv Hours="
                                          + Quote(data + "/hours.csv") + " --out " + Quote(t + "/a.zp3"),
                                      output),
              0)
        << output;
    ASSERT_EQ(testsupport::RunCommand(Quote(rptool) + " zp3-text " + Quote(t + "/a.zp3") + " --page 1", output), 0)
        << output;
    QStringList texts;
    for (const QString& line : QString::fromStdString(output).split(u'\n')) {
        const QString text = Collapse(line);
        if (!text.isEmpty())
            texts << text;
    }
    ASSERT_GT(texts.size(), 100);
    ASSERT_TRUE(texts.contains(QStringLiteral("Часовые данные")));

    struct Case {
        const char* name;
        QString options;
        QString page; // the file the browser opens
    };
    const Case cases[] = {
        {"one file", QString(), QStringLiteral("/h/r.html")},
        {"page files", QStringLiteral(" --set Multipage=True --set Navigator=True"), QStringLiteral("/m/r.files/1.html")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString out = t + (c.options.isEmpty() ? QStringLiteral("/h/r.html") : QStringLiteral("/m/r.html"));
        ASSERT_EQ(testsupport::RunCommand(Quote(rptool) + " export " + Quote(t + "/a.zp3") + " --format html" + c.options.toStdString()
                                              + " --out " + Quote(out),
                                          output),
                  0)
            << output;
        const QString pdf = t + QStringLiteral("/printed.pdf");
        QFile::remove(pdf);
        // Its own profile folder, so that no running browser is reused; bounded in time.
        const std::string chromium = "timeout 180 chromium --headless --no-sandbox --disable-gpu --no-pdf-header-footer "
                                     "--user-data-dir="
                                     + Quote(t + "/profile") + " --print-to-pdf=" + Quote(pdf) + " "
                                     + Quote(QStringLiteral("file://") + t + c.page);
        testsupport::RunCommand(chromium, output);
        ASSERT_TRUE(QFileInfo::exists(pdf)) << output;
        ASSERT_EQ(testsupport::RunCommand("pdftotext -layout " + Quote(pdf) + " -", output), 0) << output;
        const QString printed = Collapse(QString::fromStdString(output));
        int missing = 0;
        for (const QString& text : texts) {
            if (!printed.contains(text)) {
                ADD_FAILURE() << "not printed: " << text.toStdString();
                if (++missing > 10)
                    break;
            }
        }
    }
}
