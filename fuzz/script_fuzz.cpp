// Script source through the grammar-driven parser into the program tree, and through the
// program builder into the program.
//
// Input: one byte (bits 0-1 the language, bit 2 the expression start rule, bit 3 the whole
// text required), then the source (UTF-8, or Windows-1251 where it is not). Every included
// unit is the same source again, so units nest, repeat and fail too. Promises checked: a
// successful parse gives a program tree ending in its types, whose positions lie in the text
// and whose bracket operators pair up, and which the compiled-code format keeps exactly; a
// failed one says what and where. A parsed program is then compiled (constants run code
// then; a step budget terminates it): a compile either succeeds or says why and leaves
// nothing of itself behind. A parsed expression is evaluated.

#include "FuzzTarget.h"

#include "report/script/sc_iilparser.h"
#include "report/script/sc_iinterpreter_script.h"
#include "report/script/sc_itools.h"

#include <QRegularExpression>

namespace {

const char* const kLanguages[] = {"RireroRidoze", "R++Idirud", "JScript", "ZuvivUradur"};

void CheckTree(const TscILParser& parser)
{
    const TscXMLItem* root = parser.ILScript().Root();
    daxfuzz::Require(root->Name() == QLatin1String("program"), "the tree's root is a program");
    daxfuzz::Require(root->Count() > 0 && root->Items(root->Count() - 1)->Name() == QLatin1String("types"),
                     "the program ends with its types");
    static const QRegularExpression place(QStringLiteral("^[1-9][0-9]*:[1-9][0-9]*$"));
    std::vector<std::pair<const TscXMLItem*, int>> pending{{root, 0}};
    while (!pending.empty()) {
        const auto [item, depth] = pending.back();
        pending.pop_back();
        daxfuzz::Require(depth <= kScMaxNesting + 2 * kScMaxUnitDepth + 4, "the tree is no deeper than the nesting limit");
        if (item->PropExists(QStringLiteral("pos")))
            daxfuzz::Require(place.match(item->Prop(QStringLiteral("pos"))).hasMatch(), "positions are row:col");
        if (item->Name() == QLatin1String("expr") && item->Parent()->Name() != QLatin1String("expr")) {
            // The operators of one expression, nested expressions included, in order.
            int open = 0;
            std::vector<const TscXMLItem*> walk{item};
            while (!walk.empty()) {
                const TscXMLItem* node = walk.back();
                walk.pop_back();
                if (node->Name() == QLatin1String("op")) {
                    const QString text = node->Prop(QStringLiteral("text"));
                    open += text == QLatin1String("(") ? 1 : text == QLatin1String(")") ? -1 : 0;
                    daxfuzz::Require(open >= 0, "no bracket closes before it opens");
                }
                if (node == item || node->Name() == QLatin1String("expr"))
                    for (int i = node->Count() - 1; i >= 0; --i)
                        walk.push_back(node->Items(i));
            }
            daxfuzz::Require(open == 0, "the brackets of an expression pair up");
        }
        for (int i = 0; i < item->Count(); ++i)
            pending.emplace_back(item->Items(i), depth + 1);
    }
    const QByteArray saved = parser.ILScript().SaveToBytes();
    TscXMLDocument again;
    again.LoadFromBytes(saved);
    daxfuzz::Require(again.SaveToBytes() == saved, "the compiled-code format keeps the tree");
}

// Lines a compile or an evaluation may run before it is terminated.
constexpr int kStepBudget = 20000;

void BuildProgram(const char* language, const QString& source, bool expression)
{
    TscScript script;
    script.SyntaxType = QString::fromUtf8(language);
    script.AddRTTI();
    script.OnGetUnit = [&](const QString&, QString& text) { text = source; };
    int steps = 0;
    script.SetOnRunLine([&](TscScript*, const QString&, const QString&) {
        if (++steps == kStepBudget)
            script.Terminate();
    });
    const int before = script.Count();
    if (expression) {
        QString error;
        script.Evaluate(source, &error);
        daxfuzz::Require(script.EvaluteRiseError == !error.isEmpty(), "a failed evaluation says why");
        return;
    }
    script.Lines = source.split(QLatin1Char('\n'));
    if (script.Compile())
        return;
    daxfuzz::Require(!script.ErrorMsg.isEmpty(), "a failed compile says why");
    daxfuzz::Require(script.Count() == before, "a failed compile leaves nothing behind");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool registered = (InitScriptLanguages(), true);
    (void)registered;
    daxfuzz::InputReader input(data, size);
    const uint8_t mode = input.Byte();
    const auto rest = input.Rest();
    const QString source =
        ScriptTextFromBytes(QByteArray(reinterpret_cast<const char*>(rest.data()), static_cast<qsizetype>(rest.size())));
    return daxfuzz::RunDecoder([&] {
        TscILParser parser;
        parser.SetOnGetUnit([&](const QString&, QString& text) { text = source; });
        parser.SelectLanguage(QString::fromUtf8(kLanguages[mode & 3]));
        const bool ok = parser.MakeILScript(source, mode & 4 ? QStringLiteral("expression") : QStringLiteral("program"), mode & 8);
        if (ok) {
            CheckTree(parser);
            BuildProgram(kLanguages[mode & 3], source, (mode & 4) != 0);
        } else {
            daxfuzz::Require(!parser.ErrorMsg().isEmpty(), "a failed parse says why");
            daxfuzz::Require(daxfuzz::IsUtf8(parser.ErrorMsg().toStdString()), "messages are UTF-8");
            static const QRegularExpression place(QStringLiteral("^[1-9][0-9]*:[1-9][0-9]*$"));
            daxfuzz::Require(place.match(parser.ErrorPos()).hasMatch(), "a failed parse says where");
        }
    });
}
