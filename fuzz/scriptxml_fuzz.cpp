// The script engine's XML reader (grammars, compiled code, the XML classes scripts use).
//
// Input: one flag byte (bit 0: lenient load), then the document. Promises checked: a strict
// load leaves the stream behind the '>' of the last tag used; every attribute value either reads or fails with
// our own error; a loaded tree is written and read back to the same bytes, unless a raw
// attribute text begins or ends with a blank or ends with a slash (the reader drops one
// trailing blank of a tag and takes a final slash for a self-closing tag, so such raw texts
// do not survive; texts made by SetProp never look like that).

#include "FuzzTarget.h"

#include "report/script/sc_xml.h"

#include <QBuffer>

namespace {

// No raw text that the reader would read back differently.
bool Plain(const TscXMLItem* root)
{
    std::vector<const TscXMLItem*> pending{root};
    while (!pending.empty()) {
        const TscXMLItem* item = pending.back();
        pending.pop_back();
        const QString& text = item->Text();
        if (text.startsWith(QLatin1Char(' ')) || text.endsWith(QLatin1Char(' ')) || text.endsWith(QLatin1Char('/')))
            return false;
        for (int i = 0; i < item->Count(); ++i)
            pending.push_back(item->Items(i));
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    daxfuzz::InputReader input(data, size);
    const bool lenient = input.Byte() & 1;
    const auto rest = input.Rest();
    QByteArray bytes(reinterpret_cast<const char*>(rest.data()), static_cast<qsizetype>(rest.size()));
    return daxfuzz::RunDecoder([&] {
        TscXMLDocument document;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        try {
            document.LoadFromStream(buffer, lenient);
        } catch (const platform::Exception&) {
            daxfuzz::Require(buffer.pos() <= bytes.size(), "the stream stays inside its data");
            throw;
        }
        // A strict load ends with the root's last '>'; a lenient or empty one may have read on
        // to the end of the data looking for more.
        if (!lenient && !document.Root()->Name().isEmpty())
            daxfuzz::Require(buffer.pos() > 0 && bytes[buffer.pos() - 1] == '>', "the stream is left behind a '>'");
        daxfuzz::Require(buffer.pos() <= bytes.size(), "the stream stays inside its data");

        std::vector<const TscXMLItem*> pending{document.Root()};
        while (!pending.empty()) {
            const TscXMLItem* item = pending.back();
            pending.pop_back();
            for (const QString& name : {QStringLiteral("text"), QStringLiteral("pos"), item->Text().section(QLatin1Char('='), 0, 0)}) {
                try {
                    (void)item->Prop(name);
                } catch (const platform::Exception&) {
                }
            }
            for (int i = 0; i < item->Count(); ++i)
                pending.push_back(item->Items(i));
        }

        if (document.Root()->Name().isEmpty())
            return;
        for (const bool indent : {false, true}) {
            document.SetAutoIndent(indent);
            const QByteArray saved = document.SaveToBytes();
            TscXMLDocument again;
            again.SetAutoIndent(indent);
            again.LoadFromBytes(saved, lenient);
            if (Plain(document.Root()))
                daxfuzz::Require(again.SaveToBytes() == saved, "a written tree reads back the same");
        }
    });
}
