#include "rpFontResolver.h"

#include "rpRes.h"

#include "report/core/InputFiles.h"

#include <QByteArray>
#include <QFile>
#include <QGuiApplication>

#include <fontconfig/fontconfig.h>

#include <map>
#include <mutex>
#include <tuple>
#include <utility>
#include <vector>

namespace {

struct FamilyMapping {
    const char* ReportName;
    const char* Family;
    const char* Package; // the Debian package that installs the family
};

const FamilyMapping kFamilyMappings[] = {
    {"Arial", "Liberation Sans", "fonts-liberation2"},
    {"Times New Roman", "Liberation Serif", "fonts-liberation2"},
    {"Courier New", "Liberation Mono", "fonts-liberation2"},
};
const FamilyMapping kOtherNames = {"", "DejaVu Sans", "fonts-dejavu-core"};

const FamilyMapping& MappingOf(QStringView reportFontName)
{
    for (const FamilyMapping& mapping : kFamilyMappings)
        if (reportFontName.compare(QLatin1String(mapping.ReportName), Qt::CaseInsensitive) == 0)
            return mapping;
    return kOtherNames;
}

// Fontconfig's weights: regular faces lie below this, bold ones at or above it.
constexpr int kFcBoldThreshold = (FC_WEIGHT_MEDIUM + FC_WEIGHT_DEMIBOLD) / 2;

// Raw fonts kept per face and size; past this the cache starts over (a hostile report may
// ask for any number of sizes).
constexpr std::size_t kMaxCachedRawFonts = 128;

// Font files larger than this are not read (the largest installed faces are a few megabytes).
constexpr qint64 kMaxFontFileBytes = qint64{256} * 1024 * 1024;

struct Candidate {
    QString File;
    int Index = 0;
    int Weight = FC_WEIGHT_REGULAR;
    int Slant = FC_SLANT_ROMAN;
    int Version = 0;
};

// Every scalable face fontconfig knows whose family list holds `family`, of normal width.
std::vector<Candidate> ListFaces(const QString& family)
{
    std::vector<Candidate> faces;
    const QByteArray familyUtf8 = family.toUtf8();
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(familyUtf8.constData()));
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcObjectSet* objects =
        FcObjectSetBuild(FC_FILE, FC_INDEX, FC_WEIGHT, FC_SLANT, FC_WIDTH, FC_FONTVERSION, static_cast<char*>(nullptr));
    FcFontSet* set = FcFontList(nullptr, pattern, objects);
    if (set != nullptr) {
        for (int i = 0; i < set->nfont; ++i) {
            FcPattern* font = set->fonts[i];
            FcChar8* file = nullptr;
            if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch)
                continue;
            int width = FC_WIDTH_NORMAL;
            FcPatternGetInteger(font, FC_WIDTH, 0, &width);
            if (width != FC_WIDTH_NORMAL)
                continue; // "DejaVu Sans Condensed" lists "DejaVu Sans" as a family too
            Candidate candidate;
            candidate.File = QString::fromUtf8(reinterpret_cast<const char*>(file));
            FcPatternGetInteger(font, FC_INDEX, 0, &candidate.Index);
            FcPatternGetInteger(font, FC_WEIGHT, 0, &candidate.Weight);
            FcPatternGetInteger(font, FC_SLANT, 0, &candidate.Slant);
            FcPatternGetInteger(font, FC_FONTVERSION, 0, &candidate.Version);
            faces.push_back(std::move(candidate));
        }
        FcFontSetDestroy(set);
    }
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return faces;
}

// The best face for the style: the right slant and weight class, the weight nearest the
// style's own, then the newest revision, then the file name (so the choice never depends on
// the order fontconfig lists files in).
const Candidate* ChooseFace(const std::vector<Candidate>& faces, bool bold, bool italic)
{
    const int wantedWeight = bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR;
    const Candidate* best = nullptr;
    auto rank = [&](const Candidate& c) {
        return std::make_tuple(-std::abs(c.Weight - wantedWeight), c.Version, c.File);
    };
    for (const Candidate& face : faces) {
        if ((face.Slant != FC_SLANT_ROMAN) != italic)
            continue;
        if ((face.Weight >= kFcBoldThreshold) != bold)
            continue;
        if (best == nullptr || rank(face) > rank(*best))
            best = &face;
    }
    return best;
}

const char* StyleText(bool bold, bool italic)
{
    if (bold && italic)
        return "bold italic";
    if (bold)
        return "bold";
    if (italic)
        return "italic";
    return "regular";
}

// A model text with its arguments filled in, as the exception's UTF-8 message.
template <typename... Arguments>
std::string Text(QStringView name, const Arguments&... arguments)
{
    return ResourceText(name, {Variant(QString(arguments))...}).toStdString();
}

void RequireGuiApplication()
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
        throw EFontNotInstalled(Text(u"fnNeedsGuiApplication"));
}

struct State {
    std::mutex Lock;
    std::map<std::tuple<QString, bool, bool>, TrpFontFace> Faces;
    std::map<QString, QByteArray> FileData;                 // font files read, by name
    std::map<std::pair<QString, int>, QRawFont> RawFonts;   // by file and pixel size
};

State& GlobalState()
{
    static State* state = new State; // outlives every static object that might still draw
    return *state;
}

// The file's data, read once; checks that it holds the family the face claims.
const QByteArray& FileDataOf(State& state, const TrpFontFace& face)
{
    auto found = state.FileData.find(face.FileName);
    if (found != state.FileData.end())
        return found->second;
    QByteArray data;
    QString reason;
    if (!ReadInputFile(face.FileName, kMaxFontFileBytes, data, reason))
        throw EFontNotInstalled(Text(u"fnFileUnreadable", face.FileName, reason));
    const QRawFont probe(data, 12, QFont::PreferNoHinting);
    if (!probe.isValid())
        throw EFontNotInstalled(Text(u"fnFileUnusable", face.FileName));
    if (probe.familyName() != face.Family)
        throw EFontNotInstalled(Text(u"fnFamilyMismatch", face.FileName, probe.familyName(), face.Family));
    return state.FileData.emplace(face.FileName, std::move(data)).first->second;
}

} // namespace

QString ReportFontFamily(QStringView reportFontName)
{
    return QString::fromLatin1(MappingOf(reportFontName).Family);
}

TrpFontFace ResolveReportFont(QStringView reportFontName, bool bold, bool italic)
{
    const FamilyMapping& mapping = MappingOf(reportFontName);
    const QString family = QString::fromLatin1(mapping.Family);
    State& state = GlobalState();
    std::lock_guard guard(state.Lock);
    const auto key = std::make_tuple(family, bold, italic);
    if (auto found = state.Faces.find(key); found != state.Faces.end())
        return found->second;

    const std::vector<Candidate> faces = ListFaces(family);
    const Candidate* chosen = ChooseFace(faces, bold, italic);
    if (chosen == nullptr)
        throw EFontNotInstalled(Text(u"fnNotInstalled", QString::fromLatin1(mapping.Family),
                                     QString::fromLatin1(StyleText(bold, italic)), reportFontName.toString(),
                                     QString::fromLatin1(mapping.Package)));
    TrpFontFace face;
    face.Family = family;
    face.Weight = static_cast<int>(FcWeightToOpenTypeDouble(chosen->Weight) + 0.5);
    face.Italic = italic;
    face.FileName = chosen->File;
    face.FaceIndex = chosen->Index;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr)
        FileDataOf(state, face);
    state.Faces.emplace(key, face);
    return face;
}

QRawFont ReportRawFont(const TrpFontFace& face, int pixelSize)
{
    RequireGuiApplication();
    State& state = GlobalState();
    std::lock_guard guard(state.Lock);
    const auto key = std::make_pair(face.FileName, pixelSize);
    if (auto found = state.RawFonts.find(key); found != state.RawFonts.end())
        return found->second;
    const QByteArray& data = FileDataOf(state, face);
    QRawFont font(data, pixelSize, QFont::PreferNoHinting);
    if (!font.isValid())
        throw EFontNotInstalled(Text(u"fnFileUnusable", face.FileName));
    if (state.RawFonts.size() >= kMaxCachedRawFonts)
        state.RawFonts.clear();
    state.RawFonts.emplace(key, font);
    return font;
}

QByteArray ReportFontData(const TrpFontFace& face)
{
    RequireGuiApplication();
    State& state = GlobalState();
    std::lock_guard guard(state.Lock);
    return FileDataOf(state, face);
}

bool FaceCoversCyrillic(const TrpFontFace& face)
{
    const QRawFont font = ReportRawFont(face, 12);
    for (char16_t letter = u'А'; letter <= u'я'; ++letter)
        if (!font.supportsCharacter(QChar(letter)))
            return false;
    return font.supportsCharacter(QChar(u'Ё')) && font.supportsCharacter(QChar(u'ё'));
}
