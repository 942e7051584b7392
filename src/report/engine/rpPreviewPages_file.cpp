// Prepared-report files (".zp3"): the store's document with the report's preview settings,
// the source pages, the dictionary and the pictures added. A file is read into a document of
// its own and checked whole; the store changes only when everything in it is sound.

#include "rpPreviewPages.h"

#include "rpPreviewPages_internal.h"

#include "report/core/PropertyRegistry.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpRes.h"
#include "report/model/rpStreams.h"
#include "report/model/rpXML.h"
#include "report/model/rpXMLSerializer.h"

#include <QFile>

#include <optional>

using previewpages::IsIntProp;

namespace {

constexpr char16_t kDotMatrix[] = u"DotMatrixReport";
constexpr char16_t kOutlineVisible[] = u"PreviewOptions.OutlineVisible";
constexpr char16_t kOutlineWidth[] = u"PreviewOptions.OutlineWidth";
constexpr char16_t kReportName[] = u"ReportOptions.Name";

QString FlagText(bool value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

// A child of the root by name, none when the file has none.
TrpXMLItem* FindChild(TrpXMLItem* root, QStringView name)
{
    const int index = root->Find(name);
    return index >= 0 ? root->Items(index) : nullptr;
}

// What a file says of the report: applied only once the whole file is sound.
struct ReportSettings {
    std::optional<bool> DotMatrix;
    std::optional<bool> OutlineVisible;
    std::optional<int32_t> OutlineWidth;
    std::optional<QString> Name;
};

std::optional<bool> FlagOf(const TrpXMLItem* item, QStringView name)
{
    if (!item->PropExists(name))
        return std::nullopt;
    const QString text = item->Prop(name);
    if (text == u"1" || text.compare(u"True", Qt::CaseInsensitive) == 0)
        return true;
    if (text == u"0" || text.compare(u"False", Qt::CaseInsensitive) == 0)
        return false;
    throw TrpInvalidXMLException();
}

ReportSettings ReadReportSettings(TrpXMLItem* element)
{
    ReportSettings settings;
    if (element == nullptr || element->Count() == 0)
        return settings;
    // Only these four: a prepared report never changes what the report itself runs.
    const TrpXMLItem* item = element->Items(0);
    settings.DotMatrix = FlagOf(item, kDotMatrix);
    settings.OutlineVisible = FlagOf(item, kOutlineVisible);
    if (item->PropExists(kOutlineWidth)) {
        const int32_t width = previewpages::IntProp(item, kOutlineWidth, -1);
        if (!IsIntProp(item, kOutlineWidth, false) || width < 0 || width > kMaxOutlineWidth)
            throw TrpInvalidXMLException();
        settings.OutlineWidth = width;
    }
    if (item->PropExists(kReportName))
        settings.Name = item->Prop(kReportName);
    return settings;
}

// "Page<N>.<Name>" with N a source page of the file and Name a component name.
bool ParseSourceName(const QString& value, size_t sourcePages, size_t& pageIndex, QString& objectName)
{
    if (!value.startsWith(u"Page"))
        return false;
    const qsizetype dot = value.indexOf(u'.');
    if (dot <= 4 || dot - 4 > 9)
        return false;
    size_t index = 0;
    for (const QChar c : QStringView(value).sliced(4, dot - 4)) {
        if (c < u'0' || c > u'9')
            return false;
        index = index * 10 + (c.unicode() - u'0');
    }
    objectName = value.mid(dot + 1);
    if (index >= sourcePages || !IsValidIdent(objectName))
        return false;
    pageIndex = index;
    return true;
}

// Every entry of the outline below `item` carries numbers (or nothing) in "page" and "top".
void CheckOutline(const TrpXMLItem* item)
{
    for (int i = 0; i < item->Count(); ++i) {
        const TrpXMLItem* entry = item->Items(i);
        if (!IsIntProp(entry, u"page", true) || !IsIntProp(entry, u"top", true))
            throw TrpInvalidXMLException();
        CheckOutline(entry);
    }
}

} // namespace

// --- saving ------------------------------------------------------------------------------------

void TrpPreviewPages::SaveToStream(QIODevice& stream)
{
    pagesItem_ = RootItem(QStringLiteral("previewpages"));
    TrpXMLItem* reportItem = RootItem(QStringLiteral("report"));
    TrpXMLItem* sourceItem = RootItem(QStringLiteral("sourcepages"));
    TrpXMLItem* dictionaryItem = RootItem(QStringLiteral("dictionary"));
    TrpXMLItem* pictureItem = RootItem(QStringLiteral("picturecache"));
    // The added parts are made for each save and dropped after it: the store keeps them live.
    struct DropAfterSaving {
        TrpXMLItem* a;
        TrpXMLItem* b;
        TrpXMLItem* c;
        ~DropAfterSaving()
        {
            a->Clear();
            b->Clear();
            c->Clear();
        }
    } drop{sourceItem, dictionaryItem, pictureItem};

    reportItem->Clear();
    TrpReport* report = Report();
    TrpXMLItem* settings = reportItem->Add(report != nullptr ? report->ClassName() : TrpReport::Class().Name);
    if (report != nullptr) {
        settings->SetText(QString::fromUtf16(kDotMatrix) + QStringLiteral("=\"") + FlagText(report->DotMatrixReport) + u'"' + u' '
                          + QString::fromUtf16(kOutlineVisible) + QStringLiteral("=\"")
                          + FlagText(report->PreviewOptions().OutlineVisible) + u'"' + u' ' + QString::fromUtf16(kOutlineWidth)
                          + QStringLiteral("=\"") + previewpages::IntText(report->PreviewOptions().OutlineWidth)
                          + u'"' + u' ' + QString::fromUtf16(kReportName) + QStringLiteral("=\"")
                          + EscapeXMLText(report->ReportOptions().Name) + u'"');
    }

    sourceItem->Clear();
    for (const auto& page : sourcePages_) {
        TrpXMLSerializer serializer;
        serializer.WriteRootComponent(page.get(), true, sourceItem->Add());
    }

    dictionaryItem->Clear();
    for (const QString& alias : dictionary_.Names()) {
        TrpXMLItem* entry = dictionaryItem->Add(alias);
        entry->SetText(QStringLiteral("name=\"") + dictionary_.GetSourceName(alias) + u'"');
    }

    pictureCache_->SaveToXML(pictureItem);
    xmlDoc_->SaveToStream(stream);
}

void TrpPreviewPages::SaveToFile(const QString& fileName)
{
    SaveFileAtomically(fileName, [this](QIODevice& file) { SaveToStream(file); });
}

// --- loading -----------------------------------------------------------------------------------

void TrpPreviewPages::LoadFromStream(QIODevice& stream, bool)
{
    auto document = std::make_unique<TrpXMLDocument>();
    document->LoadFromStream(stream);
    Load(std::move(document));
}

void TrpPreviewPages::LoadFromStream(std::unique_ptr<QIODevice> stream, bool allowPartialLoading)
{
    auto document = std::make_unique<TrpXMLDocument>();
    document->LoadFromStream(std::move(stream), allowPartialLoading);
    Load(std::move(document));
}

bool TrpPreviewPages::LoadFromFile(const QString& fileName, bool exceptionIfNotFound)
{
    const bool exists = QFile::exists(fileName);
    if (!exists && !exceptionIfNotFound)
        return false;
    ReadFileWith(fileName, [this](QIODevice& file) { LoadFromStream(file, false); });
    return exists;
}

void TrpPreviewPages::Load(std::unique_ptr<TrpXMLDocument> document)
{
    TrpXMLItem* root = document->Root();
    if (root->Name().compare(u"preparedreport", Qt::CaseInsensitive) != 0)
        throw TrpInvalidXMLException();

    // Source pages: every object of them costs memory, so they are counted first.
    std::vector<std::unique_ptr<TrpReportPage>> sources;
    if (TrpXMLItem* item = FindChild(root, u"sourcepages")) {
        qint64 objects = 0;
        const auto count = [&](const auto& self, const TrpXMLItem* element) -> void {
            ++objects;
            for (int i = 0; i < element->Count() && objects <= kMaxReportObjects; ++i)
                self(self, element->Items(i));
        };
        count(count, item);
        if (objects - 1 > kMaxReportObjects)
            throw EReadError(ResourceText(u"xrTooManyObjects", {Variant(kMaxReportObjects)}).toStdString());
        for (int i = 0; i < item->Count(); ++i) {
            TrpXMLItem* element = item->Items(i);
            std::unique_ptr<TrpReportPage> page = NewWholePage(element->Name());
            TrpXMLSerializer serializer;
            serializer.OldFormat = document->OldVersion();
            serializer.ReadRootComponent(page.get(), element);
            if (!serializer.Errors().isEmpty())
                throw EReadError(serializer.Errors().join(u'\n').toStdString());
            TrpXMLSerializer writer;
            for (TrpComponent* object : page->AllObjects())
                object->SetBaseName(writer.WriteComponentStr(object));
            sources.push_back(std::move(page));
        }
    }

    // Pages: each names a source page of the file, or is stored whole.
    if (TrpXMLItem* pages = FindChild(root, u"previewpages")) {
        for (int i = 0; i < pages->Count(); ++i) {
            const QString& name = pages->Items(i)->Name();
            if (IsWholePage(name)) {
                NewWholePage(name); // the class must be known
                continue;
            }
            const int32_t index = SourceIndexOf(name);
            if (index < 0 || static_cast<size_t>(index) >= sources.size())
                throw TrpInvalidXMLException();
        }
    }

    TrpDictionary dictionary;
    if (TrpXMLItem* item = FindChild(root, u"dictionary")) {
        for (int i = 0; i < item->Count(); ++i) {
            const TrpXMLItem* entry = item->Items(i);
            const QString value = entry->Prop(u"name");
            size_t pageIndex = 0;
            QString objectName;
            if (!ParseSourceName(value, sources.size(), pageIndex, objectName))
                throw TrpInvalidXMLException();
            // An object that is no longer there keeps its alias without a source.
            dictionary.Add(entry->Name(), value, sources[pageIndex]->FindObject(objectName));
        }
    }

    // Every object of a page is an alias or a class (pages left out of memory are checked when
    // they are read).
    if (TrpXMLItem* pages = FindChild(root, u"previewpages")) {
        const PropertyRegistry& registry = PropertyRegistry::Global();
        const auto check = [&](const auto& self, const TrpXMLItem* element) -> void {
            for (int i = 0; i < element->Count(); ++i) {
                const TrpXMLItem* object = element->Items(i);
                if (!dictionary.Contains(object->Name()) && registry.FindCreatable(object->Name()) == nullptr)
                    throw EClassNotFound(ResourceText(u"xrClassNotFound", {Variant(object->Name())}).toStdString());
                self(self, object);
            }
        };
        for (int i = 0; i < pages->Count(); ++i)
            check(check, pages->Items(i));
    }

    auto pictures = std::make_unique<TrpPictureCache>();
    pictures->SetUseFileCache(pictureCache_->UseFileCache());
    pictures->SetTempDir(pictureCache_->TempDir());
    if (TrpXMLItem* item = FindChild(root, u"picturecache"))
        pictures->LoadFromXML(item);

    const ReportSettings settings = ReadReportSettings(FindChild(root, u"report"));
    if (TrpXMLItem* anchors = FindChild(root, u"anchors")) {
        for (int i = 0; i < anchors->Count(); ++i) {
            if (!IsIntProp(anchors->Items(i), u"page", false) || !IsIntProp(anchors->Items(i), u"top", false))
                throw TrpInvalidXMLException();
        }
    }
    if (TrpXMLItem* numbers = FindChild(root, u"logicalpagenumbers")) {
        for (int i = 0; i < numbers->Count(); ++i) {
            if (!IsIntProp(numbers->Items(i), u"n", false) || !IsIntProp(numbers->Items(i), u"t", true))
                throw TrpInvalidXMLException();
        }
    }
    if (TrpXMLItem* outline = FindChild(root, u"outline"))
        CheckOutline(outline);

    // The file is sound: it replaces the store.
    for (const char16_t* bulky : {u"sourcepages", u"dictionary", u"picturecache"}) {
        if (TrpXMLItem* item = FindChild(root, QStringView(bulky)))
            item->Clear();
    }
    ClearPageCache();
    prototypes_.clear();
    document->SetTempDir(xmlDoc_->TempDir());
    sourcePages_ = std::move(sources);
    dictionary_ = std::move(dictionary);
    pictureCache_ = std::move(pictures);
    xmlDoc_ = std::move(document);
    pagesItem_ = RootItem(QStringLiteral("previewpages"));
    Outline()->CurItem = nullptr;
    CurPage = -1;
    xmlSize_ = 0;
    lastY_ = 0;
    firstPageIndex_ = -1;
    if (TrpReport* report = Report()) {
        if (settings.DotMatrix)
            report->DotMatrixReport = *settings.DotMatrix;
        if (settings.OutlineVisible)
            report->PreviewOptions().OutlineVisible = *settings.OutlineVisible;
        if (settings.OutlineWidth)
            report->PreviewOptions().OutlineWidth = *settings.OutlineWidth;
        if (settings.Name)
            report->ReportOptions().Name = *settings.Name;
    }
}
