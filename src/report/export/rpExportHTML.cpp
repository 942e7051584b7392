// The HTML export: options, the run (start, pages, objects, finish), folders and links, and the
// text helpers. The page document, the navigator and the frameset are written in
// rpExportHTML_write.cpp.

#include "rpExportHTML.h"

#include "rpExportDialogs.h"
#include "rpExportMatrix.h"

#include "report/core/PropertyRegistry.h"
#include "report/core/Rounding.h"
#include "report/core/Services.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_options.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_views.h"
#include "report/model/rpDrawText.h"
#include "report/model/rpRes.h"
#include "report/model/rpStreams.h"
#include "report/model/rpUtils.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QTemporaryFile>
#include <QUrl>

namespace {

// A page background larger than this (either side, pixels) is not drawn: a hostile page size
// must not allocate gigabytes.
constexpr int32_t kMaxBackgroundSide = 20000;

// The name with its extension (from the last "." after the last "/") replaced by `extension`,
// or `extension` appended when it has none.
QString ChangeFileExt(const QString& name, const QString& extension)
{
    const qsizetype slash = name.lastIndexOf(u'/');
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot > slash)
        return name.left(dot) + extension;
    return name + extension;
}

// The folder part of a path including its final "/", empty when it has none.
QString FolderPart(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash < 0 ? QString() : path.left(slash + 1);
}

QString FilePart(const QString& path)
{
    return path.mid(path.lastIndexOf(u'/') + 1);
}

} // namespace

const ScriptClassInfo& TrpHTMLExport::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpHTMLExport"), &TrpCustomExportFilter::Class()};
    return info;
}

QStringList TrpHTMLExport::DefaultDocumentBegin()
{
    return {QStringLiteral("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">"),
            QStringLiteral("<html><head>"),
            QStringLiteral("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"),
            QStringLiteral("<meta name=\"Generator\" content=\"RedaVedera 4.0\">")};
}

TrpHTMLExport::TrpHTMLExport(QObject* owner) : TrpCustomExportFilter(owner)
{
    FilterDesc = GetResourcesInstance().Get(u"8210");
    DefaultExt = GetResourcesInstance().Get(u"8211");
    HTMLDocumentBegin = DefaultDocumentBegin();
    HTMLDocumentEnd = QStringList{QStringLiteral("</body></html>")};
}

TrpHTMLExport::TrpHTMLExport(TrpNoRegister tag) : TrpCustomExportFilter(tag)
{
    FilterDesc = GetResourcesInstance().Get(u"8210");
    DefaultExt = GetResourcesInstance().Get(u"8211");
    HTMLDocumentBegin = DefaultDocumentBegin();
    HTMLDocumentEnd = QStringList{QStringLiteral("</body></html>")};
}

TrpHTMLExport::~TrpHTMLExport() = default;

QString TrpHTMLExport::GetDescription() const
{
    return GetResourcesInstance().Get(u"HTMLexport");
}

int TrpHTMLExport::ShowModal()
{
    if (Stream != nullptr)
        return mrOk;
    const auto& dialogs = ExportDialogs();
    const auto runner = dialogs.find(ScriptClass().Name);
    if (runner == dialogs.end() || !runner->second)
        return mrOk;
    return runner->second(*this);
}

// --- the run

bool TrpHTMLExport::Start()
{
    if (SlaveExport) {
        OpenAfterExport = false;
        ExportPictures = true;
        PicsInSameFolder = true;
        Navigator = false;
        Multipage = false;
        Background = false;
        // A unique file of our own, never a name another user could predict.
        QString folder = Report != nullptr ? Report->EngineOptions().TempDir : QString();
        if (folder.isEmpty())
            folder = GetTempFolder();
        QTemporaryFile temp(QDir(folder).filePath(QStringLiteral("rpXXXXXX.html")));
        temp.setAutoRemove(false);
        if (!temp.open())
            RaiseCannotCreate(temp.fileTemplate(), temp.errorString());
        FileName = temp.fileName();
    }
    if (FileName.isEmpty() && Stream == nullptr)
        return false;
    if (Stream == nullptr && QFileInfo(FileName).fileName() == FileName && !DefaultPath.isEmpty())
        FileName = QDir(DefaultPath).filePath(FileName);
    FCurrentPage = 0;
    FPicturesCount = 0;
    cancelled_ = false;
    FMatrix = std::make_unique<TrpIEMatrix>(UseFileCache, Report != nullptr ? Report->EngineOptions().TempDir : QString());
    ApplyHTMLMatrixOptions(*FMatrix, Report, Multipage ? false : ShowProgress, Background, ExportNotPrintable,
                           EmptyLines);
    if (Stream != nullptr) {
        Multipage = false;
        ExportPictures = false;
        Navigator = false;
    }
    if (Files() == nullptr)
        SetFiles(std::make_unique<QStringList>());
    Files()->clear();
    ComputeFolders();
    return true;
}

void TrpHTMLExport::ComputeFolders()
{
    // On this system paths use "/"; a name written with backslashes is taken as it is.
    const QString file = FileName;
    const QString name = FilePart(file);
    const QString folder = FolderPart(file);
    namePrefix_ = ChangeFileExt(name, QStringLiteral("."));
    if (PicsInSameFolder) {
        picturesFolder_ = AbsLinks ? folder + ChangeFileExt(name, QStringLiteral(".")) : ChangeFileExt(file, QStringLiteral("."));
        pageLinkPrefix_ = ChangeFileExt(name, QStringLiteral("."));
        framesetLinkPrefix_ = pageLinkPrefix_;
    } else {
        picturesFolder_ = (AbsLinks ? folder + ChangeFileExt(name, QStringLiteral(".files"))
                                    : ChangeFileExt(file, QStringLiteral(".files")))
                          + u'/';
        if (Multipage)
            pageLinkPrefix_.clear();
        else if (AbsLinks)
            pageLinkPrefix_ = QFileInfo(folder.isEmpty() ? QStringLiteral(".") : folder).absoluteFilePath() + u'/'
                              + ChangeFileExt(name, QStringLiteral(".files")) + u'/';
        else if (Navigator)
            pageLinkPrefix_.clear();
        else
            pageLinkPrefix_ = ChangeFileExt(name, QStringLiteral(".files")) + u'/';
        framesetLinkPrefix_ = ChangeFileExt(name, QStringLiteral(".files")) + u'/';
    }
}

void TrpHTMLExport::StartPage(TrpReportPage* page, int32_t index)
{
    TrpCustomExportFilter::StartPage(page, index);
    ++FCurrentPage;
    FBackImageExist = false;
    FBackImage = QImage();
}

void TrpHTMLExport::ExportObject(TrpComponent* object)
{
    auto* view = dynamic_cast<TrpView*>(object);
    if (view == nullptr || FMatrix == nullptr || !(view->Printable || ExportNotPrintable))
        return;
    if (view->Name() == QStringLiteral("_pagebackground") && ExportPictures && Background) {
        FBackImageExist = true;
        const int32_t width = RoundHalfEvenClamped(view->Width(), 0, kMaxBackgroundSide);
        const int32_t height = RoundHalfEvenClamped(view->Height(), 0, kMaxBackgroundSide);
        FBackImage = QImage(width, height, QImage::Format_RGB32);
        if (!FBackImage.isNull()) {
            FBackImage.fill(Qt::white);
            QPainter painter(&FBackImage);
            view->Draw(painter, 1, 1, -view->AbsLeft(), -view->AbsTop(), TrpDrawContext{});
        }
    }
    if (dynamic_cast<TrpCustomMemoView*>(view) != nullptr || dynamic_cast<TrpCustomLineView*>(view) != nullptr
        || ExportPictures)
        FMatrix->AddObject(*view);
}

void TrpHTMLExport::FinishPage(TrpReportPage* page, int32_t index)
{
    TrpCustomExportFilter::FinishPage(page, index);
    if (FMatrix == nullptr)
        return;
    if (!Multipage) {
        if (page != nullptr)
            FMatrix->AddPage(page->Orientation(), page->Width(), page->Height(), page->LeftMargin, page->TopMargin,
                             page->RightMargin, page->BottomMargin, page->MirrorMargins, index);
        return;
    }
    try {
        FMatrix->Prepare();
        WriteTextFile(picturesFolder_ + QString::number(FCurrentPage) + QStringLiteral(".html"),
                      [this](QIODevice& out) { WritePage(out, nullptr); });
    } catch (const platform::Exception& failure) {
        FMatrix->Clear();
        Fail(QString::fromStdString(failure.Message()));
        return;
    }
    FMatrix->Clear();
}

namespace {

// Thrown out of a file's writer when the user cancelled: the file is not put in place.
struct WritingCancelled {};

} // namespace

void TrpHTMLExport::Finish()
{
    if (FMatrix == nullptr)
        return;
    bool cancelled = false;
    if (!Multipage) {
        TrpExportProgress progress(ShowProgress ? Report : nullptr);
        progress.Execute(std::max(0, FMatrix->GetPagesCount() - 1), GetResourcesInstance().Get(u"ProgressWait"), true);
        try {
            FMatrix->Prepare();
            cancelled = progress.Terminated();
            if (!cancelled) {
                if (Stream != nullptr) {
                    WritePage(*Stream, &progress);
                    cancelled = cancelled_;
                } else {
                    const QString target = Navigator ? picturesFolder_ + QStringLiteral("main.html") : FileName;
                    try {
                        WriteTextFile(target, [this, &progress](QIODevice& out) {
                            WritePage(out, &progress);
                            if (cancelled_)
                                throw WritingCancelled{};
                        });
                    } catch (const WritingCancelled&) {
                        cancelled = true;
                    }
                }
            }
        } catch (const platform::Exception& failure) {
            progress.Stop();
            FMatrix->Clear();
            Fail(QString::fromStdString(failure.Message()));
        }
        progress.Stop();
        if (FMatrix != nullptr)
            FMatrix->Clear();
    }
    if (!cancelled && Navigator && Stream == nullptr) {
        const QString navigator = picturesFolder_ + QStringLiteral("nav.html");
        WriteTextFile(navigator, [this](QIODevice& out) { WriteNavigator(out); });
        WriteTextFile(FileName, [this](QIODevice& out) { WriteFrameset(out); });
    }
    FMatrix.reset();
    if (!cancelled && OpenAfterExport && Stream == nullptr) {
        const QString target = Multipage && !Navigator ? picturesFolder_ + QStringLiteral("1.html") : FileName;
        ReportServices::Ui().OpenUrl(QUrl::fromLocalFile(QFileInfo(target).absoluteFilePath()));
    }
}

// --- files

void TrpHTMLExport::Fail(const QString& message)
{
    if (Report == nullptr)
        throw platform::Exception(message.toStdString());
    HandleReportError(*Report, message);
}

void TrpHTMLExport::MakeFolderFor(const QString& fileName)
{
    const QString folder = QFileInfo(fileName).absolutePath();
    if (!QDir().mkpath(folder))
        RaiseCannotCreate(fileName, QStringLiteral("The folder \"%1\" cannot be made.").arg(folder));
}

bool TrpHTMLExport::WriteTextFile(const QString& fileName, const std::function<void(QIODevice&)>& write)
{
    try {
        MakeFolderFor(fileName);
        SaveFileAtomically(fileName, write);
    } catch (const platform::Exception& failure) {
        Fail(QString::fromStdString(failure.Message()));
        return false;
    }
    if (Files() != nullptr && !Files()->contains(fileName))
        Files()->append(fileName);
    return true;
}

void TrpHTMLExport::SavePicture(const QImage& image, const QString& fileName)
{
    try {
        MakeFolderFor(fileName);
        SaveGraphicToFile(image, fileName, PictureType);
    } catch (const platform::Exception& failure) {
        Fail(QString::fromStdString(failure.Message()));
        return;
    }
    // The background picture is written again for every page file, under one name.
    if (Files() != nullptr && !Files()->contains(fileName))
        Files()->append(fileName);
}

QString TrpHTMLExport::ReportTitle() const
{
    if (Report != nullptr && !Report->ReportOptions().Name.isEmpty())
        return Report->ReportOptions().Name;
    return QFileInfo(FilePart(FileName)).completeBaseName();
}

// --- text helpers

QString TrpHTMLExport::Escape(const QString& text)
{
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'"': result += QStringLiteral("&quot;"); break;
        case u'&': result += QStringLiteral("&amp;"); break;
        case u'<': result += QStringLiteral("&lt;"); break;
        case u'>': result += QStringLiteral("&gt;"); break;
        default: result += c;
        }
    }
    return result;
}

QString TrpHTMLExport::TextToHTML(const QString& text)
{
    // Lines end at CR LF, at a lone CR and at a lone LF alike.
    QStringList lines;
    {
        QString line;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text[i];
            if (c == u'\r' || c == u'\n') {
                lines << line;
                line.clear();
                if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                    ++i;
            } else {
                line += c;
            }
        }
        lines << line;
    }
    TrpHTMLTagsList parser;
    parser.SetAllowTags(true);
    parser.SetDefaults(0, 10, 0);
    QString result;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        if (n > 0)
            result += QStringLiteral("<br>");
        QString line = lines[n];
        const bool empty = line.isEmpty();
        const TrpHTMLTags tags = parser.ExpandHTMLTags(line);
        // A line that is empty becomes one blank in the parser; here it stays empty.
        if (empty)
            continue;
        const auto runStart = [&](int i) { return i < tags.Count() ? &tags[i] : nullptr; };
        int i = 0;
        while (i < line.size()) {
            const TrpHTMLTag* first = runStart(i);
            const uint32_t style = first != nullptr ? first->Style : 0;
            const TColor color = first != nullptr ? first->Color : 0;
            int j = i + 1;
            while (j < line.size()) {
                const TrpHTMLTag* tag = runStart(j);
                if ((tag != nullptr ? tag->Style : 0) != style || (tag != nullptr ? tag->Color : 0) != color)
                    break;
                ++j;
            }
            QString run = Escape(line.mid(i, j - i));
            if (style & kTextStyleBold)
                run = QStringLiteral("<b>") + run + QStringLiteral("</b>");
            if (style & kTextStyleItalic)
                run = QStringLiteral("<i>") + run + QStringLiteral("</i>");
            if (style & kTextStyleUnderline)
                run = QStringLiteral("<u>") + run + QStringLiteral("</u>");
            if (style & kTextStyleStrikeOut)
                run = QStringLiteral("<s>") + run + QStringLiteral("</s>");
            if (color != 0) {
                const uint32_t rgb = ColorToRgb(color);
                run = QStringLiteral("<span style=\"color:#") + QString::number(rgb, 16).rightJustified(6, u'0')
                      + QStringLiteral("\">") + run + QStringLiteral("</span>");
            }
            result += run;
            i = j;
        }
    }
    return result;
}

QString TrpHTMLExport::EncodeReportName(const QString& name)
{
    QString result;
    for (const char byte : name.toUtf8()) {
        const auto b = static_cast<unsigned char>(byte);
        if ((b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9'))
            result += QChar(b);
        else
            result += u'%' + QString::number(b, 16).toUpper().rightJustified(2, u'0');
    }
    return result;
}

QString TrpHTMLExport::PathLink(const QString& path)
{
    QString link = path;
    link.replace(u'\\', u'/');
    return QString::fromLatin1(QUrl::toPercentEncoding(link, "/:!$&'()*+,;=@~-._"));
}

// --- registration

void TrpHTMLExport::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    TrpCustomExportFilter::RegisterClass(registry);
    RegisteredClass& c = registry.Register(Class(), [] {
        return std::unique_ptr<ScriptObject>(TrpCustomExportFilter::CreateNoRegister<TrpHTMLExport>().release());
    });
    const auto boolean = [&c](const QString& name, bool TrpHTMLExport::*field, bool def) {
        c.AddBoolean(
            name, [field](const ScriptObject& o) { return Variant(static_cast<const TrpHTMLExport&>(o).*field); },
            [field](ScriptObject& o, const Variant& v) { static_cast<TrpHTMLExport&>(o).*field = v.ToBoolean(); }, def);
    };
    const auto lines = [&c](const QString& name, QStringList TrpHTMLExport::*field, QStringList def) {
        PropertyInfo& p = c.AddLines(
            name, PropertyKind::StringList, QStringLiteral("TStrings"),
            [field](const ScriptObject& o) { return (static_cast<const TrpHTMLExport&>(o).*field).join(QStringLiteral("\r\n")); },
            [field](ScriptObject& o, const QString& text) {
                QString t = text;
                t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
                if (t.endsWith(u'\n'))
                    t.chop(1);
                static_cast<TrpHTMLExport&>(o).*field = t.isEmpty() ? QStringList() : t.split(u'\n');
            });
        p.Stored = [field, def](const ScriptObject& o) { return static_cast<const TrpHTMLExport&>(o).*field != def; };
    };
    boolean(QStringLiteral("OpenAfterExport"), &TrpHTMLExport::OpenAfterExport, false);
    boolean(QStringLiteral("FixedWidth"), &TrpHTMLExport::FixedWidth, true);
    boolean(QStringLiteral("ExportPictures"), &TrpHTMLExport::ExportPictures, true);
    boolean(QStringLiteral("PicsInSameFolder"), &TrpHTMLExport::PicsInSameFolder, false);
    boolean(QStringLiteral("ExportStyles"), &TrpHTMLExport::ExportStyles, true);
    boolean(QStringLiteral("Navigator"), &TrpHTMLExport::Navigator, false);
    boolean(QStringLiteral("Multipage"), &TrpHTMLExport::Multipage, false);
    boolean(QStringLiteral("MozillaFrames"), &TrpHTMLExport::MozillaFrames, false);
    boolean(QStringLiteral("AbsLinks"), &TrpHTMLExport::AbsLinks, false);
    boolean(QStringLiteral("Background"), &TrpHTMLExport::Background, false);
    boolean(QStringLiteral("Centered"), &TrpHTMLExport::Centered, false);
    boolean(QStringLiteral("EmptyLines"), &TrpHTMLExport::EmptyLines, true);
    lines(QStringLiteral("HTMLDocumentBegin"), &TrpHTMLExport::HTMLDocumentBegin, DefaultDocumentBegin());
    lines(QStringLiteral("HTMLDocumentBody"), &TrpHTMLExport::HTMLDocumentBody, QStringList());
    lines(QStringLiteral("HTMLDocumentEnd"), &TrpHTMLExport::HTMLDocumentEnd, QStringList{QStringLiteral("</body></html>")});
    c.AddString(
        QStringLiteral("URLTarget"), [](const ScriptObject& o) { return Variant(static_cast<const TrpHTMLExport&>(o).URLTarget); },
        [](ScriptObject& o, const Variant& v) { static_cast<TrpHTMLExport&>(o).URLTarget = v.ToString(); });
    boolean(QStringLiteral("Print"), &TrpHTMLExport::Print, false);
    const EnumTypeInfo& pictureTypes = registry.AddEnum(
        QStringLiteral("TrpPictureType"), {QStringLiteral("gpPNG"), QStringLiteral("gpBMP"), QStringLiteral("gpEMF"),
                                           QStringLiteral("gpWMF"), QStringLiteral("gpJPG"), QStringLiteral("gpGIF")});
    c.AddEnum(
        QStringLiteral("PictureType"), pictureTypes,
        [](const ScriptObject& o) { return Variant(static_cast<int32_t>(static_cast<const TrpHTMLExport&>(o).PictureType)); },
        [](ScriptObject& o, const Variant& v) {
            const int32_t value = v.ToInt32();
            if (value < gpPNG || value > gpGIF)
                throw platform::Exception(GetResourcesInstance().Get(u"prInvProp").toStdString());
            static_cast<TrpHTMLExport&>(o).PictureType = static_cast<TrpPictureType>(value);
        },
        gpPNG);
}
