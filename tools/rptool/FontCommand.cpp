#include "FontCommand.h"

#include "platform/Format.h"
#include "report/export/ExportTexts.h"
#include "report/export/rpTrueTypeCollection.h"
#include "report/model/rpStreams.h"

#include <QFile>

#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

namespace {

constexpr int kExitDone = 0;
constexpr int kExitUsage = 1;
constexpr int kExitFileError = 1;
constexpr int kExitBadContent = 2;

void PrintLine(const std::string& text)
{
    std::fprintf(stderr, "%s\n", text.c_str());
}

struct Arguments {
    QString font;
    QString text;
    QString out;
    int index = 0;
};

std::optional<Arguments> Parse(const QStringList& arguments)
{
    Arguments parsed;
    QStringList files;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--index") && i + 1 < arguments.size()) {
            bool ok = false;
            parsed.index = arguments[++i].toInt(&ok);
            if (!ok || parsed.index < 0)
                return std::nullopt;
        } else if (arguments[i].startsWith(QLatin1String("--"))) {
            return std::nullopt;
        } else {
            files.append(arguments[i]);
        }
    }
    if (files.size() != 3)
        return std::nullopt;
    parsed.font = files[0];
    parsed.text = files[1];
    parsed.out = files[2];
    return parsed;
}

} // namespace

int RunTtfSubset(const QStringList& arguments)
{
    const std::optional<Arguments> parsed = Parse(arguments);
    if (!parsed) {
        PrintLine("usage: rptool ttf-subset FONT TEXT OUT [--index N]");
        return kExitUsage;
    }

    // A regular file of at most the largest font taken (a pipe or a device is refused at once).
    QByteArray bytes;
    try {
        const auto limit = static_cast<qint64>(TrueTypeCollection::kMaxFontFileSize);
        const std::unique_ptr<QFile> file = OpenFileForReading(parsed->font, limit);
        bytes = ReadRemainingBytes(*file, limit);
    } catch (const platform::Exception& failure) {
        PrintLine(failure.Message());
        return kExitFileError;
    }

    std::vector<uint8_t> subset;
    try {
        TrueTypeCollection collection;
        collection.Initialize(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                                       static_cast<size_t>(bytes.size())));
        auto& faces = collection.GetFontCollection();
        if (static_cast<size_t>(parsed->index) >= faces.size())
            throw ETrueTypeFont(platform::Format(exporttexts::kFaceIndexOutOfRangeFormat, parsed->index,
                                                 static_cast<int>(faces.size())));
        TrueTypeFont& face = *faces[static_cast<size_t>(parsed->index)];
        face.PrepareFont(TrueTypeCollection::SkippedTables());
        std::vector<int> glyphs;
        for (const char32_t character : parsed->text.toUcs4())
            glyphs.push_back(character <= 0xFFFF ? face.cmap_table->GetGlyphIndex(static_cast<uint16_t>(character)) : 0);
        subset = collection.PackFont(parsed->index, glyphs);
        for (const std::string& warning : collection.Warnings())
            PrintLine(warning);
    } catch (const platform::Exception& refused) {
        PrintLine(refused.Message());
        return kExitBadContent;
    }

    try {
        SaveFileAtomically(parsed->out, [&](QIODevice& out) {
            WriteAllBytes(out, QByteArrayView(reinterpret_cast<const char*>(subset.data()), static_cast<qsizetype>(subset.size())));
        });
    } catch (const platform::Exception& failure) {
        PrintLine(failure.Message());
        return kExitFileError;
    }
    return kExitDone;
}
