// The font subsetter on arbitrary bytes: the file's faces are read and prepared, and face 0 is
// reduced to glyphs 0 to 9 and the glyphs of "AБ". A subset it makes must be a font of its
// own: no larger than the file, its words adding up to the font checksum, and read back with
// every table checksum right.

#include "FuzzTarget.h"

#include "report/export/rpTrueTypeCollection.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return daxfuzz::RunDecoder([&] {
        TrueTypeCollection collection;
        collection.Initialize(std::span<const uint8_t>(data, size));
        auto& faces = collection.GetFontCollection();
        if (faces.empty()) {
            daxfuzz::Require(collection.PackFont(0, {}).empty(), "a file without faces gives no subset");
            return;
        }
        for (const auto& face : faces) {
            face->PrepareFont(TrueTypeCollection::SkippedTables());
            for (const std::string& warning : face->Warnings())
                daxfuzz::Require(daxfuzz::IsUtf8(warning), "warnings are UTF-8 text");
            face->GetOutlineTextMetrics();
        }
        std::vector<int> glyphs = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
        glyphs.push_back(faces[0]->cmap_table->GetGlyphIndex(u'A'));
        glyphs.push_back(faces[0]->cmap_table->GetGlyphIndex(u'Б'));
        const std::vector<uint8_t> subset = collection.PackFont(0, glyphs);

        daxfuzz::Require(subset.size() <= RoundUp4(size), "the subset never grows beyond the font");
        daxfuzz::Require(CalcTableChecksum(subset) == 0xB1B0AFBA, "the subset's words add up to the font checksum");
        std::vector<uint8_t> copy = subset;
        TrueTypeFont again(copy, ChecksumFaultAction::ThrowException, 0);
        try {
            again.PrepareFont({});
        } catch (const platform::Exception&) {
            daxfuzz::Require(false, "a subset reads back with every checksum right");
        }
    });
}
