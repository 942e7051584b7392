// The RTF export's filter: options, the run over the export matrix, the colour and font
// tables, text encoding and rich-text cells. The document itself: rpExportRTF_write.cpp.

#include "rpExportRTF.h"

#include "ExportTexts.h"
#include "rpExportDialogs.h"
#include "rpExportMatrix.h"
#include "rpGML.h"

#include "report/core/Colors.h"
#include "report/core/PropertyRegistry.h"
#include "report/core/Services.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpRes.h"
#include "report/model/rpStreams.h"
#include "report/model/rpUtils.h"

#include "platform/Exceptions.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>
#include <QUrl>

#include <memory>

const ScriptClassInfo& TrpRTFExport::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpRTFExport"), &TrpCustomExportFilter::Class()};
    return info;
}

TrpRTFExport::TrpRTFExport(QObject* owner) : TrpCustomExportFilter(owner)
{
    ShowDialog = true;
    FilterDesc = GetResourcesInstance().Get(u"8504");
    DefaultExt = GetResourcesInstance().Get(u"8505");
}

TrpRTFExport::TrpRTFExport(TrpNoRegister tag) : TrpCustomExportFilter(tag)
{
    ShowDialog = true;
    FilterDesc = GetResourcesInstance().Get(u"8504");
    DefaultExt = GetResourcesInstance().Get(u"8505");
}

TrpRTFExport::~TrpRTFExport() = default;

QString TrpRTFExport::GetDescription() const
{
    return GetResourcesInstance().Get(u"RTFexport");
}

int TrpRTFExport::ShowModal()
{
    if (Stream != nullptr)
        return mrOk;
    const auto& dialogs = ExportDialogs();
    const auto runner = dialogs.find(ScriptClass().Name);
    if (runner == dialogs.end() || !runner->second)
        return mrOk;
    return runner->second(*this);
}

bool TrpRTFExport::Start()
{
    if (SlaveExport) {
        // A unique file of our own, never a name another user could predict.
        QString folder = Report != nullptr ? Report->EngineOptions().TempDir : QString();
        if (folder.isEmpty())
            folder = GetTempFolder();
        QTemporaryFile temp(QDir(folder).filePath(QStringLiteral("rpXXXXXX.rtf")));
        temp.setAutoRemove(false);
        if (!temp.open())
            RaiseCannotCreate(temp.fileTemplate(), temp.errorString());
        FileName = temp.fileName();
    }
    if (FileName.isEmpty() && Stream == nullptr)
        return false;
    if (Stream == nullptr && QFileInfo(FileName).fileName() == FileName && !DefaultPath.isEmpty())
        FileName = QDir(DefaultPath).filePath(FileName);
    FFirstPage = true;
    FCurrentPage = 0;
    FMatrix = std::make_unique<TrpIEMatrix>(UseFileCache, Report != nullptr ? Report->EngineOptions().TempDir : QString());
    FMatrix->Report = Report;
    FMatrix->ShowProgress = ShowProgress;
    FMatrix->Inaccuracy = Wysiwyg ? 0.5 : 10;
    FMatrix->RotatedAsImage = true;
    FMatrix->RichText = true;
    FMatrix->AreaFill = true;
    FMatrix->CropAreaFill = true;
    FMatrix->PlainRich = false;
    FMatrix->DeleteHTMLTags = false;
    FMatrix->BackgroundImage = false;
    FMatrix->Background = false;
    FMatrix->Printable = ExportNotPrintable;
    FMatrix->EMFPictures = PictureType != gpBMP;
    FColorTable.clear();
    FFontTable.clear();
    FCharsetTable.clear();
    FDataList.clear();
    return true;
}

void TrpRTFExport::StartPage(TrpReportPage*, int32_t)
{
    ++FCurrentPage;
    FFirstPage = false;
}

void TrpRTFExport::ExportObject(TrpComponent* object)
{
    if (FMatrix == nullptr || object == nullptr)
        return;
    if (dynamic_cast<TrpPageHeader*>(object) != nullptr) {
        FMatrix->SetPageHeader(object);
        return;
    }
    if (dynamic_cast<TrpPageFooter*>(object) != nullptr) {
        FMatrix->SetPageFooter(object);
        return;
    }
    auto* view = dynamic_cast<TrpView*>(object);
    if (view == nullptr || !(view->Printable || ExportNotPrintable))
        return;
    if (dynamic_cast<TrpCustomMemoView*>(view) != nullptr || ExportPictures)
        FMatrix->AddObject(*view);
}

void TrpRTFExport::FinishPage(TrpReportPage* page, int32_t index)
{
    if (FMatrix == nullptr || page == nullptr)
        return;
    FMatrix->AddPage(page->Orientation(), page->Width(), page->Height(), page->LeftMargin, page->TopMargin,
                     page->RightMargin, page->BottomMargin, page->MirrorMargins, index);
}

void TrpRTFExport::Finish()
{
    if (FMatrix == nullptr)
        return;
    bool written = false;
    try {
        FMatrix->Prepare();
        if (ShowProgress)
            FProgress = std::make_unique<TrpExportProgress>(Report);
        if (Stream != nullptr) {
            out_ = Stream;
        } else {
            // A failed export leaves an older file of the name as it was.
            file_ = std::make_unique<QSaveFile>(FileName);
            if (!file_->open(QIODevice::WriteOnly))
                RaiseCannotCreate(FileName, file_->errorString());
            out_ = file_.get();
        }
        WriteDocument();
        if (file_ != nullptr && !file_->commit())
            RaiseCannotCreate(FileName, file_->errorString());
        written = true;
    } catch (const platform::Exception& failure) {
        if (file_ != nullptr)
            file_->cancelWriting();
        file_.reset();
        out_ = nullptr;
        FMatrix.reset();
        FProgress.reset();
        const QString message = QString::fromStdString(failure.Message());
        if (Report == nullptr)
            throw;
        HandleReportError(*Report, message);
    }
    file_.reset();
    out_ = nullptr;
    FMatrix.reset();
    FProgress.reset();
    FColorTable.clear();
    FFontTable.clear();
    FCharsetTable.clear();
    FDataList.clear();
    if (written && OpenAfterExport && Stream == nullptr)
        ReportServices::Ui().OpenUrl(QUrl::fromLocalFile(QFileInfo(FileName).absoluteFilePath()));
}

// --- tables

int TrpRTFExport::GetColorIndex(int32_t color)
{
    const uint32_t rgb = ColorToRgb(color);
    const QString entry = QStringLiteral("\\red%1\\green%2\\blue%3;")
                              .arg((rgb >> 16) & 0xFF)
                              .arg((rgb >> 8) & 0xFF)
                              .arg(rgb & 0xFF);
    const qsizetype known = FColorTable.indexOf(entry);
    if (known >= 0)
        return static_cast<int>(known) + 1;
    FColorTable << entry;
    return static_cast<int>(FColorTable.size());
}

int TrpRTFExport::GetFontIndex(const QString& name, int32_t charset)
{
    const qsizetype known = FFontTable.indexOf(name);
    if (known >= 0)
        return static_cast<int>(known);
    FFontTable << name;
    FCharsetTable << QString::number(charset);
    return static_cast<int>(FFontTable.size() - 1);
}

void TrpRTFExport::PrepareTables()
{
    for (int32_t i = 0; i < FMatrix->GetObjectsCount(); ++i) {
        TrpIEMObject* obj = FMatrix->GetObjectById(i);
        obj->Counter = -1;
        const TrpIEMStyle* style = obj->Style;
        if (style == nullptr)
            continue;
        GetColorIndex(style->Color);
        GetColorIndex(style->FrameColor);
        if (obj->IsRichText) {
            const QString remapped = RemapRichText(StringToAnsi(obj->Memo.join(QStringLiteral("\r\n"))));
            obj->Memo = QStringList{remapped};
        } else if (obj->IsText) {
            GetColorIndex(style->Font.Color());
            GetFontIndex(style->Font.Name(), style->Charset);
        }
    }
}

// --- text

QString TrpRTFExport::RTFEscapeText(const QString& text)
{
    QString out;
    out.reserve(text.size() + text.size() / 8);
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        switch (c.unicode()) {
        case u'\\': out += QStringLiteral("\\\\"); break;
        case u'{': out += QStringLiteral("\\{"); break;
        case u'}': out += QStringLiteral("\\}"); break;
        case u'\r':
        case u'\n': {
            // A reader takes raw line ends for nothing: each break inside the text is a
            // "\line", whichever of CR LF, CR and LF it is.
            const qsizetype length = c == u'\r' && i + 1 < n && text[i + 1] == u'\n' ? 2 : 1;
            if (i + length < n)
                out += QStringLiteral("\\line");
            out += text.mid(i, length);
            i += length - 1;
            break;
        }
        default: out += c;
        }
    }
    return out;
}

QString TrpRTFExport::RTFUnicodeText(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const int code = c.unicode();
        if (code < 128) {
            out += c;
            continue;
        }
        // The parameter of "\u" is a signed 16-bit number.
        out += QStringLiteral("\\u") + QString::number(code > 32767 ? code - 65536 : code) + QStringLiteral("\\'3f");
    }
    return out;
}

QString TrpRTFExport::RTFEncodeText(const QString& text)
{
    return RTFUnicodeText(RTFEscapeText(text));
}

QString TrpRTFExport::RTFFontName(const QString& name)
{
    QString out;
    for (const char byte : StringToAnsi(name)) {
        const auto b = static_cast<uint8_t>(byte);
        if (b >= 128 || b < 32 || b == '\\' || b == '{' || b == '}' || b == ';')
            out += QStringLiteral("\\'") + QString::number(b, 16).rightJustified(2, u'0');
        else
            out += QChar(b);
    }
    return out;
}

QString TrpRTFExport::RemapRichText(const QByteArray& source)
{
    try {
        TGmlRtf rtf(source);
        TGmlNode* pard = rtf.Root()->Find("pard");
        if (pard == nullptr || pard->Parent() == nullptr)
            throw platform::Exception(exporttexts::kRtfNoPard);
        TGmlNode* parent = pard->Parent();
        const int first = pard->SelfSubIndex();
        for (TGmlNode* node : rtf.Root()->FindAll("pard"))
            node->Remove(true);
        // The group borrows the content: freeing it leaves the nodes to the document.
        TGmlRtfGroup group(&rtf);
        if (first < parent->NodesCount())
            for (TGmlNode* node : parent->Select(first, -1))
                group.AddNode(node);

        TGmlNodes fonts = group.FindAll("f");
        std::vector<bool> fontDone(fonts.size(), false);
        for (int i = 0; i < rtf.FontsCount(); ++i) {
            const TGmlRtfFont* font = rtf.Font(i);
            const int32_t number = font->Index();
            // A font not in this document's table yet is entered, so the number is always one.
            const int target = GetFontIndex(AnsiToString(font->Name()), font->Charset());
            for (size_t k = 0; k < fonts.size(); ++k) {
                auto* control = dynamic_cast<TGmlRtfControl*>(fonts[k]);
                if (fontDone[k] || control == nullptr || !control->HasValue() || control->Value() != number)
                    continue;
                control->SetValue(target);
                fontDone[k] = true;
            }
        }
        TGmlNodes colors = group.FindAll("cf");
        std::vector<bool> colorDone(colors.size(), false);
        for (int i = 0; i < rtf.ColorsCount(); ++i) {
            const TGmlRtfColor* color = rtf.Color(i);
            const QString entry = QString::fromLatin1(color->Serialize()) + u';';
            qsizetype known = FColorTable.indexOf(entry);
            if (known < 0) {
                FColorTable << entry;
                known = FColorTable.size() - 1;
            }
            for (size_t k = 0; k < colors.size(); ++k) {
                auto* control = dynamic_cast<TGmlRtfControl*>(colors[k]);
                if (colorDone[k] || control == nullptr || !control->HasValue() || control->Value() != i + 1)
                    continue;
                control->SetValue(static_cast<int32_t>(known) + 1);
                colorDone[k] = true;
            }
        }
        QByteArray out;
        group.Serialize(out);
        return AnsiToString(out);
    } catch (const platform::Exception& failure) {
        // The message is text of the cell: escaped so that no brace or backslash in it breaks
        // the document.
        return u'{' + RTFEncodeText(QString::fromStdString(failure.Message())) + u'}';
    }
}

// --- registration

void TrpRTFExport::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    TrpCustomExportFilter::RegisterClass(registry);
    RegisteredClass& c = registry.Register(Class(), [] {
        return std::unique_ptr<ScriptObject>(TrpCustomExportFilter::CreateNoRegister<TrpRTFExport>().release());
    });
    const auto boolean = [&c](const QString& name, bool TrpRTFExport::*field, bool def) {
        c.AddBoolean(
            name, [field](const ScriptObject& o) { return Variant(static_cast<const TrpRTFExport&>(o).*field); },
            [field](ScriptObject& o, const Variant& v) { static_cast<TrpRTFExport&>(o).*field = v.ToBoolean(); }, def);
    };
    const EnumTypeInfo& pictureTypes = registry.AddEnum(
        QStringLiteral("TrpPictureType"), {QStringLiteral("gpPNG"), QStringLiteral("gpBMP"), QStringLiteral("gpEMF"),
                                           QStringLiteral("gpWMF"), QStringLiteral("gpJPG"), QStringLiteral("gpGIF")});
    c.AddEnum(
        QStringLiteral("PictureType"), pictureTypes,
        [](const ScriptObject& o) { return Variant(static_cast<int32_t>(static_cast<const TrpRTFExport&>(o).PictureType)); },
        [](ScriptObject& o, const Variant& v) {
            const int32_t value = v.ToInt32();
            if (value >= gpPNG && value <= gpGIF)
                static_cast<TrpRTFExport&>(o).PictureType = static_cast<TrpPictureType>(value);
        },
        gpPNG);
    boolean(QStringLiteral("ExportPageBreaks"), &TrpRTFExport::ExportPageBreaks, true);
    boolean(QStringLiteral("ExportPictures"), &TrpRTFExport::ExportPictures, true);
    boolean(QStringLiteral("OpenAfterExport"), &TrpRTFExport::OpenAfterExport, false);
    boolean(QStringLiteral("Wysiwyg"), &TrpRTFExport::Wysiwyg, true);
    PropertyInfo& creator = c.AddString(
        QStringLiteral("Creator"), [](const ScriptObject& o) { return Variant(static_cast<const TrpRTFExport&>(o).Creator); },
        [](ScriptObject& o, const Variant& v) { static_cast<TrpRTFExport&>(o).Creator = v.ToString(); });
    creator.Default = Variant(QStringLiteral("RedaVedera"));
    const EnumTypeInfo& modes = registry.AddEnum(QStringLiteral("TrpHeaderFooterMode"),
                                                 {QStringLiteral("hfText"), QStringLiteral("hfPrint"), QStringLiteral("hfNone")});
    c.AddEnum(
        QStringLiteral("HeaderFooterMode"), modes,
        [](const ScriptObject& o) {
            return Variant(static_cast<int32_t>(static_cast<const TrpRTFExport&>(o).HeaderFooterMode));
        },
        [](ScriptObject& o, const Variant& v) {
            const int32_t value = v.ToInt32();
            if (value >= hfText && value <= hfNone)
                static_cast<TrpRTFExport&>(o).HeaderFooterMode = static_cast<TrpHeaderFooterMode>(value);
        },
        hfText);
    boolean(QStringLiteral("AutoSize"), &TrpRTFExport::AutoSize, false);
}
