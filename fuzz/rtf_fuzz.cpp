// The RTF reader on arbitrary bytes: the tree, the font and colour tables and the operations
// the RTF export uses on a rich-text cell (find the first "\pard", regroup the rest, remove
// every "\pard", renumber fonts and colours, write back). What the reader writes must read
// back to a tree that writes the same text again.

#include "FuzzTarget.h"

#include "report/export/rpGML.h"

#include <memory>

namespace {

QByteArray Written(const TGmlRtf& rtf)
{
    QByteArray out;
    rtf.Serialize(out);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return daxfuzz::RunDecoder([&] {
        TGmlRtf rtf(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
        for (int i = 0; i < rtf.FontsCount(); ++i) {
            rtf.Font(i)->Name();
            rtf.Font(i)->Charset();
            rtf.Font(i)->Index();
        }
        for (int i = 0; i < rtf.ColorsCount(); ++i)
            rtf.Color(i)->Serialize();

        const QByteArray once = Written(rtf);
        daxfuzz::Require(once.size() <= static_cast<qsizetype>(size) * 2 + 2, "writing back never more than doubles the text");
        TGmlRtf again(once);
        const QByteArray twice = Written(again);
        TGmlRtf third(twice);
        daxfuzz::Require(Written(third) == twice, "the text written reads back to a tree that writes it again");

        TGmlNode* pard = rtf.Root()->Find("pard");
        if (pard == nullptr || pard->Parent() == nullptr)
            return;
        TGmlNode* parent = pard->Parent();
        const int first = pard->SelfSubIndex();
        for (TGmlNode* node : rtf.Root()->FindAll("pard"))
            node->Remove(true);
        for (TGmlNode* node : rtf.Root()->FindAll("f", 1000))
            if (auto* control = dynamic_cast<TGmlRtfControl*>(node); control != nullptr && control->HasValue())
                control->SetValue(control->Value() / 2);
        auto group = std::make_unique<TGmlRtfGroup>(&rtf);
        if (first < parent->NodesCount())
            for (TGmlNode* node : parent->Select(first, -1))
                group->AddNode(node);
        QByteArray cell;
        group->Serialize(cell);
        daxfuzz::Require(cell.startsWith('{') && cell.endsWith('}'), "a regrouped cell is one group");
    });
}
