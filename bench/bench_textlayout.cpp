// Laying out and measuring memo-sized Russian texts, as a device report of a few thousand
// table cells does: each text is set, wrapped at the cell's width (with and without
// hyphenation, with and without inline tags), measured for its height and width, and split
// at a box of three lines.
//   build/bench/bench_textlayout [--benchmark_filter=...]
#include "report/model/rpDrawText.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include <vector>

namespace {

constexpr int kTexts = 3000;

const char16_t* const kWords[] = {
    u"Теплосчётчик", u"измеряет", u"количество", u"тепловой", u"энергии", u"и", u"объём", u"теплоносителя",
    u"в", u"закрытых", u"открытых", u"водяных", u"системах", u"теплоснабжения;", u"архив", u"хранит",
    u"часовые,", u"суточные", u"месячные", u"записи", u"12,5", u"мᶾ/ч", u"95", u"°C", u"Dax-02",
};

// Texts of 3 to 24 words, the same every run.
std::vector<QStringList> MemoTexts(bool tags)
{
    std::vector<QStringList> texts;
    texts.reserve(kTexts);
    unsigned seed = 12345;
    for (int i = 0; i < kTexts; ++i) {
        seed = seed * 1103515245u + 12345u;
        const int words = 3 + static_cast<int>((seed >> 16) % 22);
        QString text;
        for (int w = 0; w < words; ++w) {
            seed = seed * 1103515245u + 12345u;
            const QString word = QString::fromUtf16(kWords[(seed >> 16) % std::size(kWords)]);
            if (w > 0)
                text += u' ';
            text += tags && w % 5 == 1 ? QStringLiteral("<b>") + word + QStringLiteral("</b>") : word;
        }
        texts.push_back({text});
    }
    return texts;
}

void LayOutMemos(benchmark::State& state, bool wordBreak, bool tags)
{
    const std::vector<QStringList> texts = MemoTexts(tags);
    TrpDrawText layout;
    TrpDrawFont font;
    layout.SetFont(font);
    layout.SetOptions(true, tags, false, wordBreak, true, true, 0);
    layout.SetGaps(0, 0, 2);
    const QRectF box(0, 0, 120, 3 * (83 / 6.25 + 2));
    double total = 0;
    for (auto _ : state) {
        for (const QStringList& text : texts) {
            layout.SetDimensions(1, 1, 1, box, box);
            layout.SetText(text);
            total += layout.CalcHeight() + layout.CalcWidth();
            bool paraBreak = false;
            benchmark::DoNotOptimize(layout.GetOutBoundsText(paraBreak));
        }
    }
    benchmark::DoNotOptimize(total);
    state.SetItemsProcessed(state.iterations() * kTexts);
}

void BM_PlainMemos(benchmark::State& state) { LayOutMemos(state, false, false); }
void BM_HyphenatedMemos(benchmark::State& state) { LayOutMemos(state, true, false); }
void BM_TaggedMemos(benchmark::State& state) { LayOutMemos(state, false, true); }

BENCHMARK(BM_PlainMemos)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HyphenatedMemos)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TaggedMemos)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
