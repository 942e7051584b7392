// scriptrun as a process: its exit statuses and the lines it writes on standard error.

#include "Subprocess.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <string>
#include <vector>

namespace {

using testsupport::ProgramRun;
using testsupport::RunProgram;

class ScriptRun : public ::testing::Test {
protected:
    std::string Write(const QString& name, const QByteArray& bytes)
    {
        QFile file(folder_.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName().toStdString();
    }
    // Runs scriptrun in the temporary folder with the arguments.
    ProgramRun Run(std::vector<std::string> arguments, const std::string& input = {})
    {
        arguments.insert(arguments.begin(), QFileInfo(QStringLiteral(DAX_SCRIPTRUN)).absoluteFilePath().toStdString());
        const QString saved = QDir::currentPath();
        QDir::setCurrent(folder_.path());
        ProgramRun run = RunProgram(arguments, input);
        QDir::setCurrent(saved);
        return run;
    }

    QTemporaryDir folder_;
};

TEST_F(ScriptRun, CompileErrorNamesFileRowAndColumn)
{
    Write(QStringLiteral("t.pas"), "begin if x x");
    const ProgramRun run = Run({"--parse-only", "t.pas"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "t.pas:1:12: 'THEN' expected\n");
    EXPECT_EQ(run.out, "");
}

TEST_F(ScriptRun, LanguageComesFromTheExtensionOrTheOption)
{
    Write(QStringLiteral("lf.vb"), "Dim a\nIf a Then\n  a = 1 _\n    + 2\nEnd If\n' done\n");
    EXPECT_EQ(Run({"--parse-only", "lf.vb"}).status, 0);
    Write(QStringLiteral("ok.cpp"), "{ if (a == 1 || b) c(); }");
    Write(QStringLiteral("ok.js"), "var a = [1, 2]; function f(x) { return x; }");
    Write(QStringLiteral("OK.PAS"), "begin end.");
    EXPECT_EQ(Run({"--parse-only", "ok.cpp"}).status, 0);
    EXPECT_EQ(Run({"--parse-only", "ok.js"}).status, 0);
    EXPECT_EQ(Run({"--parse-only", "OK.PAS"}).status, 0);

    Write(QStringLiteral("script.txt"), "x = 1");
    const ProgramRun unknown = Run({"--parse-only", "script.txt"});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_EQ(unknown.err, "scriptrun: script.txt: unknown extension (use .pas, .cpp, .js, .vb or --lang)\n");
    EXPECT_EQ(Run({"--parse-only", "--lang", "jscript", "script.txt"}).status, 0);
    const ProgramRun wrong = Run({"--parse-only", "--lang", "RIRERORIDOZE", "script.txt"});
    EXPECT_EQ(wrong.status, 2);
    EXPECT_EQ(wrong.err, "script.txt:1:1: 'BEGIN' expected\n");
}

TEST_F(ScriptRun, StandardInputIsRireroRidozeUnlessTold)
{
    EXPECT_EQ(Run({"--parse-only", "-"}, "begin end.").status, 0);
    const ProgramRun run = Run({"--parse-only", "-"}, "x = 1\n");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "-:1:1: 'BEGIN' expected\n");
    EXPECT_EQ(Run({"--parse-only", "--lang", "ZuvivUradur", "-"}, "x = 1\n").status, 0);
}

TEST_F(ScriptRun, FailuresOfTheEngineNameTheFile)
{
    Write(QStringLiteral("t.pas"), "begin end.");
    const ProgramRun language = Run({"--parse-only", "--lang", "Cobol", "t.pas"});
    EXPECT_EQ(language.status, 2);
    EXPECT_EQ(language.err, "t.pas: Language 'Cobol' not found\n");
    Write(QStringLiteral("switch.pas"), "#language Cobol\r\nbegin end.");
    EXPECT_EQ(Run({"--parse-only", "switch.pas"}).err, "switch.pas: Language 'Cobol' not found\n");
}

TEST_F(ScriptRun, UnitsComeFromTheScriptsFolderOnly)
{
    QDir(folder_.path()).mkdir(QStringLiteral("sub"));
    Write(QStringLiteral("sub/main.pas"), "uses 'lib.pas';\nbegin Helper end.");
    Write(QStringLiteral("sub/lib.pas"), "procedure Helper;\nbegin\n  x := ;\nend;\nbegin end.");
    const ProgramRun inUnit = Run({"--parse-only", "sub/main.pas"});
    EXPECT_EQ(inUnit.status, 2);
    EXPECT_EQ(inUnit.err, "lib.pas:3:8: Expression expected\n");

    Write(QStringLiteral("sub/missing.pas"), "uses 'nowhere.pas'; begin end.");
    const ProgramRun missing = Run({"--parse-only", "sub/missing.pas"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err, "sub/missing.pas: Cannot open file \"nowhere.pas\". No such file or directory\n");

    Write(QStringLiteral("secret.pas"), "begin end.");
    Write(QStringLiteral("sub/up.pas"), "uses '../secret.pas'; begin end.");
    const ProgramRun up = Run({"--parse-only", "sub/up.pas"});
    EXPECT_EQ(up.status, 2);
    EXPECT_EQ(up.err, "sub/up.pas: Unit name not allowed: '../secret.pas'\n");

    ASSERT_TRUE(QFile::link(folder_.filePath(QStringLiteral("secret.pas")), folder_.filePath(QStringLiteral("sub/link.pas"))));
    Write(QStringLiteral("sub/linked.pas"), "uses 'link.pas'; begin end.");
    const ProgramRun linked = Run({"--parse-only", "sub/linked.pas"});
    EXPECT_EQ(linked.status, 2);
    EXPECT_EQ(linked.err, "sub/linked.pas: Cannot open file \"link.pas\". Outside the script's folder\n");

    Write(QStringLiteral("sub/good.pas"), "uses 'lib2.pas'; begin end.");
    Write(QStringLiteral("sub/lib2.pas"), "begin end.");
    EXPECT_EQ(Run({"--parse-only", "sub/good.pas"}).status, 0);
}

TEST_F(ScriptRun, UsageErrorsAndUnreadableFilesExitWithOne)
{
    const char* const kMemoryLimitUsage =
        "scriptrun: --memory-limit needs a size from 1M to 1024G (bytes, or a number with K, M or G)";
    Write(QStringLiteral("t.pas"), "begin end.");
    const struct {
        std::vector<std::string> arguments;
        const char* firstLine;
    } cases[] = {
        {{}, "scriptrun: no script file"},
        {{"a.pas", "b.pas"}, "scriptrun: one script file only"},
        {{"--frobnicate", "t.pas"}, "scriptrun: unknown option \"--frobnicate\""},
        {{"t.pas", "--lang"}, "scriptrun: --lang needs a value"},
        {{"--locale", "de_DE", "t.pas"}, "scriptrun: --locale must be C or ru_RU"},
        {{"--timeout", "0", "t.pas"}, "scriptrun: --timeout needs a number of seconds above 0"},
        {{"--timeout", "1,5", "t.pas"}, "scriptrun: --timeout needs a number of seconds above 0"},
        {{"--allow-files", "no-such-folder", "t.pas"}, "scriptrun: --allow-files needs a folder: no-such-folder"},
        {{"--answers", "no-such-file", "t.pas"}, "scriptrun: cannot read the answers file no-such-file"},
        {{"--memory-limit", "512K", "t.pas"}, kMemoryLimitUsage},
        {{"--memory-limit", "2T", "t.pas"}, kMemoryLimitUsage},
        {{"--memory-limit", "2000G", "t.pas"}, kMemoryLimitUsage},
        {{"--memory-limit", "-5M", "t.pas"}, kMemoryLimitUsage},
        {{"--memory-limit", "M", "t.pas"}, kMemoryLimitUsage},
        {{"absent.pas"}, "scriptrun: cannot read absent.pas: No such file or directory"},
    };
    for (const auto& c : cases) {
        const ProgramRun run = Run(c.arguments);
        EXPECT_EQ(run.status, 1) << c.firstLine;
        EXPECT_EQ(run.err.substr(0, run.err.find('\n')), c.firstLine);
    }
    Write(QStringLiteral("answers.txt"), "Yes\n");
    EXPECT_EQ(Run({"--parse-only", "--locale", "ru_RU", "--timeout", "2.5", "--answers", "answers.txt", "--allow-files", ".",
                   "--memory-limit", "3g", "t.pas"})
                  .status,
              0);
}

TEST_F(ScriptRun, ScriptsInWindows1251OrWithAByteOrderMarkAreRead)
{
    // "Привет" in Windows-1251 is not UTF-8: the file is read in that code page.
    Write(QStringLiteral("cp.pas"), QByteArray("begin s := '\xCF\xF0\xE8\xE2\xE5\xF2'; x := ; end."));
    const ProgramRun run = Run({"--parse-only", "cp.pas"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "cp.pas:1:27: Expression expected\n");
    // A UTF-8 byte-order mark is no part of the text.
    Write(QStringLiteral("bom.pas"), QByteArray("\xEF\xBB\xBF" "begin end."));
    EXPECT_EQ(Run({"--parse-only", "bom.pas"}).status, 0);
}

TEST_F(ScriptRun, RunsScriptsPrintingWhatTheyShow)
{
    Write(QStringLiteral("fib.js"), "function fib(n) { if (n < 2) return n; return fib(n - 1) + fib(n - 2); }\n"
                                    "ShowMessage(fib(10));\nShowMessage(\"Ёж\");");
    const ProgramRun run = Run({"fib.js"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "55\nЁж\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(Run({"-"}, "begin ShowMessage(1 + 2); end.").out, "3\n");
}

TEST_F(ScriptRun, AnUncaughtErrorEndsWithThree)
{
    Write(QStringLiteral("div.pas"), "var i: Integer;\nbegin\n  ShowMessage('before');\n  i := 0;\n  ShowMessage(1 div i);\nend.");
    const ProgramRun run = Run({"div.pas"});
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.out, "before\n");
    EXPECT_EQ(run.err, "EDivByZero: Division by zero\n");
}

TEST_F(ScriptRun, AScriptHoldsAtMostTheMemoryLimit)
{
    // Texts of 64 KiB kept in a list: 2 MiB hold about 30 of them, 8 MiB about 120.
    Write(QStringLiteral("keep.pas"), "var l: TStringList; s: String; i: Integer;\n"
                                      "begin\n  s := 'x';\n  for i := 1 to 15 do s := s + s;\n"
                                      "  l := TStringList.Create;\n  for i := 1 to 60 do l.Add(s + IntToStr(i));\n"
                                      "  ShowMessage('kept');\nend.");
    const ProgramRun small = Run({"--memory-limit", "2M", "keep.pas"});
    EXPECT_EQ(small.status, 3);
    EXPECT_EQ(small.out, "");
    EXPECT_EQ(small.err, "EOutOfMemory: Out of memory\n");
    const ProgramRun larger = Run({"--memory-limit", "8388608", "keep.pas"});
    EXPECT_EQ(larger.status, 0);
    EXPECT_EQ(larger.out, "kept\n");
}

TEST_F(ScriptRun, CompileErrorsOfTheBuilderEndWithTwo)
{
    Write(QStringLiteral("undeclared.pas"), "begin\n  x := 1;\nend.");
    const ProgramRun run = Run({"undeclared.pas"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "undeclared.pas:2:4: Undeclared identifier: 'x'\n");
    EXPECT_EQ(run.out, "");
}

TEST_F(ScriptRun, TimeoutTerminatesRunsAndCompileTimeCode)
{
    Write(QStringLiteral("spin.pas"), "begin\n  while True do ;\nend.");
    const ProgramRun spin = Run({"--timeout", "0.3", "spin.pas"});
    EXPECT_EQ(spin.status, 4);
    EXPECT_EQ(spin.err, "");
    Write(QStringLiteral("constant.pas"), "function F: Integer;\nbegin\n  while True do ;\nend;\nconst C = F;\nbegin\n"
                                          "  ShowMessage('ran');\nend.");
    const ProgramRun constant = Run({"--timeout", "0.3", "constant.pas"});
    EXPECT_EQ(constant.status, 4);
    EXPECT_EQ(constant.out, "");
    Write(QStringLiteral("quick.pas"), "begin ShowMessage('quick'); end.");
    const ProgramRun quick = Run({"--timeout", "30", "quick.pas"});
    EXPECT_EQ(quick.status, 0);
    EXPECT_EQ(quick.out, "quick\n");
}

TEST_F(ScriptRun, DialogsTakeTheirAnswersFromTheAnswersFile)
{
    Write(QStringLiteral("sure.pas"), "begin ShowMessage(MessageDlg('Sure?', mtConfirmation, [mbYes, mbNo], 0)); end.");
    Write(QStringLiteral("yes.answers"), "mrYes\n");
    const ProgramRun yes = Run({"--answers", "yes.answers", "sure.pas"});
    EXPECT_EQ(yes.status, 0);
    EXPECT_EQ(yes.out, "6\n");
    EXPECT_EQ(yes.err, "");
    const ProgramRun none = Run({"sure.pas"});
    EXPECT_EQ(none.status, 3);
    EXPECT_EQ(none.err, "Exception: No answer left for MessageDlg \"Sure?\"\n");
    Write(QStringLiteral("prompts.pas"), "var s: string; f: TForm;\n"
                                         "begin s := 'x'; ShowMessage(InputQuery('T', 'Name', s)); ShowMessage(s);\n"
                                         "  f := TForm.Create(nil); f.Caption := 'Form'; ShowMessage(f.ShowModal); end.");
    Write(QStringLiteral("prompts.answers"), "ok Анна\r\n\r\n7\r\n");
    const ProgramRun prompts = Run({"--answers", "prompts.answers", "prompts.pas"});
    EXPECT_EQ(prompts.status, 0);
    EXPECT_EQ(prompts.out, "True\nАнна\n7\n");
}

TEST_F(ScriptRun, ScriptsTouchNoFileUnlessAFolderIsAllowed)
{
    QDir(folder_.path()).mkdir(QStringLiteral("data"));
    const std::string dir = folder_.filePath(QStringLiteral("data")).toStdString();
    Write(QStringLiteral("create.pas"), QByteArray::fromStdString("var f: TFileStream;\nbegin f := TFileStream.Create('" +
                                                                   dir + "/x', fmCreate); f.Free; end."));
    const ProgramRun refused = Run({"create.pas"});
    EXPECT_EQ(refused.status, 3);
    EXPECT_EQ(refused.err, "EFCreateError: Unable to create file \"" + dir + "/x\": file access is not allowed\n");
    EXPECT_FALSE(QFile::exists(QString::fromStdString(dir + "/x")));
    const ProgramRun allowed = Run({"--allow-files", dir, "create.pas"});
    EXPECT_EQ(allowed.status, 0);
    EXPECT_EQ(allowed.err, "");
    EXPECT_TRUE(QFile::exists(QString::fromStdString(dir + "/x")));
}

TEST_F(ScriptRun, AnErrorInAnEventHandlerEndsTheRunWithThree)
{
    Write(QStringLiteral("handler.pas"), "var f: TForm;\n"
                                         "procedure Shown(Sender: TObject); begin RaiseException('in OnShow'); end;\n"
                                         "begin f := TForm.Create(nil); f.OnShow := 'Shown'; f.Show;\n"
                                         "  ShowMessage('not reached'); end.");
    const ProgramRun run = Run({"handler.pas"});
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.err, "Exception: in OnShow\n");
    EXPECT_EQ(run.out, "");
}

} // namespace
