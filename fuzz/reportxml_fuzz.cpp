// The report XML reader on arbitrary bytes, loaded whole and with partial loading. A document
// it accepts must save, load and save again to the same bytes (indented or not); the partial
// load must save the same bytes while its elements are out of memory, after LoadItem on every
// one of them, and after they are unloaded into the temporary file again. The attribute texts
// read go through the escaping helpers, which must undo each other.

#include "FuzzTarget.h"

#include "report/model/rpXML.h"

#include <QBuffer>

#include <memory>

namespace {

QByteArray Save(TrpXMLDocument& document, bool autoIndent)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    document.SetAutoIndent(autoIndent);
    document.SaveToStream(buffer);
    return buffer.data();
}

void LoadEverything(TrpXMLDocument& document, TrpXMLItem* item)
{
    document.LoadItem(item);
    for (int i = 0; i < item->Count(); ++i)
        LoadEverything(document, item->Items(i));
}

// Innermost first, so that unloading an element also writes out ones unloaded before.
void UnloadEverything(TrpXMLDocument& document, TrpXMLItem* item)
{
    for (int i = 0; i < item->Count(); ++i)
        UnloadEverything(document, item->Items(i));
    document.UnloadItem(item);
}

void CheckTexts(const TrpXMLItem& item)
{
    const QString& text = item.Text();
    if (!text.contains(u"&quot;"))
        daxfuzz::Require(UnescapeXMLText(EscapeXMLText(text)) == text, "unescaping undoes escaping");
    try {
        UnescapeXMLText(text);
    } catch (const platform::Exception&) {
        // A numeric reference that is no character: the conversion error, as promised.
    }
    TrpXMLItem copy;
    copy.SetText(text);
    copy.SetProp(u"Fz", text);
    if (!text.contains(u"&quot;"))
        daxfuzz::Require(copy.Prop(u"Fz") == text, "an attribute reads back as it was set");
    for (int i = 0; i < item.Count(); ++i)
        CheckTexts(*item.Items(i));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return daxfuzz::RunDecoder([&] {
        const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
        TrpXMLDocument whole;
        {
            QBuffer stream;
            stream.setData(input);
            stream.open(QIODevice::ReadOnly);
            whole.LoadFromStream(stream);
        }
        QByteArray reference;
        for (const bool indent : {false, true}) {
            const QByteArray saved = Save(whole, indent);
            TrpXMLDocument again;
            QBuffer stream;
            stream.setData(saved);
            stream.open(QIODevice::ReadOnly);
            try {
                again.LoadFromStream(stream);
            } catch (const platform::Exception&) {
                daxfuzz::Require(false, "a saved document loads");
            }
            daxfuzz::Require(Save(again, indent) == saved, "a saved document saves again to the same bytes");
            if (!indent)
                reference = saved;
        }

        TrpXMLDocument partial;
        try {
            auto stream = std::make_unique<QBuffer>();
            stream->setData(input);
            stream->open(QIODevice::ReadOnly);
            partial.LoadFromStream(std::move(stream), true);
        } catch (const platform::Exception&) {
            daxfuzz::Require(false, "what loads whole loads partially");
        }
        daxfuzz::Require(Save(partial, false) == reference, "unloaded elements are saved as loaded ones");
        LoadEverything(partial, partial.Root());
        daxfuzz::Require(Save(partial, false) == reference, "elements brought back are saved as loaded ones");
        UnloadEverything(partial, partial.Root());
        daxfuzz::Require(Save(partial, false) == reference, "elements in the temporary file are saved as loaded ones");

        CheckTexts(*whole.Root());
    });
}
