// The main window's file commands on real widgets: opening a data file (with the auto-request
// question, its failures and its refusal during a read all), saving one, and saving a
// configuration file, down to replaying that file into a fresh simulated instrument.
#include "app/DaxFrame.h"
#include "app/DaxReadAllFrame.h"
#include "app/DaxWriteAllFrame.h"
#include "app/MainFrame.h"

#include "AppTestSupport.h"
#include "DataFile.h"
#include "DemoState.h"
#include "FakePrompts.h"
#include "LambdaAlgorithm.h"
#include "Servers.h"
#include "Simulator.h"

#include "comm/Crc16.h"
#include "comm/TcpChanel.h"
#include "controls/GoodTable.h"
#include "device/Daxhelper.h"
#include "device/Texts.h"
#include "platform/ByteOrder.h"
#include "platform/Exceptions.h"
#include "platform/Files.h"
#include "presentation/ControlPort.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <fstream>
#include <optional>
#include <thread>

namespace {

// The demo's hour records: every hour from 1 May 2024 00:00 to 14 June 09:00.
constexpr int32_t kDemoHours = 1066;

using apptest::Child;
using apptest::ConsoleLines;
using apptest::GroupShown;
using apptest::Shown;
using apptest::WaitFor;
using testsupport::FakePrompts;

const QString kQuestion = QString::fromUtf8("При включенном режиме автозапроса\r\nзагруженные данные могут быть "
                                            "искажены.\r\n\r\nОтключить режим автозапроса ?");

// What a window shows: every bound control, then every caption and cell of every grid.
std::vector<Shown> Everything(TDax_Frame& frame)
{
    std::vector<Shown> shown = GroupShown(frame, -1);
    for (const TGoodTable* grid : frame.findChildren<TGoodTable*>()) {
        const std::string name = grid->objectName().toStdString();
        for (int32_t col = 0; col < grid->GetColCount(); ++col)
            shown.push_back({name + " caption", grid->GetCaptions(col), col, {}, {}});
        for (int32_t row = 0; row < grid->GetRowCount(); ++row)
            for (int32_t col = 0; col < grid->GetColCount(); ++col)
                shown.push_back({name, grid->GetCells(row, col), static_cast<int32_t>(grid->GetCellsTextColor(row, col)),
                                 {}, {}});
    }
    return shown;
}

// A failure of the system as the console shows it: its message, a line a line.
std::vector<std::string> SystemErrorLines(int error)
{
    std::vector<std::string> lines;
    for (const QString& line : QString::fromUtf8(win_error(error).what()).split(QStringLiteral("\r\n")))
        lines.push_back(line.toStdString());
    return lines;
}

std::vector<uint8_t> FileBytes(const QString& path)
{
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(platform::ReadFileBytes(QFile::encodeName(path).toStdString(), size_t{1} << 30, bytes));
    return bytes;
}

// A main window over test prompts, with files in a folder of its own.
class FileCommands : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        form = std::make_unique<TMainForm>();
        form->SetPrompts(&prompts);
    }

    QString Path(const QString& name) const { return QDir(folder.path()).filePath(name); }

    // A data file of an instrument, as the configurator saves it after reading everything.
    QString InstrumentFile(const QString& name, daxsim::InstrumentState state = daxsim::DemoState(daxsim::Model::Dax01))
    {
        daxsim::Instrument instrument(std::move(state), 1);
        daxsim::SaveInstrumentDataFile(instrument, QFile::encodeName(Path(name)).toStdString());
        return Path(name);
    }

    void Open(const QString& path)
    {
        prompts.openName = path;
        Child<QAction>(*form, "FileOpen")->trigger();
    }

    QAction& AutoRequest() { return *Child<QAction>(*form, "AutoRequestAction"); }

    std::vector<std::string> Lines() const
    {
        std::vector<std::string> lines;
        for (const QString& line : ConsoleLines(*form))
            lines.push_back(line.toStdString());
        return lines;
    }

    // The folder's file names.
    QStringList Files() const { return QDir(folder.path()).entryList(QDir::Files | QDir::Hidden); }

    QTemporaryDir folder{QDir(qEnvironmentVariable("DAXCONFIG_HOME", QDir::tempPath())).filePath("files-XXXXXX")};
    FakePrompts prompts;
    std::unique_ptr<TMainForm> form;
};

TEST_F(FileCommands, TheFileActionsAreThereAndAsk)
{
    for (const char* name : {"FileOpen", "FileSaveAs", "SaveConfigurationAction"})
        EXPECT_TRUE(Child<QAction>(*form, name)->isEnabled()) << name;
    Open(QString());
    Child<QAction>(*form, "FileSaveAs")->trigger();
    Child<QAction>(*form, "SaveConfigurationAction")->trigger();
    EXPECT_EQ(prompts.filters, (std::vector<QString>{QStringLiteral("Файл данных (*.daxdat);;Все файлы (*)"),
                                                     QStringLiteral("Файл данных (*.daxdat);;Все файлы (*)"),
                                                     QStringLiteral("Файл конфигурации (*.zivaze);;Все файлы (*)")}));
    // Cancelled dialogs: nothing asked, nothing printed, nothing written.
    EXPECT_TRUE(prompts.questions.empty());
    EXPECT_EQ(prompts.modalRuns, 0);
    EXPECT_TRUE(Lines().empty());
    EXPECT_TRUE(Files().isEmpty());
}

// The file dialogs start in the folder of the file last chosen, kept across runs, and in the
// user's home before any was chosen or when that folder is gone.
TEST_F(FileCommands, TheDialogsStartInTheFolderLastUsed)
{
    const auto triggerAll = [this] {
        Child<QAction>(*form, "FileOpen")->trigger();
        Child<QAction>(*form, "FileSaveAs")->trigger();
        Child<QAction>(*form, "SaveConfigurationAction")->trigger();
    };
    prompts.openName.clear();
    triggerAll();
    EXPECT_EQ(prompts.folders, std::vector<QString>(3, QDir::homePath()));

    const QString file = InstrumentFile(QStringLiteral("chosen.daxdat"));
    prompts.answer = false;
    Open(file);
    prompts.openName.clear();
    prompts.folders.clear();
    triggerAll();
    const QString chosenFolder = QFileInfo(file).absolutePath();
    EXPECT_EQ(prompts.folders, std::vector<QString>(3, chosenFolder));

    form = std::make_unique<TMainForm>();
    form->SetPrompts(&prompts);
    prompts.folders.clear();
    triggerAll();
    EXPECT_EQ(prompts.folders, std::vector<QString>(3, chosenFolder)) << "kept in the settings";

    ASSERT_TRUE(QDir(chosenFolder).removeRecursively());
    prompts.folders.clear();
    triggerAll();
    EXPECT_EQ(prompts.folders, std::vector<QString>(3, QDir::homePath()));
}

TEST_F(FileCommands, AMissingFilePrintsOnlyItsError)
{
    ASSERT_TRUE(AutoRequest().isChecked());
    Open(Path("missing.daxdat"));
    EXPECT_TRUE(prompts.questions.empty());
    EXPECT_EQ(Lines(), SystemErrorLines(ENOENT));
    EXPECT_TRUE(AutoRequest().isChecked());
}

TEST_F(FileCommands, OpeningWithAutoRequestOnAndNoKeepsItOn)
{
    const QString path = InstrumentFile("demo.daxdat");
    prompts.answer = false;
    Open(path);
    ASSERT_EQ(prompts.questions.size(), 1u);
    EXPECT_EQ(prompts.questions[0].caption, QStringLiteral("Внимание"));
    EXPECT_EQ(prompts.questions[0].text, kQuestion);
    EXPECT_EQ(Lines(), std::vector<std::string>{"Файл " + path.toStdString() + " загружен"});
    EXPECT_TRUE(AutoRequest().isChecked());
    EXPECT_TRUE(form->Frame()->AutoRequestFlag());
    EXPECT_EQ(Child<QLineEdit>(*form->Frame(), "Model")->text(), QStringLiteral("Dax-01"));
    EXPECT_EQ(form->Frame()->ArchiveGrid(0, 0)->GetRowCount(), kDemoHours);
}

TEST_F(FileCommands, OpeningWithYesSwitchesAutoRequestOff)
{
    const QString path = InstrumentFile("demo.daxdat");
    prompts.answer = true;
    Open(path);
    ASSERT_EQ(prompts.questions.size(), 1u);
    EXPECT_FALSE(AutoRequest().isChecked());
    EXPECT_FALSE(form->Frame()->AutoRequestFlag());
    EXPECT_EQ(form->AutoRequestImageIndex(), 3);
    EXPECT_EQ(Lines(), std::vector<std::string>{"Файл " + path.toStdString() + " загружен"});
    EXPECT_EQ(form->Frame()->ArchiveGrid(0, 0)->GetRowCount(), kDemoHours);

    // With auto request off nothing is asked.
    Open(path);
    EXPECT_EQ(prompts.questions.size(), 1u);
}

TEST_F(FileCommands, ABadFileChangesNothing)
{
    Open(InstrumentFile("demo.daxdat"));
    const std::vector<Shown> before = Everything(*form->Frame());
    const std::vector<std::string> linesBefore = Lines();

    struct Bad {
        const char* name;
        std::string bytes;
        const char* message;
    };
    const std::vector<uint8_t> good = FileBytes(Path("demo.daxdat"));
    std::string wrongLength(good.begin(), good.end());
    wrongLength.push_back('\0');
    const Bad cases[] = {
        {"header.daxdat", "NOT A DATA FILE", dax_namespace::kBadHeaderText},
        {"short.daxdat", "DEV", dax_namespace::kBadHeaderText},
        {"version.daxdat", std::string("DEVDAT\x01\x00", 8), dax_namespace::kBadFileVersionText},
        {"length.daxdat", wrongLength, dax_namespace::kBadDataLengthText},
    };
    size_t line = linesBefore.size();
    for (const Bad& bad : cases) {
        std::ofstream(QFile::encodeName(Path(bad.name)).toStdString(), std::ios::binary) << bad.bytes;
        Open(Path(bad.name));
        const std::vector<std::string> lines = Lines();
        ASSERT_EQ(lines.size(), line + 1) << bad.name;
        EXPECT_EQ(lines.back(), bad.message) << bad.name;
        line = lines.size();
        EXPECT_EQ(Everything(*form->Frame()), before) << bad.name;
    }
}

TEST_F(FileCommands, OpeningIsRefusedWhileAReadAllRuns)
{
    const QString path = InstrumentFile("demo.daxdat");
    std::atomic<bool> release{false};
    ASSERT_NE(form->Pool().Start(std::make_unique<testsupport::LambdaAlgorithm>([&release](ProcessAlgorithm&) {
                                     while (!release)
                                         std::this_thread::sleep_for(std::chrono::milliseconds(1));
                                 }),
                                 TDax_Frame::kReadAllProcess, TDax_Frame::kReadAllId, std::string()),
              nullptr);
    const std::vector<Shown> before = Everything(*form->Frame());
    Open(path);
    form->FileOpenAccept(path);
    EXPECT_TRUE(prompts.filters.empty()); // the file dialog was not even shown
    EXPECT_TRUE(prompts.questions.empty());
    const std::string refused = "Идет считывание параметров: файл данных не открыт";
    EXPECT_EQ(Lines(), (std::vector<std::string>{refused, refused}));
    EXPECT_EQ(Everything(*form->Frame()), before);

    release = true;
    ASSERT_TRUE(WaitFor([this] { return form->Pool().Count() == 0; }));
    Open(path);
    EXPECT_EQ(Lines().back(), "Файл " + path.toStdString() + " загружен");
}

// A data file of an instrument shows exactly what reading everything from it over TCP shows.
TEST_F(FileCommands, LoadingEqualsReadingEverything)
{
    daxsim::Simulator simulator(daxsim::DemoState(daxsim::Model::Dax02), 1);
    daxsim::TcpServer server(simulator, "127.0.0.1", 0);
    server.Start();
    TcpChanelHelper chanel;
    chanel.Params().TcpAddress = "127.0.0.1";
    chanel.Params().TcpPort = server.Port();
    chanel.Params().TcpTimeout = 0;
    chanel.Params().NetAddr = 1;
    chanel.Open(nullptr);
    ASSERT_TRUE(chanel.IsOpen());
    chanel.SetTimeouts(1000, 20, nullptr);

    TDax_Frame reader;
    ProcessPool pool;
    FakePrompts readerPrompts;
    readerPrompts.OnModal = [](QDialog&) { return QDialog::Accepted; };
    TDaxReadAllForm readAllForm;
    TDaxWriteAllForm writeAllForm;
    DisplayOptions options;
    std::vector<std::string> readerLog;
    reader.BuildPageTree();
    reader.SetLogCallback([&readerLog](const std::string& text, TInteractContainer*) { readerLog.push_back(text); });
    reader.SetChannel(&chanel);
    reader.SetPool(&pool);
    reader.SetOptions(&options);
    reader.SetPrompts(&readerPrompts);
    reader.SetChoiceDialogs(&readAllForm, &writeAllForm);
    reader.ReadAll();
    ASSERT_TRUE(WaitFor([&] {
        pool.Poll([&readerLog](const std::string& text) { readerLog.push_back(text); });
        return pool.Count() == 0;
    }));
    EXPECT_TRUE(readerLog.empty()) << readerLog.front();

    prompts.answer = false;
    Open(InstrumentFile("same.daxdat", simulator.Device().State()));
    ASSERT_EQ(Lines().size(), 1u);
    const std::vector<Shown> loaded = Everything(*form->Frame());
    const std::vector<Shown> read = Everything(reader);
    ASSERT_EQ(loaded.size(), read.size());
    EXPECT_GT(loaded.size(), 1000u);
    for (size_t i = 0; i < loaded.size(); ++i)
        EXPECT_EQ(loaded[i], read[i]) << i;
}

TEST_F(FileCommands, SavingProposesTheInstrumentsNameAndOpensAgainTheSame)
{
    prompts.answer = false;
    Open(InstrumentFile("demo.daxdat"));
    Child<QAction>(*form, "FileSaveAs")->trigger();
    ASSERT_EQ(prompts.proposedNames.size(), 1u);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^DAX-0[12]_\\d{5}_\\d{6}_\\d{6}\\.daxdat$"))
                    .match(prompts.proposedNames[0])
                    .hasMatch())
        << prompts.proposedNames[0].toStdString();
    EXPECT_TRUE(prompts.proposedNames[0].startsWith(QStringLiteral("DAX-01_12345_")));

    const QString saved = Path(QStringLiteral("сохранено.daxdat"));
    prompts.saveName = saved;
    Child<QAction>(*form, "FileSaveAs")->trigger();
    EXPECT_EQ(Lines().back(), "Файл " + saved.toStdString() + " сохранен");
    EXPECT_EQ(FileBytes(saved), FileBytes(Path("demo.daxdat")));

    FakePrompts freshPrompts;
    freshPrompts.openName = saved;
    TMainForm fresh;
    fresh.SetPrompts(&freshPrompts);
    Child<QAction>(fresh, "FileOpen")->trigger();
    EXPECT_EQ(Everything(*fresh.Frame()), Everything(*form->Frame()));
}

TEST_F(FileCommands, AFailedSaveLeavesNoFileBehind)
{
    prompts.answer = false;
    Open(InstrumentFile("demo.daxdat"));
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("folder.daxdat")));
    const QStringList filesBefore = Files();

    struct Failing {
        QString name;
        int error;
    };
    const Failing cases[] = {
        {Path(QStringLiteral("no such folder/data.daxdat")), ENOENT},
        {Path(QStringLiteral("folder.daxdat")), EISDIR},
    };
    for (const Failing& failing : cases) {
        prompts.saveName = failing.name;
        Child<QAction>(*form, "FileSaveAs")->trigger();
        const std::vector<std::string> lines = Lines();
        const std::vector<std::string> expected = SystemErrorLines(failing.error);
        ASSERT_GE(lines.size(), expected.size());
        EXPECT_EQ(std::vector<std::string>(lines.end() - static_cast<std::ptrdiff_t>(expected.size()), lines.end()),
                  expected)
            << failing.name.toStdString();
        EXPECT_EQ(Files(), filesBefore) << failing.name.toStdString();
    }
    EXPECT_TRUE(QFileInfo(Path(QStringLiteral("folder.daxdat"))).isDir());
    EXPECT_EQ(QDir(Path(QStringLiteral("folder.daxdat"))).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList());
}

// The configuration file's base name: at most 14 characters of the system's code page, the
// folder not counted, the extension after the last point only.
struct BaseNameCase {
    const char* name;
    QString folder; // below the test's folder
    QString file;
    bool accepted;
};

void PrintTo(const BaseNameCase& c, std::ostream* out)
{
    *out << c.name;
}

class ConfigBaseName : public FileCommands, public testing::WithParamInterface<BaseNameCase> {};

TEST_P(ConfigBaseName, LongNamesAreRefused)
{
    const BaseNameCase& c = GetParam();
    prompts.answer = false;
    Open(InstrumentFile("demo.daxdat"));
    const size_t linesBefore = Lines().size();
    ASSERT_TRUE(c.folder.isEmpty() || QDir(folder.path()).mkpath(c.folder));
    const QString path = QDir(Path(c.folder)).filePath(c.file);
    prompts.saveName = path;
    prompts.OnModal = [](QDialog&) { return QDialog::Accepted; };
    Child<QAction>(*form, "SaveConfigurationAction")->trigger();
    const std::vector<std::string> lines = Lines();
    ASSERT_EQ(lines.size(), linesBefore + 1);
    if (c.accepted) {
        EXPECT_EQ(prompts.modalRuns, 1);
        EXPECT_EQ(lines.back(), "Файл конфигурации " + path.toStdString() + " сохранен");
        EXPECT_TRUE(QFileInfo::exists(path));
    } else {
        EXPECT_EQ(prompts.modalRuns, 0);
        EXPECT_EQ(lines.back(), "Имя файла конфигурации должно иметь длину не более 14 символов");
        EXPECT_FALSE(QFileInfo::exists(path));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Names, ConfigBaseName,
    testing::Values(BaseNameCase{"fourteen", QString(), QStringLiteral("abcdefghijklmn.zivaze"), true},
                    BaseNameCase{"fifteen", QString(), QStringLiteral("abcdefghijklmno.zivaze"), false},
                    BaseNameCase{"long_folder", QStringLiteral("a folder name of forty characters long..."),
                                 QStringLiteral("short.zivaze"), true},
                    BaseNameCase{"fourteen_cyrillic", QString(), QStringLiteral("абвгдежзийклмн.zivaze"), true},
                    BaseNameCase{"fifteen_cyrillic", QString(), QStringLiteral("абвгдежзийклмно.zivaze"), false},
                    BaseNameCase{"inner_point", QString(), QStringLiteral("a.b.zivaze"), true},
                    BaseNameCase{"inner_point_fourteen", QString(), QStringLiteral("abcdefghijkl.n.zivaze"), true},
                    BaseNameCase{"inner_point_fifteen", QString(), QStringLiteral("abcdefghijklm.n.zivaze"), false}),
    [](const testing::TestParamInfo<BaseNameCase>& info) { return std::string(info.param.name); });

TEST_F(FileCommands, ACancelledGroupChoiceCreatesNothing)
{
    prompts.answer = false;
    Open(InstrumentFile("demo.daxdat"));
    const size_t linesBefore = Lines().size();
    prompts.saveName = Path(QStringLiteral("config.zivaze"));
    prompts.OnModal = [](QDialog&) { return QDialog::Rejected; };
    Child<QAction>(*form, "SaveConfigurationAction")->trigger();
    EXPECT_EQ(prompts.modalRuns, 1);
    EXPECT_EQ(prompts.modalDialogs.front(), form->WriteAllForm());
    EXPECT_EQ(Lines().size(), linesBefore);
    EXPECT_FALSE(QFileInfo::exists(prompts.saveName));
}

TEST_F(FileCommands, AnInvalidValueKeepsTheEarlierFile)
{
    prompts.answer = false;
    Open(InstrumentFile("demo.daxdat"));
    const QString path = Path(QStringLiteral("config.zivaze"));
    {
        std::ofstream(QFile::encodeName(path).toStdString(), std::ios::binary) << "an earlier file";
    }
    form->show();
    // The Internet settings page, where the field is.
    auto* tree = Child<QTreeWidget>(*form->Frame(), "SelectTree");
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if ((*it)->data(0, TDax_Frame::kPageIdRole).toInt() == 24)
            tree->setCurrentItem(*it);
    auto* address = Child<QLineEdit>(*form->Frame(), "ServerIpAddress");
    address->clear();
    prompts.saveName = path;
    prompts.OnModal = [](QDialog&) { return QDialog::Accepted; };
    Child<QAction>(*form, "SaveConfigurationAction")->trigger();
    EXPECT_NE(Lines().back().find("IP адрес сервера"), std::string::npos) << Lines().back();
    EXPECT_TRUE(WaitFor([address] { return address->hasFocus(); }));
    const std::vector<uint8_t> bytes = FileBytes(path);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "an earlier file");
    EXPECT_EQ(Files(), (QStringList{QStringLiteral("config.zivaze"), QStringLiteral("demo.daxdat")}));
}

// The default choice written to a file and every frame of it replayed into a fresh instrument:
// the blocks of every group hold what the source's setup image holds.
TEST_F(FileCommands, AConfigurationFileReplaysIntoAFreshInstrument)
{
    prompts.answer = false;
    Open(InstrumentFile("demo.daxdat"));
    const QString path = Path(QStringLiteral("config.zivaze"));
    prompts.saveName = path;
    prompts.OnModal = [](QDialog&) { return QDialog::Accepted; };
    Child<QAction>(*form, "SaveConfigurationAction")->trigger();
    ASSERT_EQ(Lines().back(), "Файл конфигурации " + path.toStdString() + " сохранен");

    const std::vector<uint8_t> file = FileBytes(path);
    ASSERT_GE(file.size(), 8u);
    ASSERT_EQ(std::string(file.begin(), file.begin() + 6), "DEVCFG");
    const size_t entries = file[7];
    size_t frameAt = 8 + 6 * entries;
    daxsim::Instrument fresh(daxsim::FixtureState(daxsim::Model::Dax01), 1);
    for (size_t e = 0; e < entries; ++e) {
        const auto length = platform::ReadLittleEndian<uint16_t>(file, 8 + 6 * e + 2);
        ASSERT_LE(frameAt + length, file.size());
        const std::span<const uint8_t> frame(file.data() + frameAt, length);
        EXPECT_TRUE(daxsim::CrcIsValid(frame)) << e;
        const std::vector<uint8_t> answer = fresh.Answer(frame);
        ASSERT_GE(answer.size(), 2u) << e;
        EXPECT_EQ(answer[1], 0x10) << e;
        frameAt += length;
    }
    EXPECT_EQ(frameAt, file.size());

    const daxsim::InstrumentState replayed = fresh.State();
    DaxHelper& source = form->Frame()->Helper();
    DaxHelperLocker lock(&source);
    size_t blocks = 0;
    for (uint32_t group = 0; group < dax_namespace::kConfigGroupCount; ++group) {
        int32_t first = 0;
        int32_t count = 0;
        for (int32_t b = 0; b < DaxHelper::ConfigGroupBlock(group, b, first, count); ++b, ++blocks) {
            for (int32_t r = first; r < first + count; ++r) {
                const size_t at = 2 * static_cast<size_t>(r - 40001);
                const uint16_t expected = static_cast<uint16_t>(source.HoldingRegisterImage[at] << 8 |
                                                                source.HoldingRegisterImage[at + 1]);
                EXPECT_EQ(replayed.Register(static_cast<uint16_t>(r)), expected) << group << " " << r;
            }
        }
    }
    EXPECT_EQ(blocks, entries);
}

} // namespace
