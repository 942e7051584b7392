// Every case file of tests/script/cases runs in-process and prints its NAME.out, and the
// same program saved as compiled code (GetILCode) and loaded back (SetILCode) prints it too.

#include "ScriptTestSupport.h"

#include "report/script/sc_iclassesrtti.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

struct CaseFile {
    std::string path;
    std::string name;
};

void PrintTo(const CaseFile& c, std::ostream* os)
{
    *os << c.name;
}

std::vector<CaseFile> AllCaseFiles()
{
    std::vector<CaseFile> files;
    const QDir dir(QStringLiteral(DAX_SCRIPT_CASES));
    for (const QFileInfo& info : dir.entryInfoList(QDir::Files, QDir::Name)) {
        if (info.suffix() == u"out")
            continue;
        files.push_back({info.absoluteFilePath().toStdString(),
                         (info.completeBaseName() + u'_' + info.suffix()).toStdString()});
    }
    return files;
}

QString LanguageOf(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix();
    if (suffix == u"pas")
        return QStringLiteral("RireroRidoze");
    if (suffix == u"cpp")
        return QStringLiteral("R++Idirud");
    if (suffix == u"js")
        return QStringLiteral("JScript");
    return QStringLiteral("ZuvivUradur");
}

QString ReadText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

QString ExpectedOutput(const QString& path)
{
    const QFileInfo info(path);
    QString text = ReadText(info.absolutePath() + u'/' + info.completeBaseName() + QStringLiteral(".out"));
    if (text.endsWith(u'\n'))
        text.chop(1);
    return text;
}

// Runs a built script and collects what it shows, an uncaught error as its last line.
QString Output(TscScript& script, scripttest::RecordingUi& ui)
{
    try {
        script.Execute();
    } catch (const platform::Exception& error) {
        ui.Lines << QString::fromUtf8(ScriptErrorClassName(error)) + QStringLiteral(": ") +
                        QString::fromStdString(error.Message());
    }
    return ui.Lines.join(u'\n');
}

} // namespace

// The cases use the class library that needs no windows, as scriptrun gives it to them.
class ScriptCases : public testing::TestWithParam<CaseFile> {
protected:
    static void SetUpTestSuite() { RegisterClassLibraryModules(); }
};

TEST_P(ScriptCases, PrintTheirOutput)
{
    const QString path = QString::fromStdString(GetParam().path);
    scripttest::RecordingUi ui;
    std::unique_ptr<TscScript> script = scripttest::NewScript(LanguageOf(path));
    scripttest::SetSource(*script, ReadText(path));
    ASSERT_TRUE(script->Compile()) << script->ErrorPos.toStdString() << ": " << script->ErrorMsg.toStdString();
    EXPECT_EQ(Output(*script, ui).toStdString(), ExpectedOutput(path).toStdString());
}

TEST_P(ScriptCases, RunTheSameFromCompiledCode)
{
    const QString path = QString::fromStdString(GetParam().path);
    QByteArray code;
    {
        std::unique_ptr<TscScript> source = scripttest::NewScript(LanguageOf(path));
        scripttest::SetSource(*source, ReadText(path));
        QBuffer buffer(&code);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(source->GetILCode(buffer)) << source->ErrorMsg.toStdString();
    }
    scripttest::RecordingUi ui;
    std::unique_ptr<TscScript> loaded = scripttest::NewScript(LanguageOf(path));
    QBuffer buffer(&code);
    buffer.open(QIODevice::ReadOnly);
    ASSERT_TRUE(loaded->SetILCode(buffer)) << loaded->ErrorPos.toStdString() << ": " << loaded->ErrorMsg.toStdString();
    EXPECT_EQ(Output(*loaded, ui).toStdString(), ExpectedOutput(path).toStdString());
}

INSTANTIATE_TEST_SUITE_P(Files, ScriptCases, testing::ValuesIn(AllCaseFiles()),
                         [](const testing::TestParamInfo<CaseFile>& info) { return info.param.name; });
