// The PDF document writer: the file in one pass, objects numbered as they are met, the
// cross-reference offsets patched in memory only.

#include "rpExportPDF.h"

#include "rpExportDialogs.h"
#include "rpmd5.h"

#include "report/core/FormatSettings.h"
#include "report/core/Formats.h"
#include "report/core/PropertyRegistry.h"
#include "report/core/Services.h"
#include "report/model/rpClass_options.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpCompression.h"
#include "report/model/rpRes.h"
#include "report/model/rpStreams.h"
#include "report/model/rpUtils.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>
#include <QUrl>
#include <QUuid>

namespace {

const QByteArray kCrLf = QByteArrayLiteral("\r\n");

QByteArray Offset10(int64_t offset)
{
    return QByteArray::number(offset).rightJustified(10, '0');
}

} // namespace

std::mutex& PDFExportLock()
{
    static std::mutex* lock = new std::mutex; // outlives every static object
    return *lock;
}

const ScriptClassInfo& TrpPDFExport::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpPDFExport"), &TrpCustomExportFilter::Class()};
    return info;
}

TrpPDFExport::TrpPDFExport(QObject* owner) : TrpCustomExportFilter(owner)
{
    Creator = QCoreApplication::applicationName();
    FilterDesc = GetResourcesInstance().Get(u"8707");
    DefaultExt = GetResourcesInstance().Get(u"8708");
}

TrpPDFExport::TrpPDFExport(TrpNoRegister tag) : TrpCustomExportFilter(tag)
{
    Creator = QCoreApplication::applicationName();
    FilterDesc = GetResourcesInstance().Get(u"8707");
    DefaultExt = GetResourcesInstance().Get(u"8708");
}

TrpPDFExport::~TrpPDFExport()
{
    Clear();
}

QString TrpPDFExport::GetDescription() const
{
    return GetResourcesInstance().Get(u"PDFexport");
}

void TrpPDFExport::Clear()
{
    FFonts.clear();
    FPageFonts.clear();
    FXRef.clear();
    FPagesRef.clear();
    FWritten.clear();
    writtenIndex_.clear();
    FOutline.clear();
    FPageAnnots.clear();
    FAnnots.clear();
    FXObjects.clear();
    FUsedXObjects.clear();
    FPicTotalSize = 0;
    pagesWritten_ = 0;
}

int TrpPDFExport::UpdateXRef()
{
    FXRef.push_back(position_);
    return static_cast<int>(FXRef.size());
}

void TrpPDFExport::Write(const QByteArray& bytes)
{
    if (pdf_->write(bytes) != bytes.size())
        throw platform::Exception(pdf_->errorString().toStdString());
    position_ += bytes.size();
}

void TrpPDFExport::Line(const QByteArray& text)
{
    Write(text + kCrLf);
}

QByteArray TrpPDFExport::TextString(const QString& text)
{
    QByteArray result = "<FEFF";
    for (const QChar c : text)
        result += QByteArray::number(c.unicode(), 16).toUpper().rightJustified(4, '0');
    return result + '>';
}

int TrpPDFExport::ShowModal()
{
    if (Title.isEmpty() && Report != nullptr)
        Title = Report->ReportOptions().Name;
    if (Stream != nullptr)
        return mrOk;
    Outline = Report == nullptr || Report->PreviewOptions().OutlineVisible;
    const auto& dialogs = ExportDialogs();
    const auto runner = dialogs.find(ScriptClass().Name);
    if (runner == dialogs.end() || !runner->second)
        return mrOk;
    return runner->second(*this);
}

bool TrpPDFExport::Start()
{
    // Refused before any file is made: a viewer could never take such a password.
    CheckPassword(UserPassword);
    CheckPassword(OwnerPassword);
    if (SlaveExport) {
        // A unique file of our own, never a name another user could predict.
        QString folder = Report != nullptr ? Report->EngineOptions().TempDir : QString();
        if (folder.isEmpty())
            folder = GetTempFolder();
        QTemporaryFile temp(QDir(folder).filePath(QStringLiteral("rpXXXXXX.pdf")));
        temp.setAutoRemove(false);
        if (!temp.open())
            RaiseCannotCreate(temp.fileTemplate(), temp.errorString());
        FileName = temp.fileName();
    }
    if (FileName.isEmpty() && Stream == nullptr)
        return false;
    if (Stream == nullptr && !FileName.isEmpty() && QFileInfo(FileName).fileName() == FileName && !DefaultPath.isEmpty())
        FileName = QDir(DefaultPath).filePath(FileName);
    file_.reset();
    if (Stream != nullptr) {
        pdf_ = Stream;
    } else {
        file_ = std::make_unique<QSaveFile>(FileName);
        if (!file_->open(QIODevice::WriteOnly)) {
            const QString reason = file_->errorString();
            file_.reset();
            RaiseCannotCreate(FileName, reason);
        }
        pdf_ = file_.get();
    }
    position_ = 0;
    Clear();
    const QString guid =
        GuidText ? GuidText() : QUuid::createUuid().toString(QUuid::WithBraces).toUpper();
    FFileID = MD5Text(guid.toLatin1());
    FProtection = !OwnerPassword.isEmpty() || !UserPassword.isEmpty();
    SetProtectionFlags(ProtectionFlags);
    if (FProtection) {
        EmbeddedFonts = EmbedFontsIfProtected;
        PrepareSecurityKeys();
    }
    FLastColor = -1;
    Line("%PDF-1.5");
    FPagesNumber = UpdateXRef();
    return true;
}

void TrpPDFExport::StartPage(TrpReportPage* page, int32_t index)
{
    pageIndex_ = index;
    // Pictures are shared within a page only.
    FXObjects.clear();
    FUsedXObjects.clear();
    FWidth = page->Width() * 0.75;
    FHeight = page->Height() * 0.75;
    FMarginLeft = page->LeftMargin * 0.05;
    FMarginTop = page->TopMargin * 0.05;
    OutStream.clear();
    if (page->Color() != clNone) {
        constexpr double k = 72 / 25.4;
        const double x1 = page->LeftMargin * k;
        const double y1 = page->BottomMargin * k;
        const double x2 = FWidth - page->RightMargin * k;
        const double y2 = FHeight - page->TopMargin * k;
        const QByteArray color = PageColorText(page->Color());
        OutStream += "0.00 w\r\n" + color + " RG\r\n" + color + " rg\r\n";
        OutStream += Fixed(x1) + ' ' + Fixed(y1) + " m\r\n";
        OutStream += Fixed(x2) + ' ' + Fixed(y1) + " l\r\n";
        OutStream += Fixed(x2) + ' ' + Fixed(y2) + " l\r\n";
        OutStream += Fixed(x1) + ' ' + Fixed(y2) + " l\r\nB\r\n";
    }
}

QByteArray TrpPDFExport::PageColorText(int32_t color)
{
    const uint32_t rgb = ColorToRgb(color);
    const auto part = [](uint32_t c) -> QByteArray {
        if (c == 0)
            return "0";
        if (c == 255)
            return "1";
        return "0." + QByteArray::number((c * 100) >> 8).rightJustified(2, '0');
    };
    return part((rgb >> 16) & 0xFF) + ' ' + part((rgb >> 8) & 0xFF) + ' ' + part(rgb & 0xFF);
}

void TrpPDFExport::FinishPage(TrpReportPage*, int32_t)
{
    const int c = UpdateXRef();
    Write(Header(c) + kCrLf + "<< ");
    QByteArray data = OutStream;
    OutStream.clear();
    if (Compressed) {
        const QByteArray packed = Crypted(Deflate(data), c);
        Line("/Filter /FlateDecode /Length " + QByteArray::number(packed.size()) + " /Length1 " +
             QByteArray::number(data.size()) + " >>");
        data = packed;
    } else {
        data = Crypted(data, c);
        Line("/Length " + QByteArray::number(data.size()) + " >>");
    }
    Line("stream");
    Write(data);
    // The line end before endstream always, outside the length.
    Write(kCrLf);
    Line("endstream");
    Line("endobj");
    for (TrpPDFFont* font : FPageFonts)
        if (!font->Saved) {
            font->Reference = UpdateXRef();
            font->Saved = true;
        }
    const int p = UpdateXRef();
    FPagesRef.push_back(p);
    ++pagesWritten_;
    // Outline items and links find their page here: the pages written, whatever the page
    // list or a stop left out.
    writtenIndex_.emplace(pageIndex_, FWritten.size());
    FWritten.push_back(WrittenPage{pageIndex_, p, FHeight});
    Line(Header(p));
    Line("<<");
    Line("/Type /Page");
    Line("/Parent 1 0 R");
    Line("/MediaBox [0 0 " + Fixed(FWidth) + ' ' + Fixed(FHeight) + " ]");
    if (!FPageAnnots.isEmpty()) {
        Line("/Annots [");
        Write(FPageAnnots);
        Line("]");
        FPageAnnots.clear();
    }
    Line("/Resources <<");
    QByteArray fonts = "/Font << ";
    for (TrpPDFFont* font : FPageFonts)
        fonts += font->Name.toLatin1() + ' ' + Ref(font->Reference) + ' ';
    Line(fonts + ">>");
    if (!FUsedXObjects.empty()) {
        QByteArray pictures = "/XObject << ";
        for (const size_t i : FUsedXObjects)
            pictures += "/Im" + QByteArray::number(static_cast<qsizetype>(i)) + ' ' + Ref(FXObjects[i].Number) + ' ';
        Line(pictures + ">>");
        FUsedXObjects.clear();
    }
    Line("/ProcSet [/PDF /Text /ImageC ]");
    Line(">>");
    Line("/Contents " + Ref(c));
    Line(">>");
    Line("endobj");
}

void TrpPDFExport::Finish()
{
    if (pdf_ == nullptr)
        return;
    std::unique_ptr<QSaveFile> file = std::move(file_);
    try {
        for (const auto& font : FFonts)
            if (!font->Saved) {
                font->Reference = UpdateXRef();
                font->Saved = true;
            }
        for (const auto& font : FFonts)
            WriteFontObjects(*font);
        FXRef[0] = position_;
        Line(Header(1));
        Line("<<");
        Line("/Type /Pages");
        QByteArray kids = "/Kids [";
        for (int p : FPagesRef)
            kids += QByteArray::number(p) + " 0 R ";
        Write(kids);
        Line("]");
        Line("/Count " + QByteArray::number(pagesWritten_));
        Line(">>");
        Line("endobj");

        const int info = UpdateXRef();
        Line(Header(info));
        Line("<<");
        Line("/Title " + DocumentText(Title, info));
        Line("/Author " + DocumentText(Author, info));
        Line("/Subject " + DocumentText(Subject, info));
        Line("/Keywords " + DocumentText(Keywords, info));
        Line("/Creator " + DocumentText(Creator, info));
        Line("/Producer " + DocumentText(Producer, info));
        const QByteArray date =
            "D:" + FormatDateTime(u"yyyymmddhhnnss", ReportServices::Clock().Now(), FormatSettings::C()).toLatin1();
        if (FProtection) {
            Line("/CreationDate " + DocumentText(QString::fromLatin1(date), info));
            Line("/ModDate " + DocumentText(QString::fromLatin1(date), info));
        } else {
            Line("/CreationDate (" + date + ")");
            Line("/ModDate (" + date + ")");
        }
        Line(">>");
        Line("endobj");

        const int outline = WriteOutline();
        WriteAnnots();

        const int root = UpdateXRef();
        Line(Header(root));
        Line("<<");
        Line("/Type /Catalog");
        Line("/Pages 1 0 R");
        // An outline that came out empty (or all on pages not written) is no outline: object
        // 0 is the head of the free list, never an outline dictionary.
        Line(outline != 0 ? "/PageMode /UseOutlines" : "/PageMode /UseNone");
        if (outline != 0)
            Line("/Outlines " + Ref(outline));
        Line("/ViewerPreferences <<");
        if (!Title.isEmpty())
            Line("/DisplayDocTitle true");
        if (HideToolbar)
            Line("/HideToolbar true");
        if (HideMenubar)
            Line("/HideMenubar true");
        if (HideWindowUI)
            Line("/HideWindowUI true");
        if (FitWindow)
            Line("/FitWindow true");
        if (CenterWindow)
            Line("/CenterWindow true");
        if (!PrintScaling)
            Line("/PrintScaling /None");
        Line(">>");
        Line(">>");
        Line("endobj");

        const int64_t startXRef = position_;
        Line("xref");
        Line("0 " + QByteArray::number(static_cast<qsizetype>(FXRef.size()) + 1));
        Line("0000000000 65535 f");
        for (int64_t offset : FXRef)
            Line(Offset10(offset) + " 00000 n");
        Line("trailer");
        Line("<<");
        Line("/Size " + QByteArray::number(static_cast<qsizetype>(FXRef.size()) + 1));
        Line("/Root " + Ref(root));
        Line("/Info " + Ref(info));
        Line("/ID [<" + FFileID + "><" + FFileID + ">]");
        if (FProtection) {
            const auto entry = [](const std::array<uint8_t, 32>& bytes) {
                return EscapeString(QByteArray(reinterpret_cast<const char*>(bytes.data()), 32));
            };
            Line("/Encrypt <<");
            Line("/Filter /Standard");
            Line("/V 2");
            Line("/R 3");
            Line("/Length 128");
            Line("/P " + QByteArray::number(FEncBits));
            Line("/O (" + entry(FOPass) + ")");
            Line("/U (" + entry(FUPass) + ")");
            Line(">>");
        }
        Line(">>");
        Line("startxref");
        Line(QByteArray::number(startXRef));
        Line("%%EOF");
    } catch (...) {
        // An older file of the name stays as it was.
        Clear();
        pdf_ = nullptr;
        if (file != nullptr)
            file->cancelWriting();
        throw;
    }
    Clear();
    pdf_ = nullptr;
    if (file != nullptr && !file->commit())
        RaiseCannotCreate(FileName, file->errorString());
    if (OpenAfterExport && file != nullptr)
        ReportServices::Ui().OpenUrl(QUrl::fromLocalFile(QFileInfo(FileName).absoluteFilePath()));
}

void TrpPDFExport::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    TrpCustomExportFilter::RegisterClass(registry);
    RegisteredClass& c = registry.Register(Class(), [] {
        return std::unique_ptr<ScriptObject>(TrpCustomExportFilter::CreateNoRegister<TrpPDFExport>().release());
    });
    const auto boolean = [&c](const QString& name, bool TrpPDFExport::*field, bool def) {
        c.AddBoolean(
            name, [field](const ScriptObject& o) { return Variant(static_cast<const TrpPDFExport&>(o).*field); },
            [field](ScriptObject& o, const Variant& v) { static_cast<TrpPDFExport&>(o).*field = v.ToBoolean(); }, def);
    };
    const auto text = [&c](const QString& name, QString TrpPDFExport::*field) {
        c.AddString(
            name, [field](const ScriptObject& o) { return Variant(static_cast<const TrpPDFExport&>(o).*field); },
            [field](ScriptObject& o, const Variant& v) { static_cast<TrpPDFExport&>(o).*field = v.ToString(); });
    };
    boolean(QStringLiteral("Compressed"), &TrpPDFExport::Compressed, true);
    boolean(QStringLiteral("EmbeddedFonts"), &TrpPDFExport::EmbeddedFonts, false);
    boolean(QStringLiteral("EmbedFontsIfProtected"), &TrpPDFExport::EmbedFontsIfProtected, true);
    boolean(QStringLiteral("OpenAfterExport"), &TrpPDFExport::OpenAfterExport, false);
    boolean(QStringLiteral("PrintOptimized"), &TrpPDFExport::PrintOptimized, false);
    boolean(QStringLiteral("Outline"), &TrpPDFExport::Outline, false);
    boolean(QStringLiteral("Background"), &TrpPDFExport::Background, false);
    boolean(QStringLiteral("HTMLTags"), &TrpPDFExport::HTMLTags, true);
    c.AddInteger(
        QStringLiteral("Quality"), [](const ScriptObject& o) { return Variant(static_cast<const TrpPDFExport&>(o).Quality); },
        [](ScriptObject& o, const Variant& v) { static_cast<TrpPDFExport&>(o).Quality = v.ToInt32(); }, 95);
    text(QStringLiteral("Title"), &TrpPDFExport::Title);
    PropertyInfo& author = c.AddString(
        QStringLiteral("Author"), [](const ScriptObject& o) { return Variant(static_cast<const TrpPDFExport&>(o).Author); },
        [](ScriptObject& o, const Variant& v) { static_cast<TrpPDFExport&>(o).Author = v.ToString(); });
    author.Default = Variant(QStringLiteral("RedaVedera"));
    PropertyInfo& subject = c.AddString(
        QStringLiteral("Subject"),
        [](const ScriptObject& o) { return Variant(static_cast<const TrpPDFExport&>(o).Subject); },
        [](ScriptObject& o, const Variant& v) { static_cast<TrpPDFExport&>(o).Subject = v.ToString(); });
    subject.Default = Variant(QStringLiteral("RedaVedera PDF export"));
    text(QStringLiteral("Keywords"), &TrpPDFExport::Keywords);
    PropertyInfo& creator = c.AddString(
        QStringLiteral("Creator"),
        [](const ScriptObject& o) { return Variant(static_cast<const TrpPDFExport&>(o).Creator); },
        [](ScriptObject& o, const Variant& v) { static_cast<TrpPDFExport&>(o).Creator = v.ToString(); });
    creator.Stored = [](const ScriptObject& o) {
        return static_cast<const TrpPDFExport&>(o).Creator != QCoreApplication::applicationName();
    };
    text(QStringLiteral("Producer"), &TrpPDFExport::Producer);
    text(QStringLiteral("UserPassword"), &TrpPDFExport::UserPassword);
    text(QStringLiteral("OwnerPassword"), &TrpPDFExport::OwnerPassword);
    const EnumTypeInfo& bits = registry.AddEnum(
        QStringLiteral("TrpPDFEncBit"),
        {QStringLiteral("ePrint"), QStringLiteral("eModify"), QStringLiteral("eCopy"), QStringLiteral("eAnnot")});
    PropertyInfo& flags = c.AddSet(
        QStringLiteral("ProtectionFlags"), QStringLiteral("TrpPDFEncBits"), bits,
        [](const ScriptObject& o) {
            return Variant(static_cast<int32_t>(static_cast<const TrpPDFExport&>(o).ProtectionFlags));
        },
        [](ScriptObject& o, const Variant& v) {
            static_cast<TrpPDFExport&>(o).SetProtectionFlags(static_cast<TrpPDFEncBits>(v.ToInt32()));
        });
    flags.Default = Variant(int32_t{15});
    boolean(QStringLiteral("HideToolbar"), &TrpPDFExport::HideToolbar, false);
    boolean(QStringLiteral("HideMenubar"), &TrpPDFExport::HideMenubar, false);
    boolean(QStringLiteral("HideWindowUI"), &TrpPDFExport::HideWindowUI, false);
    boolean(QStringLiteral("FitWindow"), &TrpPDFExport::FitWindow, false);
    boolean(QStringLiteral("CenterWindow"), &TrpPDFExport::CenterWindow, false);
    boolean(QStringLiteral("PrintScaling"), &TrpPDFExport::PrintScaling, false);
}
