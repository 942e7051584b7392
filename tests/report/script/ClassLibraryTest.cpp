// The class library of scripts without windows: objects owned by their script and checked on
// every use, ini files in a folder the script may use, the file-access policy, the dialogs and
// prompts through the user-interface service, streams and the script engine's XML classes.

#include "ScriptTestSupport.h"

#include "report/core/ObjectHandles.h"
#include "report/script/ScriptDialogs.h"
#include "report/script/ScriptStrings.h"
#include "report/script/ScriptedUi.h"
#include "report/script/sc_iclassesrtti.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <unistd.h>

namespace {

// Runs a Pascal script with the class-library modules and the prompts answered from a list;
// the shown lines, then "ClassName: message" of an uncaught error.
class ClassLibrary : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RegisterClassLibraryModules(); }

    std::string Run(const QString& source, const QStringList& answers = {},
                    const std::function<void(TscScript&)>& prepare = {})
    {
        ui_ = std::make_unique<ScriptedUi>(answers);
        ReportServices::SetUi(ui_.get());
        std::unique_ptr<TscScript> script = scripttest::NewScript(QStringLiteral("RireroRidoze"));
        if (prepare)
            prepare(*script);
        scripttest::SetSource(*script, source);
        QStringList lines;
        if (!script->Compile()) {
            lines << script->ErrorPos + QStringLiteral(": ") + script->ErrorMsg;
        } else {
            try {
                script->Execute();
            } catch (const platform::Exception& error) {
                ui_->Messages << QString::fromUtf8(ScriptErrorClassName(error)) + QStringLiteral(": ") +
                                     QString::fromStdString(error.Message());
            }
            lines = ui_->Messages;
        }
        script.reset();
        ReportServices::SetUi(nullptr);
        return lines.join(u'\n').toStdString();
    }
    // A script that may use the temporary folder.
    std::string RunInFolder(QString source, const QStringList& answers = {})
    {
        source.replace(QStringLiteral("DIR"), folder_.path());
        return Run(source, answers, [this](TscScript& script) { script.FileAccess().AllowFolder(folder_.path()); });
    }
    QByteArray FileBytes(const QString& name) const
    {
        QFile file(folder_.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    }
    void WriteFile(const QString& name, const QByteArray& bytes)
    {
        QFile file(folder_.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    std::unique_ptr<ScriptedUi> ui_;
    QTemporaryDir folder_;
};

// --- Objects ------------------------------------------------------------------------------

// What a script keeps is bounded by its memory limit (here the smallest, 1 MiB): each way of
// keeping memory ends with EOutOfMemory, which the script catches; what it frees or drops
// again does not count.
TEST_F(ClassLibrary, ScriptMemoryIsBoundedByWhatTheScriptHolds)
{
    struct Case {
        const char* name;
        const char* body; // runs in a loop that a catch ends
        bool runsOut;
    };
    const Case cases[] = {
        {"objects kept", "l := TStringList.Create;", true},
        {"texts kept in an array", "a[i mod 1000] := s + IntToStr(i);", true},
        {"lines kept in a list", "k.Add(s + IntToStr(i));", true},
        {"arrays kept in an array", "a[i mod 1000] := VarArrayCreate([0, 1000], varVariant);", true},
        {"bytes in a stream", "m.Write(s, Length(s));", true},
        {"a text appended to in place", "t := t + s;", true},
        {"objects freed", "begin l := TStringList.Create; l.Add(s + 'x'); l.Free; end;", false},
        {"texts dropped", "t := s + IntToStr(i);", false},
        {"arrays dropped", "v := VarArrayCreate([0, 1000], varVariant);", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString source =
            QStringLiteral("var a: array[0..999] of Variant; i, j: Integer; s, t: String; v: Variant;\n"
                           "  l, k: TStringList; m: TMemoryStream;\n"
                           "begin\n  s := 'x';\n  for j := 1 to 12 do s := s + s;\n"
                           "  k := TStringList.Create;\n  m := TMemoryStream.Create;\n"
                           "  try\n    for i := 1 to 20000 do %1\n    ShowMessage('done');\n"
                           "  except\n    ShowMessage(ExceptionClassName);\n  end;\nend.")
                .arg(QString::fromUtf8(c.body));
        const std::string output =
            Run(source, {}, [](TscScript& script) { script.SetMemoryLimit(kScriptMemoryMinimumLimit); });
        EXPECT_EQ(output, c.runsOut ? "EOutOfMemory" : "done");
    }
}

TEST_F(ClassLibrary, ScriptMemoryLimitIsSettableAndGrantsTheHandlerRoom)
{
    // Caught, the error leaves room for its handler; freeing what was kept makes room for more,
    // and keeping on without freeing raises again.
    const QString source =
        QStringLiteral("var l: TStringList; n, i: Integer;\n"
                       "begin\n  l := TStringList.Create;\n  try\n"
                       "    while True do l.Add(IntToStr(n) + 'abcdefghijklmnopqrstuvwxyz');\n"
                       "  except\n    ShowMessage(ExceptionClassName + ' ' + ExceptionMessage);\n  end;\n"
                       "  n := l.Count;\n  l.Clear;\n  for i := 1 to n do l.Add(IntToStr(i));\n"
                       "  ShowMessage('again');\n"
                       "  while True do l.Add(IntToStr(i) + 'abcdefghijklmnopqrstuvwxyz');\nend.");
    const std::string output = Run(source, {}, [](TscScript& script) {
        EXPECT_EQ(script.MemoryLimit(), kScriptMemoryDefaultLimit);
        script.SetMemoryLimit(1);
        EXPECT_EQ(script.MemoryLimit(), kScriptMemoryMinimumLimit);
        script.SetMemoryLimit(int64_t{4} << 20);
    });
    EXPECT_EQ(output, "EOutOfMemory Out of memory\nagain\nEOutOfMemory: Out of memory");
}

TEST_F(ClassLibrary, AFreedObjectIsAScriptErrorNotACrash)
{
    EXPECT_EQ(Run("var sl: TStringList;\n"
                  "begin sl := TStringList.Create; sl.Free; sl.Add('x'); end."),
              "EAccessViolation: Object was destroyed");
    EXPECT_EQ(Run("var sl: TStringList;\n"
                  "begin sl := nil; sl.Add('x'); end."),
              "EAccessViolation: Object reference is nil");
    EXPECT_EQ(Run("var sl: TStringList; v: Variant;\n"
                  "begin v := 123456; sl := v; sl.Add('x'); end."),
              "EAccessViolation: Invalid object reference");
    // Free of nil does nothing, as in Pascal.
    EXPECT_EQ(Run("var sl: TStringList;\n"
                  "begin sl := nil; sl.Free; ShowMessage('ok'); end."),
              "ok");
}

TEST_F(ClassLibrary, AnObjectOfAnotherClassIsAnInvalidCast)
{
    EXPECT_EQ(Run("var sl: TStringList; v: Variant;\n"
                  "begin v := TList.Create; sl := v; sl.Add('x'); end."),
              "EInvalidCast: Invalid class typecast");
    EXPECT_EQ(Run("var o: TObject; n: Integer;\n"
                  "begin o := TMemoryStream.Create; n := TStringList(o).Count; end."),
              "EInvalidCast: Invalid class typecast");
    // Members of TObject and TPersistent take any object.
    EXPECT_EQ(Run("var o: TObject;\n"
                  "begin o := TMemoryStream.Create; ShowMessage(o.ClassName); end."),
              "TMemoryStream");
}

TEST_F(ClassLibrary, ObjectsTheScriptDidNotCreateCannotBeFreed)
{
    ScriptStringList host;
    EXPECT_EQ(Run("begin Host.Add('a'); Host.Free; end.", {},
                  [&host](TscScript& script) { script.AddObject(QStringLiteral("Host"), &host); }),
              "EInvalidPointer: Invalid pointer operation");
    EXPECT_EQ(host.Count(), 1);
}

TEST_F(ClassLibrary, ObjectsLeftByTheScriptGoWithIt)
{
    const size_t before = ObjectHandles::LiveCount();
    EXPECT_EQ(Run("var a, b: TStringList; c: TComponent;\n"
                  "begin a := TStringList.Create; b := TStringList.Create; c := TComponent.Create(nil);\n"
                  "  TComponent.Create(c); TMemoryStream.Create; ShowMessage('left'); end."),
              "left");
    EXPECT_EQ(ObjectHandles::LiveCount(), before);
}

TEST_F(ClassLibrary, ComponentsGoWithTheirOwner)
{
    EXPECT_EQ(Run("var owner, owned: TComponent;\n"
                  "begin owner := TComponent.Create(nil); owned := TComponent.Create(owner);\n"
                  "  owned.Name := 'Child'; owned.Tag := 7;\n"
                  "  ShowMessage(owned.Owner.ClassName); ShowMessage(owned.Name + IntToStr(owned.Tag));\n"
                  "  owner.Free; ShowMessage(owned.Tag); end."),
              "TComponent\nChild7\nEAccessViolation: Object was destroyed");
    EXPECT_EQ(Run("var a, b: TComponent;\n"
                  "begin a := TComponent.Create(nil); b := TComponent.Create(a); b.Free; ShowMessage(a.ClassName);\n"
                  "  TComponent.Create(b); end."),
              "TComponent\nEAccessViolation: Object was destroyed");
}

TEST_F(ClassLibrary, AssignCopiesWhatFitsAndRefusesTheRest)
{
    EXPECT_EQ(Run("var a, b: TStringList;\n"
                  "begin a := TStringList.Create; b := TStringList.Create; a.CommaText := 'x,y';\n"
                  "  b.Assign(a); ShowMessage(b.CommaText); b.Assign(TComponent.Create(nil)); end."),
              "x,y\nEConvertError: Cannot assign a TComponent to a TStringList");
}

TEST_F(ClassLibrary, StringListObjectsAreReferences)
{
    EXPECT_EQ(Run("var a, b: TStringList;\n"
                  "begin a := TStringList.Create; b := TStringList.Create; b.Add('inner');\n"
                  "  a.AddObject('x', b); ShowMessage(TStringList(a.Objects[0])[0]);\n"
                  "  ShowMessage(a.IndexOfObject(b)); b.Free; ShowMessage(TStringList(a.Objects[0]).Count); end."),
              "inner\n0\nEAccessViolation: Object was destroyed");
}

TEST_F(ClassLibrary, FindOnAListThatIsNotSortedSearchesLineByLine)
{
    // A bisection of the unsorted list c, a, b would miss "c".
    EXPECT_EQ(Run("var sl: TStringList; i: Integer;\n"
                  "begin sl := TStringList.Create; sl.CommaText := 'c,a,b';\n"
                  "  ShowMessage(sl.Find('c', i)); ShowMessage(i); ShowMessage(sl.Find('z', i)); ShowMessage(i); end."),
              "True\n0\nFalse\n3");
}

// --- Streams and XML ------------------------------------------------------------------------

TEST_F(ClassLibrary, StreamsCopyAndSeekWith64BitPositions)
{
    EXPECT_EQ(Run("var a, b: TMemoryStream; s: string;\n"
                  "begin a := TMemoryStream.Create; b := TMemoryStream.Create; a.Write('hello', 5);\n"
                  "  ShowMessage(b.CopyFrom(a, 0)); b.Position := 1; b.Read(s, 3); ShowMessage(s);\n"
                  "  ShowMessage(VarType(b.Size)); b.Position := 5000000000; ShowMessage(b.Position);\n"
                  "  ShowMessage(b.Read(s, 10)); ShowMessage(Length(s)); a.Position := 4; b.Position := 0; b.CopyFrom(a, 3); end."),
              "5\nell\n20\n5000000000\n0\n0\nEReadError: Stream read error");
    // A character that is no byte cannot be written.
    EXPECT_EQ(Run("var m: TMemoryStream;\n"
                  "begin m := TMemoryStream.Create; ShowMessage(m.Write('ab', 10)); m.Write(Chr(1000), 1); end."),
              "2\nERangeError: Range check error");
}

TEST_F(ClassLibrary, XmlDocumentsRoundTripThroughAStream)
{
    EXPECT_EQ(Run("var d, e: TscXMLDocument; it: TscXMLItem; m: TMemoryStream;\n"
                  "begin d := TscXMLDocument.Create; d.Root.Name := 'report'; it := d.Root.Add; it.Name := 'item';\n"
                  "  it.Prop['text'] := 'a \"b\" & <c>'; it.Data := 42; m := TMemoryStream.Create;\n"
                  "  d.SaveToStream(m); m.Position := 0; e := TscXMLDocument.Create; e.LoadFromStream(m);\n"
                  "  ShowMessage(e.Root.Count); ShowMessage(e.Root[0].Prop['text']); ShowMessage(e.Root.Find('ITEM'));\n"
                  "  ShowMessage(it.Data); ShowMessage(it.Parent.Name); d.Root.Clear; ShowMessage(it.Name); end."),
              "1\na \"b\" & <c>\n0\n42\nreport\nEAccessViolation: Object was destroyed");
    // An item the script created may join a tree once, never the tree it is the root of.
    EXPECT_EQ(Run("var a, b: TscXMLItem;\n"
                  "begin a := TscXMLItem.Create; b := TscXMLItem.Create; a.AddItem(b); ShowMessage(a.Count);\n"
                  "  b.AddItem(a); end."),
              "1\nEInvalidOperation: The item belongs to another tree");
}

// --- Ini files and the file-access policy -------------------------------------------------

TEST_F(ClassLibrary, IniFilesRoundTripInAnAllowedFolder)
{
    WriteFile(QStringLiteral("hand.ini"), "; written by hand\n[Quoted]\nKey = \"quoted value\"\nother= ' x ' \n");
    const std::string out = RunInFolder(
        "var ini: TIniFile; mem: TMemIniFile; sl: TStringList;\n"
        "begin\n"
        "  ini := TIniFile.Create('DIR/t.ini');\n"
        "  sl := TStringList.Create;\n"
        "  sl.Add('one'); sl.Add('two, three'); sl.Add('');\n"
        "  ini.WriteTStrings('List', sl);\n"
        "  sl.Clear; sl.Add('stays');\n"
        "  ShowMessage('[' + ini.ReadTStrings('List', sl, False) + ']');\n"
        "  ShowMessage(sl.Count); ShowMessage(sl[2]);\n"
        "  ini.WriteString('Values', 'a', '1'); ini.WriteInteger('values', 'B', 2);\n"
        "  ini.ReadSectionValuesEx('Values', sl); ShowMessage(sl.CommaText);\n"
        "  ini.WriteBool('Flags', 'on', True); ini.WriteBool('Flags', 'off', False);\n"
        "  ShowMessage(ini.ReadBool('Flags', 'on', False)); ShowMessage(ini.ReadBool('Flags', 'off', True));\n"
        "  ShowMessage(ini.ReadBool('Flags', 'missing', True)); ShowMessage(ini.ReadInteger('Flags', 'ON', 5));\n"
        "  ini.WriteFloat('N', 'f', 2.5); ShowMessage(ini.ReadFloat('N', 'f', 0) * 2);\n"
        "  ShowMessage(ini.ReadFloat('N', 'bad', 1.25)); ShowMessage(ini.SectionExists('n'));\n"
        "  ShowMessage(ini.ValueExists('N', 'g')); ShowMessage(ini.FileName = 'DIR/t.ini');\n"
        "  mem := TMemIniFile.Create('DIR/hand.ini');\n"
        "  ShowMessage(mem.ReadString('quoted', 'KEY', '-')); ShowMessage('[' + mem.ReadString('Quoted', 'other', '-') + ']');\n"
        "  mem.ReadSections(sl); ShowMessage(sl.CommaText);\n"
        "  mem.WriteString('Quoted', 'Key', 'changed in memory only');\n"
        "end.");
    EXPECT_EQ(out,
              "[]\n4\ntwo, three\n1,2\nTrue\nFalse\nTrue\n1\n5\n1.25\nTrue\nFalse\nTrue\nquoted value\n[ x ]\nQuoted");
    EXPECT_EQ(FileBytes(QStringLiteral("t.ini")),
              "[List]\r\nItems0=one\r\nItems1=two, three\r\nItems2=\r\nCount=3\r\n\r\n[Values]\r\na=1\r\nB=2\r\n\r\n"
              "[Flags]\r\non=1\r\noff=0\r\n\r\n[N]\r\nf=2.5\r\n");
    EXPECT_EQ(FileBytes(QStringLiteral("hand.ini")),
              "; written by hand\n[Quoted]\nKey = \"quoted value\"\nother= ' x ' \n");
}

TEST_F(ClassLibrary, IniTextsKeepCommentsAndRefuseWhatWouldNotReadBack)
{
    WriteFile(QStringLiteral("keep.ini"), "; top\r\n[A]\r\n; about x\r\nx=1\r\n\r\n[B]\r\ny=2\r\n");
    EXPECT_EQ(RunInFolder("var ini: TIniFile;\n"
                          "begin ini := TIniFile.Create('DIR/keep.ini'); ini.WriteString('a', 'X', '3');\n"
                          "  ini.WriteString('A', 'z', '4'); ini.DeleteKey('B', 'y'); ini.EraseSection('missing');\n"
                          "  ini.WriteString('A', 'bad', 'two' + #13#10 + '[lines]'); end."),
              "EIniFileException: Cannot write [A] bad: a value must be one line");
    EXPECT_EQ(FileBytes(QStringLiteral("keep.ini")), "; top\r\n[A]\r\n; about x\r\nX=3\r\nz=4\r\n\r\n[B]\r\n");
}

TEST_F(ClassLibrary, IniStreamsAndBinaryValues)
{
    EXPECT_EQ(RunInFolder("var ini: TIniFile; mem: TMemIniFile; m: TMemoryStream; s: string;\n"
                          "begin ini := TIniFile.Create('DIR/b.ini'); m := TMemoryStream.Create;\n"
                          "  m.Write(#0#1#255, 3); m.Position := 1; ini.WriteBinaryStream('S', 'bin', m);\n"
                          "  m.Clear; ShowMessage(ini.ReadBinaryStream('S', 'bin', m)); m.Position := 0;\n"
                          "  m.Read(s, 5); ShowMessage(Ord(s[2]));\n"
                          "  m.Clear; ini.SaveIniFileToStream(m); m.Position := 0;\n"
                          "  mem := TMemIniFile.Create(''); mem.LoadIniFileFromStream(m);\n"
                          "  ShowMessage(mem.ReadString('s', 'BIN', '')); ini.SaveIniFileToStream(nil); end."),
              "2\n255\n01FF");
}

struct PolicyCase {
    const char* name;
    const char* statement; // DIR stands for an allowed folder, OUT for one that is not
    bool allowFolder;
    const char* expected;
};

void PrintTo(const PolicyCase& c, std::ostream* os)
{
    *os << c.name;
}

class FilePolicy : public ClassLibrary, public ::testing::WithParamInterface<PolicyCase> {};

TEST_P(FilePolicy, EveryMemberThatTouchesAFileAsksFirst)
{
    QTemporaryDir out;
    QFile secret(out.filePath(QStringLiteral("secret")));
    ASSERT_TRUE(secret.open(QIODevice::WriteOnly));
    secret.write("secret\n");
    secret.close();
    ASSERT_EQ(::symlink(secret.fileName().toLocal8Bit().constData(),
                        folder_.filePath(QStringLiteral("link")).toLocal8Bit().constData()),
              0);
    WriteFile(QStringLiteral("in.txt"), "inside\n");
    QString statement = QString::fromUtf8(GetParam().statement);
    statement.replace(QStringLiteral("DIR"), folder_.path()).replace(QStringLiteral("OUT"), out.path());
    const QString source = QStringLiteral("var sl: TStringList; f: TFileStream; m: TMemoryStream; i: TIniFile;\n"
                                          "begin sl := TStringList.Create; m := TMemoryStream.Create;\n%1\n"
                                          "ShowMessage('done'); end.")
                               .arg(statement);
    std::string result = Run(source, {}, [&](TscScript& script) {
        if (GetParam().allowFolder)
            script.FileAccess().AllowFolder(folder_.path());
    });
    QString expected = QString::fromUtf8(GetParam().expected);
    expected.replace(QStringLiteral("DIR"), folder_.path()).replace(QStringLiteral("OUT"), out.path());
    EXPECT_EQ(result, expected.toStdString());
    EXPECT_EQ(secret.open(QIODevice::ReadOnly) ? secret.readAll() : QByteArray(), "secret\n");
}

INSTANTIATE_TEST_SUITE_P(
    Members, FilePolicy,
    ::testing::Values(
        PolicyCase{"ReadWithoutAllowedFolders", "sl.LoadFromFile('DIR/in.txt');", false,
                   "EFOpenError: Unable to open file \"DIR/in.txt\": file access is not allowed"},
        PolicyCase{"WriteWithoutAllowedFolders", "f := TFileStream.Create('DIR/in.txt', fmOpenWrite);", false,
                   "EFOpenError: Unable to open file \"DIR/in.txt\": file access is not allowed"},
        PolicyCase{"CreateWithoutAllowedFolders", "f := TFileStream.Create('DIR/x', fmCreate);", false,
                   "EFCreateError: Unable to create file \"DIR/x\": file access is not allowed"},
        PolicyCase{"IniWithoutAllowedFolders", "i := TIniFile.Create('DIR/a.ini'); i.ReadString('a', 'b', '');",
                   false, "EFOpenError: Unable to open file \"DIR/a.ini\": file access is not allowed"},
        PolicyCase{"ReadInside", "sl.LoadFromFile('DIR/in.txt'); ShowMessage(sl[0]);", true, "inside\ndone"},
        PolicyCase{"CreateInside", "f := TFileStream.Create('DIR/new', fmCreate); ShowMessage(f.Size);", true,
                   "0\ndone"},
        PolicyCase{"ReadOutside", "m.LoadFromFile('OUT/secret');", true,
                   "EFOpenError: Unable to open file \"OUT/secret\": file access is not allowed"},
        PolicyCase{"OverwriteOutside", "sl.SaveToFile('OUT/secret');", true,
                   "EFCreateError: Unable to create file \"OUT/secret\": file access is not allowed"},
        PolicyCase{"DotDotOut", "f := TFileStream.Create('DIR/../x', fmCreate);", true,
                   "EFCreateError: Unable to create file \"DIR/../x\": file access is not allowed"},
        PolicyCase{"LinkOutOfTheFolder", "sl.LoadFromFile('DIR/link');", true,
                   "EFOpenError: Unable to open file \"DIR/link\": file access is not allowed"},
        PolicyCase{"WriteThroughLinkOut", "f := TFileStream.Create('DIR/link', fmOpenReadWrite);", true,
                   "EFOpenError: Unable to open file \"DIR/link\": file access is not allowed"},
        PolicyCase{"RealFailureCarriesTheReason", "f := TFileStream.Create('DIR/missing', fmOpenRead);", true,
                   "EFOpenError: Unable to open file \"DIR/missing\": No such file or directory"},
        PolicyCase{"IniWriteOutside", "i := TIniFile.Create('OUT/secret'); i.WriteString('a', 'b', 'c');", true,
                   "EFCreateError: Unable to create file \"OUT/secret\": file access is not allowed"}),
    [](const ::testing::TestParamInfo<PolicyCase>& info) { return std::string(info.param.name); });

// --- Dialogs and prompts through the user-interface service ---------------------------------

TEST_F(ClassLibrary, MessageDlgPassesTheButtonMaskAndAnswersTheModalResult)
{
    EXPECT_EQ(Run("begin ShowMessage(MessageDlg('Sure?', mtConfirmation, [mbYes, mbNo], 0)); end.", {"mrYes"}),
              "6");
    ASSERT_EQ(ui_->Prompts.size(), 2u);
    EXPECT_EQ(ui_->Prompts[0].Kind, "MessageDlg");
    EXPECT_EQ(ui_->Prompts[0].Text, "Sure?");
    EXPECT_EQ(ui_->Prompts[0].Type, 3);
    EXPECT_EQ(ui_->Prompts[0].Buttons, 3u);
    EXPECT_EQ(Run("begin ShowMessage(MessageDlg('x', mtError, [mbOK, mbCancel, mbAbort], 0)); end.", {"2"}), "2");
    EXPECT_EQ(ui_->Prompts[0].Buttons, 4u + 8u + 16u);
}

TEST_F(ClassLibrary, InputQueryWritesItsTextBackOnlyWhenConfirmed)
{
    EXPECT_EQ(Run("var s: string;\n"
                  "begin s := 'old'; ShowMessage(InputQuery('Title', 'Name', s)); ShowMessage(s);\n"
                  "  ShowMessage(InputQuery('Title', 'Name', s)); ShowMessage(s);\n"
                  "  ShowMessage(InputBox('T', 'P', 'default')); ShowMessage(InputBox('T', 'P', 'default')); end.",
                  {"ok hello world", "cancel", "ok typed", "cancel"}),
              "True\nhello world\nFalse\nhello world\ntyped\ndefault");
    EXPECT_EQ(ui_->Prompts[0].Caption, "Title");
    EXPECT_EQ(ui_->Prompts[0].Text, "Name");
}

TEST_F(ClassLibrary, APromptWithoutAnAnswerNamesItself)
{
    EXPECT_EQ(Run("var s: string; begin ShowMessage(MessageDlg('One', mtWarning, [mbOK], 0));\n"
                  "  InputQuery('Title', 'Your name', s); end.",
                  {"mrOk"}),
              "1\nException: No answer left for InputQuery \"Your name\"");
    EXPECT_EQ(Run("begin MessageDlg('Sure?', mtConfirmation, [mbYes, mbNo], 0); end.", {"ok"}),
              "Exception: Answer \"ok\" does not fit MessageDlg \"Sure?\"");
}

TEST_F(ClassLibrary, CommonDialogsKeepTheirPropertiesAndAskTheService)
{
    EXPECT_EQ(Run("var o: TOpenDialog; c: TColorDialog;\n"
                  "begin o := TOpenDialog.Create(nil); o.Filter := 'Text|*.txt|All|*.txt;*.log';\n"
                  "  o.Options := [ofAllowMultiSelect, ofFileMustExist]; o.Title := 'Pick';\n"
                  "  ShowMessage(o.Execute); ShowMessage(o.FileName); ShowMessage(o.Files.Count);\n"
                  "  ShowMessage(o.Execute); ShowMessage(o.FileName);\n"
                  "  c := TColorDialog.Create(nil); ShowMessage(c.Execute); ShowMessage(c.Color); end.",
                  {"ok /data/a.txt", "cancel", "ok clRed"}),
              "True\n/data/a.txt\n1\nFalse\n/data/a.txt\nTrue\n255");
    EXPECT_EQ(ui_->Prompts[0].Kind, "OpenDialog");
    EXPECT_EQ(ui_->Prompts[0].Caption, "Pick");
    EXPECT_EQ(ui_->Prompts[0].Text, "Text (*.txt);;All (*.txt *.log)");
}

TEST(QtFileFilters, TurnThePascalFormIntoQts)
{
    EXPECT_EQ(QtFileFilter(QStringLiteral("Text|*.txt")), "Text (*.txt)");
    EXPECT_EQ(QtFileFilter(QStringLiteral("Text files (*.txt)|*.txt|All|*.*")), "Text files (*.txt);;All (*.*)");
    EXPECT_EQ(QtFileFilter(QStringLiteral("Pictures|*.bmp;*.png")), "Pictures (*.bmp *.png)");
    EXPECT_EQ(QtFileFilter(QString()), "");
}

} // namespace
