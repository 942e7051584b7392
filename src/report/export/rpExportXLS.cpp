// The spreadsheet export: the filter's steps, the two writers over the export matrix and the
// rules that turn a memo's text into a cell value.

#include "rpExportXLS.h"

#include "XlsxWorkbook.h"
#include "rpExportDialogs.h"
#include "rpExportMatrix.h"

#include "report/core/Colors.h"
#include "report/core/FormatSettings.h"
#include "report/core/PropertyRegistry.h"
#include "report/core/Rounding.h"
#include "report/core/Services.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_options.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_views.h"
#include "report/model/rpRes.h"
#include "report/model/rpStreams.h"
#include "report/model/rpUtils.h"
#include "report/script/sc_iconsts.h"
#include "report/script/sc_iinterpreter_script.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QUrl>

#include <algorithm>
#include <charconv>
#include <map>

namespace {

QString Text(const char16_t* key)
{
    return GetResourcesInstance().Get(key);
}

constexpr int32_t kWhite = 0xFFFFFF;

} // namespace

const ScriptClassInfo& TrpXLSExport::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpXLSExport"), &TrpCustomExportFilter::Class()};
    return info;
}

TrpXLSExport::TrpXLSExport(QObject* owner) : TrpCustomExportFilter(owner)
{
    FilterDesc = Text(u"XlsxFilter");
    DefaultExt = Text(u"XlsxExt");
}

TrpXLSExport::TrpXLSExport(TrpNoRegister tag) : TrpCustomExportFilter(tag)
{
    FilterDesc = Text(u"XlsxFilter");
    DefaultExt = Text(u"XlsxExt");
}

TrpXLSExport::~TrpXLSExport() = default;

QString TrpXLSExport::GetDescription() const
{
    return Text(u"XlsxExport");
}

int TrpXLSExport::ShowModal()
{
    const auto& dialogs = ExportDialogs();
    const auto runner = dialogs.find(ScriptClass().Name);
    if (runner == dialogs.end() || !runner->second)
        return mrOk;
    return runner->second(*this);
}

bool TrpXLSExport::Start()
{
    if (SlaveExport) {
        // A unique file of our own, never a name another user could predict.
        QString folder = Report != nullptr ? Report->EngineOptions().TempDir : QString();
        if (folder.isEmpty())
            folder = GetTempFolder();
        QTemporaryFile temp(QDir(folder).filePath(QStringLiteral("rpXXXXXX") + DefaultExt));
        temp.setAutoRemove(false);
        if (!temp.open())
            RaiseCannotCreate(temp.fileTemplate(), temp.errorString());
        FileName = temp.fileName();
    }
    if (FileName.isEmpty())
        return false;
    if (QFileInfo(FileName).fileName() == FileName && !DefaultPath.isEmpty())
        FileName = QDir(DefaultPath).filePath(FileName);
    FFirstPage = true;
    requestedBreaks_ = 0;
    FMatrix = std::make_unique<TrpIEMatrix>(UseFileCache,
                                            Report != nullptr ? Report->EngineOptions().TempDir : QString());
    TrpIEMatrix& m = *FMatrix;
    m.Report = Report;
    m.DotMatrix = Report != nullptr && Report->DotMatrixReport;
    m.ShowProgress = ShowProgress;
    m.MaxCellHeight = kMaxCellHeight;
    m.BackgroundImage = false;
    m.Background = Background && EmptyLines;
    m.RichText = !ExportEMF;
    m.PlainRich = !ExportEMF;
    m.Inaccuracy = Wysiwyg ? 0.5 : 10;
    m.RotatedAsImage = false;
    m.DeleteHTMLTags = true;
    m.Printable = ExportNotPrintable;
    m.EmptyLines = EmptyLines;
    m.EMFPictures = ExportEMF;
    return true;
}

void TrpXLSExport::StartPage(TrpReportPage* page, int32_t)
{
    if (page == nullptr)
        return;
    FSavedPageTop = page->Top();
    if (!FFirstPage)
        return;
    FFirstPage = false;
    FPageLeft = page->LeftMargin * kMarginPoints;
    FPageTop = page->TopMargin * kMarginPoints;
    FPageBottom = page->BottomMargin * kMarginPoints;
    FPageRight = page->RightMargin * kMarginPoints;
    FPageOrientation = page->Orientation();
}

void TrpXLSExport::ExportObject(TrpComponent* object)
{
    auto* view = dynamic_cast<TrpView*>(object);
    if (view == nullptr || FMatrix == nullptr)
        return;
    // Every object of the page starts below the first edge by the merging distance.
    if (TrpComponent* page = view->Page())
        page->SetTop(FMatrix->Inaccuracy);
    if (view->Name() == QStringLiteral("_pagebackground"))
        return;
    if ((view->Printable || ExportNotPrintable) && (dynamic_cast<TrpCustomMemoView*>(view) != nullptr || ExportPictures))
        FMatrix->AddObject(*view);
}

void TrpXLSExport::FinishPage(TrpReportPage* page, int32_t index)
{
    if (page == nullptr)
        return;
    // The page's top was moved for the matrix only; whoever reads the page next sees it as it was.
    page->SetTop(FSavedPageTop);
    if (FMatrix == nullptr)
        return;
    FMatrix->AddPage(page->Orientation(), page->Width(), page->Height(), page->LeftMargin, page->TopMargin,
                     page->RightMargin, page->BottomMargin, page->MirrorMargins, index);
}

void TrpXLSExport::ReportError(const QString& message)
{
    if (Report != nullptr)
        HandleReportError(*Report, message);
    else
        throw EReportError(message.toStdString());
}

void TrpXLSExport::Finish()
{
    if (FMatrix == nullptr)
        return;
    // The matrix lives for this run only, whatever happens.
    struct Release {
        std::unique_ptr<TrpIEMatrix>& matrix;
        ~Release() { matrix.reset(); }
    } release{FMatrix};
    QString failure;
    try {
        FMatrix->Prepare();
        if (OnMatrixPrepared)
            OnMatrixPrepared(*FMatrix);
        XlsxWorkbook book(FileName, Report != nullptr ? Report->EngineOptions().TempDir : QString());
        TrpExportProgress progress(ShowProgress ? Report : nullptr);
        Write(book, progress);
        const QString reason = book.Commit();
        if (!reason.isEmpty())
            failure = FormatScMessage(TscMessage::SCannotCreateFile, {FileName, reason});
    } catch (const platform::Exception& error) {
        failure = QString::fromStdString(error.Message());
    }
    if (!failure.isEmpty()) {
        ReportError(failure);
        return;
    }
    if (requestedBreaks_ > XlsxWorkbook::kMaxPageBreaks)
        ReportError(ResourceText(u"XlsxPageBreaksLimit", {Variant(int32_t{requestedBreaks_}),
                                                           Variant(int32_t{XlsxWorkbook::kMaxPageBreaks})}));
    if (OpenExcelAfterExport && !SlaveExport)
        ReportServices::Ui().OpenUrl(QUrl::fromLocalFile(QFileInfo(FileName).absoluteFilePath()));
}

// --- value rules

QString TrpXLSExport::NumberFormat(const QString& formatString)
{
    if (formatString.isEmpty())
        return QString();
    const QChar last = formatString.back();
    int decimals = 0;
    const qsizetype point = formatString.indexOf(u'.');
    if (point >= 0) {
        const QString digits = formatString.mid(point + 1, formatString.size() - point - 2);
        bool ok = false;
        decimals = digits.toInt(&ok);
        if (!ok || decimals < 0)
            decimals = 0;
        decimals = std::min(decimals, 30); // as many as a number shows
    }
    QString result;
    QChar digit;
    switch (last.unicode()) {
    case u'd': result = QStringLiteral("#"); digit = u'#'; break;
    case u'f': result = QStringLiteral("0"); digit = u'0'; break;
    case u'm':
    case u'n': result = QStringLiteral("#,##0"); digit = u'0'; break;
    default: return QString();
    }
    if (decimals > 0)
        result += u'.' + QString(decimals, digit);
    return result;
}

bool TrpXLSExport::NumberValue(const QString& text, const QString& thousand, const QString& decimal, double& value)
{
    QString work = text;
    if (!thousand.isEmpty())
        work.remove(thousand);
    if (!decimal.isEmpty() && decimal != QStringLiteral("."))
        work.replace(decimal, QStringLiteral("."));
    // Minus signs and digits, "," and "." as the decimal point; the first point counts.
    std::string number;
    bool negative = false;
    bool point = false;
    bool digits = false;
    for (const QChar c : work) {
        if (c == u'-') {
            negative = true;
        } else if (c >= u'0' && c <= u'9') {
            number += static_cast<char>(c.unicode());
            digits = true;
        } else if ((c == u'.' || c == u',') && !point) {
            number += '.';
            point = true;
        }
    }
    if (!digits)
        return false;
    if (!number.empty() && number.back() == '.')
        number.pop_back();
    if (!number.empty() && number.front() == '.')
        number.insert(number.begin(), '0');
    double parsed = 0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), parsed);
    if (result.ec != std::errc())
        return false;
    value = negative ? -parsed : parsed;
    return true;
}

QString TrpXLSExport::CellText(const QStringList& memo)
{
    QString text = memo.join(u'\n');
    text.remove(u'\r');
    while (text.endsWith(u'\n'))
        text.chop(1);
    return text;
}

double TrpXLSExport::QuarterPoints(double points)
{
    return RoundHalfEven(points * 4) / 4;
}

// --- writing

lxw_format* TrpXLSExport::PlainFormat(XlsxWorkbook& book)
{
    XlsxCellFormat format;
    format.Wrap = true;
    return book.Format(format);
}

lxw_format* TrpXLSExport::StyleFormat(XlsxWorkbook& book, int32_t styleIndex, const QString& numberFormat)
{
    const TrpIEMStyle* style = FMatrix->GetStyleById(styleIndex);
    if (style == nullptr) {
        XlsxCellFormat plain;
        plain.Wrap = true;
        plain.NumberFormat = numberFormat;
        return book.Format(plain);
    }
    XlsxCellFormat f;
    f.FontName = style->Font.Name();
    f.FontSize = style->Font.Size();
    f.FontColor = static_cast<int32_t>(ColorToRgb(style->Font.Color()));
    const uint32_t fontStyle = style->Font.Style();
    f.Bold = (fontStyle & kFontStyleBold) != 0;
    f.Italic = (fontStyle & kFontStyleItalic) != 0;
    f.Underline = (fontStyle & kFontStyleUnderline) != 0;
    if (FastExport) {
        // The fast writer leaves white and transparent cells unfilled.
        if (style->Color != clNone) {
            const int32_t rgb = static_cast<int32_t>(ColorToRgb(style->Color, kWhite));
            if (rgb != kWhite)
                f.FillColor = rgb;
        }
        if (style->Rotation >= 1 && style->Rotation <= 90)
            f.Rotation = style->Rotation;
        else if (style->Rotation >= 270 && style->Rotation <= 359)
            f.Rotation = style->Rotation - 360;
    } else {
        f.FillColor = static_cast<int32_t>(ColorToRgb(style->Color, kWhite));
    }
    f.VAlign = style->VAlign <= 2 ? style->VAlign : -1;
    f.HAlign = style->HAlign <= 3 ? style->HAlign : -1;
    f.Borders = style->FrameTyp & 15;
    f.Wrap = true;
    f.NumberFormat = numberFormat;
    return book.Format(f);
}

bool TrpXLSExport::PageBreakAt(int32_t row, int32_t& page) const
{
    // Past the last page there is no break left to place.
    if (!PageBreaks || page >= FMatrix->GetPagesCount())
        return false;
    if (FMatrix->GetYPosById(row) >= FMatrix->GetPageBreak(page)) {
        ++page;
        return true;
    }
    return false;
}

void TrpXLSExport::WritePicture(XlsxWorkbook& book, const TrpIEMObject& obj, int32_t x, int32_t y)
{
    if (obj.Image.isNull() || obj.Image.width() < 1 || obj.Image.height() < 1)
        return;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImage image = obj.Image;
    // 96 dots per inch: the sheet then shows one picture pixel as one screen pixel at 100 %.
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    if (!image.save(&buffer, "PNG"))
        return;
    // The picture's size in points is the object's size / 1.38.
    const double xScale = (obj.Width / kPicturePixelsPerPoint) / (image.width() * 0.75);
    const double yScale = (obj.Height / kPicturePixelsPerPoint) / (image.height() * 0.75);
    // The fast writer moves each picture by one point off the cell's corner.
    const int offset = FastExport ? 1 : 0;
    book.InsertPicture(y, x, png, offset, offset, xScale, yScale);
}

void TrpXLSExport::Write(XlsxWorkbook& book, TrpExportProgress& progress)
{
    TrpIEMatrix& m = *FMatrix;
    const int32_t width = m.Width();
    const int32_t height = m.Height();
    const auto cancelled = [&progress] { return progress.Terminated(); };

    book.SetMargins(FPageLeft / 72, FPageRight / 72, FPageTop / 72, FPageBottom / 72);
    book.SetLandscape(FPageOrientation == poLandscape);
    book.ShowGridLines(GridLines);

    // Rows and page breaks.
    std::vector<uint32_t> breaks;
    int32_t page = 0;
    progress.Execute(std::max(height - 1, 0), FastExport ? Text(u"ProgressRows") + QStringLiteral(" - 1")
                                                          : Text(u"ProgressRows"), true);
    std::vector<double> heights;
    for (int32_t r = 1; r < height && !cancelled(); ++r) {
        if (PageBreakAt(r, page))
            breaks.push_back(static_cast<uint32_t>(r + 1));
        const double points = (m.GetYPosById(r) - m.GetYPosById(r - 1)) / kPixelsPerPoint;
        heights.push_back(std::min(FastExport ? QuarterPoints(points) : points, XlsxWorkbook::kMaxRowHeight));
        progress.Tick();
    }
    if (FastExport) {
        // The most used height becomes the sheet's default; the first of equal counts wins.
        std::map<double, int> uses;
        double common = 0;
        int most = 0;
        for (double h : heights) {
            const int count = ++uses[h];
            if (count > most) {
                most = count;
                common = h;
            }
        }
        if (common > 0)
            book.SetDefaultRowHeight(common);
        for (size_t r = 0; r < heights.size() && r < static_cast<size_t>(XlsxWorkbook::kMaxRows); ++r)
            if (heights[r] > 0 && heights[r] != common)
                book.SetRowHeight(static_cast<int>(r), heights[r]);
    } else {
        for (size_t r = 0; r < heights.size() && r < static_cast<size_t>(XlsxWorkbook::kMaxRows); ++r)
            if (heights[r] > 0)
                book.SetRowHeight(static_cast<int>(r), heights[r]);
    }
    requestedBreaks_ = static_cast<int>(breaks.size());
    book.SetPageBreaks(breaks);

    // Columns.
    progress.Execute(std::max(width - 1, 0), Text(u"ProgressColumns"), true);
    for (int32_t c = 1; c < width && !cancelled(); ++c) {
        const double characters = (m.GetXPosById(c) - m.GetXPosById(c - 1)) / kPixelsPerCharacter;
        if (characters > 0 && characters < 256 && c - 1 < XlsxWorkbook::kMaxColumns)
            book.SetColumnWidth(c - 1, characters);
        progress.Tick();
    }

    // Styles: one format each, made before the cells need them.
    progress.Execute(m.GetStylesCount(), Text(u"ProgressStyles"), true);
    for (int32_t i = 0; i < m.GetStylesCount() && !cancelled(); ++i) {
        if (ExportStyles)
            StyleFormat(book, i, QString());
        ReportServices::Ui().ProcessEvents();
        progress.Tick();
    }

    // Objects, row by row.
    const FormatSettings& settings =
        Report != nullptr ? Report->Script().Settings() : FormatSettings::C();
    progress.Execute(height, Text(u"ProgressObjects"), true);
    for (int32_t y = 0; y < height && !cancelled(); ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const int32_t index = m.GetCell(x, y);
            TrpIEMObject* obj = m.GetObjectById(index);
            if (obj == nullptr || obj->Counter == 1)
                continue;
            obj->Counter = 1;
            const TrpIEMObjectList* placement = m.GetPlacement(index);
            const int32_t dx = placement != nullptr ? std::max(placement->dx, 1) : 1;
            const int32_t dy = placement != nullptr ? std::max(placement->dy, 1) : 1;
            if (x >= XlsxWorkbook::kMaxColumns || y >= XlsxWorkbook::kMaxRows)
                continue;
            const int32_t lastX = std::min(x + dx - 1, XlsxWorkbook::kMaxColumns - 1);
            const int32_t lastY = std::min(y + dy - 1, XlsxWorkbook::kMaxRows - 1);
            if (!obj->IsText) {
                WritePicture(book, *obj, x, y);
                continue;
            }
            QString text = CellText(obj->Memo);
            if (TruncateLongTexts && text.size() > kTruncatedLength)
                text.truncate(kTruncatedLength);
            // The value: a text, or with the fast writer a number from a numeric display format.
            bool isNumber = false;
            double number = 0;
            QString numberFormat;
            const TrpIEMStyle* style = obj->StyleIndex >= 0 ? m.GetStyleById(obj->StyleIndex) : nullptr;
            if (FastExport && !AsText && style != nullptr && style->DisplayFormat().Kind == fkNumeric
                && !text.isEmpty()) {
                const TrpFormat& display = style->DisplayFormat();
                const QString thousand =
                    !display.ThousandSeparator.isEmpty() ? display.ThousandSeparator : QString(settings.ThousandSeparator);
                const QString decimal =
                    !display.DecimalSeparator.isEmpty() ? display.DecimalSeparator : QString(settings.DecimalSeparator);
                // A text without digits has no number: it stays text.
                isNumber = NumberValue(text, thousand, decimal, number);
                if (isNumber && ExportStyles)
                    numberFormat = NumberFormat(display.FormatStr);
            }
            lxw_format* format = ExportStyles ? StyleFormat(book, obj->StyleIndex, numberFormat) : PlainFormat(book);
            const bool span = lastX > x || lastY > y;
            if (span && MergeCells) {
                book.MergeRange(y, x, lastY, lastX, format);
            } else if (span && ExportStyles) {
                for (int32_t yy = y; yy <= lastY; ++yy)
                    for (int32_t xx = x; xx <= lastX; ++xx)
                        if (xx != x || yy != y)
                            book.WriteBlank(yy, xx, format);
            }
            if (isNumber)
                book.WriteNumber(y, x, number, format);
            else
                book.WriteString(y, x, text, format);
        }
        progress.Tick();
    }
    progress.Stop();
}

// --- registration

void TrpXLSExport::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    TrpCustomExportFilter::RegisterClass(registry);
    RegisteredClass& c = registry.Register(Class(), [] {
        return std::unique_ptr<ScriptObject>(TrpCustomExportFilter::CreateNoRegister<TrpXLSExport>().release());
    });
    const auto boolean = [&c](const QString& name, bool TrpXLSExport::*field, bool def) {
        c.AddBoolean(
            name, [field](const ScriptObject& o) { return Variant(static_cast<const TrpXLSExport&>(o).*field); },
            [field](ScriptObject& o, const Variant& v) { static_cast<TrpXLSExport&>(o).*field = v.ToBoolean(); }, def);
    };
    boolean(QStringLiteral("ExportEMF"), &TrpXLSExport::ExportEMF, true);
    boolean(QStringLiteral("ExportStyles"), &TrpXLSExport::ExportStyles, true);
    boolean(QStringLiteral("ExportPictures"), &TrpXLSExport::ExportPictures, true);
    boolean(QStringLiteral("MergeCells"), &TrpXLSExport::MergeCells, true);
    boolean(QStringLiteral("OpenExcelAfterExport"), &TrpXLSExport::OpenExcelAfterExport, false);
    boolean(QStringLiteral("Wysiwyg"), &TrpXLSExport::Wysiwyg, true);
    boolean(QStringLiteral("AsText"), &TrpXLSExport::AsText, false);
    boolean(QStringLiteral("Background"), &TrpXLSExport::Background, true);
    boolean(QStringLiteral("FastExport"), &TrpXLSExport::FastExport, true);
    boolean(QStringLiteral("PageBreaks"), &TrpXLSExport::PageBreaks, true);
    boolean(QStringLiteral("EmptyLines"), &TrpXLSExport::EmptyLines, true);
    boolean(QStringLiteral("TruncateLongTexts"), &TrpXLSExport::TruncateLongTexts, true);
    boolean(QStringLiteral("GridLines"), &TrpXLSExport::GridLines, true);
}
