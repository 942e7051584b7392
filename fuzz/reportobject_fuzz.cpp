// Report objects from their text: a class name, a blank and an attribute text, as the prepared
// pages keep every printed object (ReadComponentStr), over the test classes of every property
// kind.
//
// Input: one flag byte (bit 0: references left unresolved; bits 1-2: the parent, 0 the band,
// 1 the page, 2 the report, 3 none), then the text in UTF-8. Promises checked: the text of a
// component read from the text of a component is the text it was read from (the first text
// may lose values a file cannot keep, an empty font name for one), and a copy made without
// text (CloneComponent) is what reading the text gives.

#include "FuzzTarget.h"

#include "ReportModelTestClasses.h"

using namespace modeltest;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    daxfuzz::InputReader input(data, size);
    const uint8_t flags = input.Byte();
    const bool dontFixup = flags & 1;
    const auto rest = input.Rest();
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(rest.data()), static_cast<qsizetype>(rest.size()));
    return daxfuzz::RunDecoder([&] {
        TestTree tree;
        auto* target = new TestMemo(tree.Band);
        target->SetName(QStringLiteral("Target"));
        TrpComponent* parents[] = {tree.Band, tree.Page, tree.Report.get(), nullptr};
        TrpComponent* parent = parents[(flags >> 1) & 3];
        TrpXMLSerializer serializer;
        std::unique_ptr<TrpComponent> loose;
        TrpComponent* component = serializer.ReadComponentStr(parent, text, dontFixup);
        if (component == nullptr)
            return;
        if (parent == nullptr)
            loose.reset(component);
        for (const QString& error : serializer.Errors())
            daxfuzz::Require(daxfuzz::IsUtf8(error.toStdString()), "error texts are text");

        // Written as the prepared pages write it, by a serializer of the report.
        TrpXMLSerializer writer;
        writer.SetOwner(tree.Report.get());
        const QString written = writer.WriteComponentStr(component);
        std::vector<std::unique_ptr<TrpComponent>> looseCopies;
        const auto keep = [&](TrpComponent* copy) {
            if (parent == nullptr)
                looseCopies.emplace_back(copy);
            return copy;
        };
        TrpXMLSerializer again;
        TrpComponent* reread = keep(again.ReadComponentStr(parent, written));
        daxfuzz::Require(reread != nullptr, "a written object reads back");
        const QString stable = writer.WriteComponentStr(reread);
        TrpComponent* third = keep(again.ReadComponentStr(parent, stable));
        daxfuzz::Require(writer.WriteComponentStr(third) == stable, "a written object reads back the same");

        TrpXMLSerializer cloner;
        TrpComponent* clone = keep(cloner.CloneComponent(*component, parent));
        daxfuzz::Require(writer.WriteComponentStr(clone) == stable, "a copy is what reading its text gives");
    });
}
