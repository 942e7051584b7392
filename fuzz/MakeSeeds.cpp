// dax-fuzz-seeds <corpus folder>: writes the generated seeds of the decoder fuzzers (valid
// answers, data files, relay streams, requests, journal records, images, grammars, program
// trees, script sources and prepared reports) into
// <corpus folder>/<target>/, one file per seed. The answers and data files come from the
// simulated instrument, so every seed is an input the decoders accept.

#include "DataFile.h"
#include "PreparedPagesBuilder.h"
#include "Instrument.h"
#include "ScriptedChanel.h"
#include "comm/GprsProtocol.h"
#include "device/Daxcore.h"
#include "device/Daxhelper.h"
#include "platform/Exceptions.h"
#include "platform/Files.h"
#include "report/script/sc_iilparser.h"
#include "report/script/sc_itools.h"

#include <QFile>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

class NoPauses : public platform::Pacer {
public:
    void Pause(std::chrono::milliseconds) override {}
};

void Write(const std::filesystem::path& folder, const std::string& target, const std::string& name, const Bytes& bytes)
{
    std::filesystem::create_directories(folder / target);
    platform::WriteFileAtomically((folder / target / name).string(), bytes);
}

Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

// The instrument's answer to the request DaxHelper sends for one operation.
Bytes AnswerOf(daxsim::Instrument& instrument, const std::function<void(DaxHelper&)>& operation)
{
    testsupport::ScriptedChanel chanel;
    chanel.SetAddress(instrument.Address());
    Bytes answer;
    chanel.SetResponder([&](const Bytes& request) {
        answer = instrument.Answer(request);
        return testsupport::ScriptedReply::Answer(answer);
    });
    NoPauses pacer;
    DaxHelper helper;
    helper.SetPacer(&pacer);
    helper.SetLogCallback([](const std::string&, TInteractContainer*) {});
    helper.SetChannel(&chanel);
    operation(helper);
    return answer;
}

// A state with one record in every ring, for a small data file.
daxsim::InstrumentState SmallState()
{
    daxsim::InstrumentState state = daxsim::FixtureState(daxsim::Model::Dax02);
    for (auto& ring : state.Rings) {
        const Bytes record = ring.Slots[ring.First];
        ring.Highest = 2;
        ring.First = 0;
        ring.Next = 1;
        ring.Slots.assign(3, Bytes(record.size(), 0xFF));
        ring.Slots[0] = record;
    }
    state.StoreRingPointers();
    return state;
}

void AnswerSeeds(const std::filesystem::path& folder)
{
    daxsim::Instrument instrument(daxsim::FixtureState(daxsim::Model::Dax01), 1);
    Write(folder, "answer", "check_read", Join({{0}, AnswerOf(instrument, [](DaxHelper& h) { h.ReadRegisters(30001, 1, nullptr, 1); })}));
    Write(folder, "answer", "read_input_2", Join({{1, 1, 0}, AnswerOf(instrument, [](DaxHelper& h) { h.ReadRegisters(30001, 2, nullptr, 1); })}));
    Write(folder, "answer", "read_holding_8", Join({{1, 7, 1}, AnswerOf(instrument, [](DaxHelper& h) { h.ReadRegisters(40001, 8, nullptr, 1); })}));
    Write(folder, "answer", "read_exception", Join({{1, 1, 0}, testsupport::WithCrc({1, 0x84, 0x02})}));
    Write(folder, "answer", "write_3", Join({{2, 2, 0}, AnswerOf(instrument, [](DaxHelper& h) { h.WriteRegisters(40001, 3, nullptr, 1); })}));
    Write(folder, "answer", "identify", Join({{3, 0, 0}, AnswerOf(instrument, [](DaxHelper& h) { h.Identify(nullptr, 1); })}));
    for (const auto& [type, count] : {std::pair<uint8_t, uint8_t>{0, 1}, {5, 16}, {6, 3}}) {
        const Bytes answer = AnswerOf(instrument, [type = type, count = count](DaxHelper& h) {
            uint16_t start = 0;
            uint8_t asked = count;
            h.ReadArchivePage(type, 0, start, asked, nullptr, 1);
        });
        Write(folder, "answer", "page_type" + std::to_string(type), Join({{4, type, count}, answer}));
    }
}

void DataFileSeeds(const std::filesystem::path& folder)
{
    daxsim::Instrument full(daxsim::FixtureState(daxsim::Model::Dax01), 1);
    daxsim::Instrument small(SmallState(), 1);
    DaxHelper unidentified;
    const Bytes files[] = {daxsim::DataFileBytesOfInstrument(full), daxsim::DataFileBytesOfInstrument(small),
                           unidentified.DataFileBytes()};
    const char* names[] = {"fixture_dax01", "one_record_each_dax02", "images_only"};
    for (size_t i = 0; i < 3; ++i) {
        Write(folder, "datafile", names[i], files[i]);
        if (i < 2) // the simulator refuses a file without identification
            Write(folder, "simstate", names[i], files[i]);
    }
}

void RelaySeeds(const std::filesystem::path& folder)
{
    const Bytes frame = testsupport::WithCrc({0, 0x04, 0x00, 0x00, 0x00, 0x02});
    const auto status = gprs::BuildStatusPacket(8, 0x01, 0x02);
    Write(folder, "relay", "data_status_noise",
          Join({{5}, gprs::BuildDataPacket(7, frame), Bytes(status.begin(), status.end()), {0x50, 0x01, 0x99},
                gprs::BuildDataPacket(0xFFFF, {})}));
    Bytes records = {27};
    for (const char* id : {"DAX0001", "Прибор-16-байт!!"}) {
        Bytes record(gprs::kDeviceRecordSize, 0x11);
        const auto field = gprs::DeviceIdField(id);
        std::copy(field.begin(), field.end(), record.begin() + 10);
        records.insert(records.end(), record.begin(), record.end());
    }
    Write(folder, "relay", "device_records", records);
}

void RequestSeeds(const std::filesystem::path& folder)
{
    const Bytes requests = Join({
        testsupport::WithCrc({1, 0x04, 0x00, 0x00, 0x00, 0x7F}),
        testsupport::WithCrc({1, 0x03, 0x00, 0x10, 0x00, 0x02}),
        testsupport::WithCrc({0, 0x10, 0x00, 0x00, 0x00, 0x02, 0x04, 1, 2, 3, 4}),
        testsupport::WithCrc({1, 0x11}),
        testsupport::WithCrc({1, 0x41, 0x00, 0x00, 0x0C, 0x00, 0x01}),
        testsupport::WithCrc({1, 0x41, 0x05, 0x01, 0x00, 0x00, 0x10}),
    });
    Write(folder, "simrequest", "every_function", Join({{7}, requests}));
    Write(folder, "simrequest", "unknown_function", Join({{0}, testsupport::WithCrc({1, 0x2B, 0x0E, 0x01, 0x00})}));
}

void JournalSeeds(const std::filesystem::path& folder)
{
    const Bytes stamp = {24, 5, 17, 10, 20, 30};
    const auto record = [&](uint16_t code, Bytes values) {
        return Join({stamp, {static_cast<uint8_t>(code & 0xFF), static_cast<uint8_t>(code >> 8)}, values});
    };
    Write(folder, "journal", "notstaff_channel", Join({{0, 0, 0}, record(2, {0x05, 0, 0, 0, 0x82, 0, 0, 0})}));
    Write(folder, "journal", "notstaff_hardware", Join({{0, 0, 0}, record(8, {0xFF, 0x3F, 0, 0, 0, 0, 0, 0})}));
    Write(folder, "journal", "operator_scheme", Join({{0, 0, 0}, record(0x2000 | 128, {0x11, 0, 0, 0, 0x22, 0, 0, 0})}));
    Write(folder, "journal", "operator_float", Join({{1, 1, 1}, record(0x8000 | 279, {0, 0, 0x80, 0x3F, 0, 0, 0, 0x40})}));
    Write(folder, "journal", "operator_datetime", Join({{0, 0, 0}, record(0x9000 | 1, {24, 6, 1, 12, 0, 0, 0, 0})}));
    Write(folder, "journal", "operator_duration", Join({{0, 0, 1}, record(0x6000 | 553, {0xA0, 0x05, 0, 0, 0, 0, 0, 0})}));
    Write(folder, "journal", "empty_page", Join({{0, 0, 0}, Bytes(16, 0xFF)}));
}

void SchemeSeeds(const std::filesystem::path& folder)
{
    const daxsim::InstrumentState state = daxsim::FixtureState(daxsim::Model::Dax01);
    Write(folder, "scheme", "fixture_ts1", Join({{0}, state.InputImage, state.HoldingImage}));
    Write(folder, "scheme", "fixture_ts2", Join({{1}, state.InputImage, state.HoldingImage}));
    Write(folder, "scheme", "short_images", Join({{0x80}, Bytes(100, 0)}));
}

} // namespace

Bytes BytesOf(const QByteArray& bytes)
{
    return Bytes(bytes.begin(), bytes.end());
}

// The script samples of the tests with the first byte of the script target (the language)
// in front, the grammars and the samples' program trees for the XML reader.
void ScriptSeeds(const std::filesystem::path& folder)
{
    InitScriptLanguages();
    const char* languages[] = {"RireroRidoze", "R++Idirud", "JScript", "ZuvivUradur"};
    const char* extensions[] = {"pas", "cpp", "js", "vb"};
    for (uint8_t language = 0; language < 4; ++language) {
        const QString name = QString::fromLatin1(languages[language]);
        const QByteArray grammar = GetLanguageGrammar(name).toUtf8();
        Write(folder, "scriptxml", std::string("grammar-") + extensions[language], Join({{0}, BytesOf(grammar)}));

        auto sample = [&](const QString& file) {
            QFile source(QStringLiteral(DAX_SCRIPT_SAMPLES "/") + file);
            if (!source.open(QIODevice::ReadOnly))
                throw platform::Exception("cannot read the sample " + file.toStdString());
            return source.readAll();
        };
        const QByteArray text = sample(QStringLiteral("report.") + QString::fromLatin1(extensions[language]));
        Write(folder, "script", std::string("report-") + extensions[language], Join({{language}, BytesOf(text)}));
        Write(folder, "script", std::string("expression-") + extensions[language],
              Join({{static_cast<uint8_t>(language | 12)}, BytesOf("a + b * (c - 1) <= <Data.\"X\">")}));

        TscILParser parser;
        parser.SetOnGetUnit([&](const QString& unit, QString& unitText) { unitText = ScriptTextFromBytes(sample(unit)); });
        parser.SelectLanguage(name);
        if (!parser.MakeILScript(ScriptTextFromBytes(text)))
            throw platform::Exception("the sample in " + name.toStdString() + " does not parse");
        parser.ILScript().SetAutoIndent(language % 2 == 0);
        // Small texts at the edges: a syntax error, a unit of its own, a language line.
        const char* edges[] = {"begin if x x", "uses 'u', 'v'; { x = a || b && c; }",
                               "#language ZuvivUradur\r\nFor i = 1 To 3\r\n  x = i\r\nNext i\r\n", "'It''s'#13#10\"\\x41\"/*",
                               "((((((((((1))))))))))"};
        for (size_t e = 0; e < std::size(edges); ++e)
            Write(folder, "script", std::string("edge-") + extensions[language] + "-" + std::to_string(e),
                  Join({{language}, BytesOf(edges[e])}));
        Write(folder, "scriptxml", std::string("tree-") + extensions[language],
              Join({{language}, BytesOf(parser.ILScript().SaveToBytes())}));
    }
}

// The program trees of the script cases, as compiled code for the loader.
void CompiledCodeSeeds(const std::filesystem::path& folder)
{
    InitScriptLanguages();
    const struct {
        const char* extension;
        const char* language;
        uint8_t code;
    } languages[] = {{"pas", "RireroRidoze", 0}, {"cpp", "R++Idirud", 1}, {"js", "JScript", 2}, {"vb", "ZuvivUradur", 3}};
    for (const auto& entry : std::filesystem::directory_iterator(DAX_SCRIPT_CASES)) {
        const std::string extension = entry.path().extension().string();
        for (const auto& language : languages) {
            if (extension != std::string(".") + language.extension)
                continue;
            QFile source(QString::fromStdString(entry.path().string()));
            if (!source.open(QIODevice::ReadOnly))
                throw platform::Exception("cannot read " + entry.path().string());
            TscILParser parser;
            parser.SelectLanguage(QString::fromLatin1(language.language));
            if (!parser.MakeILScript(ScriptTextFromBytes(source.readAll())))
                throw platform::Exception(entry.path().string() + " does not parse");
            Write(folder, "scriptil", entry.path().stem().string() + "-" + language.extension,
                  Join({{language.code}, BytesOf(parser.ILScript().SaveToBytes())}));
        }
    }
}

// Prepared reports as the store saves them: the tests' two-page report, one with a page stored
// whole, one of five pages (some marked for partial loading), and an empty one.
void PreparedReportSeeds(const std::filesystem::path& folder)
{
    {
        enginetest::PreparedReport prepared = enginetest::BuildTwoPageStore();
        Write(folder, "preparedreport", "two-pages", BytesOf(enginetest::SaveStore(prepared.Store())));
        TrpPreviewPages& store = prepared.Store();
        store.ModifyPage(1, store.GetPage(1));
        Write(folder, "preparedreport", "whole-page", BytesOf(enginetest::SaveStore(store)));
    }
    {
        enginetest::PreparedReport prepared;
        TrpReport& report = prepared.Report();
        enginetest::BuildTwoPageTemplate(report);
        auto* page = dynamic_cast<TrpReportPage*>(report.FindObject(u"Page1"));
        auto* rows = dynamic_cast<TrpBand*>(report.FindObject(u"MasterData1"));
        TrpPreviewPages& store = prepared.Store();
        store.AddSourcePage(page);
        store.BeginPass();
        store.AddPageAction = apAdd;
        for (int i = 0; i < 5; ++i) {
            store.AddPage(page);
            enginetest::PrintBand(store, *rows, 0);
        }
        store.Finish();
        Write(folder, "preparedreport", "five-pages", BytesOf(enginetest::SaveStore(store)));
    }
    enginetest::PreparedReport empty;
    Write(folder, "preparedreport", "empty", BytesOf(enginetest::SaveStore(empty.Store())));
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: dax-fuzz-seeds <corpus folder>\n");
        return 2;
    }
    try {
        const std::filesystem::path folder(argv[1]);
        AnswerSeeds(folder);
        DataFileSeeds(folder);
        RelaySeeds(folder);
        RequestSeeds(folder);
        JournalSeeds(folder);
        SchemeSeeds(folder);
        ScriptSeeds(folder);
        CompiledCodeSeeds(folder);
        PreparedReportSeeds(folder);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "dax-fuzz-seeds: %s\n", failure.what());
        return 1;
    }
    return 0;
}
