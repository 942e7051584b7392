#include "MatrixCommand.h"

#include "report/core/NumberText.h"
#include "report/engine/rpPreviewPages.h"
#include "report/export/ExportRuntime.h"
#include "report/export/rpExportMatrix.h"
#include "report/model/rpClass_exportfilter.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpStreams.h"

#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>

namespace {

constexpr int kExitDone = 0;
constexpr int kExitUsage = 1;
constexpr int kExitFileError = 1;
constexpr int kExitRefused = 2;

const char kUsage[] = "usage: rptool matrix IN.zp3 [--page N] [--set NAME=VALUE]...\n";

void PrintError(const QString& text)
{
    const QByteArray line = text.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
}

int Usage()
{
    std::fputs(kUsage, stderr);
    return kExitUsage;
}

// Hands the matrix the views of each page as the HTML export does (pictures included) and
// closes each page.
class MatrixCollector : public TrpCustomExportFilter {
public:
    explicit MatrixCollector(TrpIEMatrix& matrix) : TrpCustomExportFilter(TrpNoRegister{}), matrix_(matrix)
    {
        ShowDialog = false;
    }
    void ExportObject(TrpComponent* object) override
    {
        auto* view = dynamic_cast<TrpView*>(object);
        if (view != nullptr && (view->Printable || ExportNotPrintable))
            matrix_.AddObject(*view);
    }
    void FinishPage(TrpReportPage* page, int32_t index) override
    {
        if (page != nullptr)
            matrix_.AddPage(page->Orientation(), page->Width(), page->Height(), page->LeftMargin, page->TopMargin,
                            page->RightMargin, page->BottomMargin, page->MirrorMargins, index);
    }

private:
    TrpIEMatrix& matrix_;
};

std::optional<bool> BoolValue(const QString& text)
{
    if (text.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0 || text == QStringLiteral("1"))
        return true;
    if (text.compare(QStringLiteral("False"), Qt::CaseInsensitive) == 0 || text == QStringLiteral("0"))
        return false;
    return std::nullopt;
}

// Sets a matrix option by its name; an error text for an unknown name or a bad value.
QString SetOption(TrpIEMatrix& m, const QString& name, const QString& value)
{
    const std::pair<const char*, bool TrpIEMatrix::*> flags[] = {
        {"ShowProgress", &TrpIEMatrix::ShowProgress},       {"RotatedAsImage", &TrpIEMatrix::RotatedAsImage},
        {"RichText", &TrpIEMatrix::RichText},               {"PlainRich", &TrpIEMatrix::PlainRich},
        {"AreaFill", &TrpIEMatrix::AreaFill},               {"CropAreaFill", &TrpIEMatrix::CropAreaFill},
        {"FramesOptimization", &TrpIEMatrix::FramesOptimization},
        {"DeleteHTMLTags", &TrpIEMatrix::DeleteHTMLTags},   {"BackgroundImage", &TrpIEMatrix::BackgroundImage},
        {"Background", &TrpIEMatrix::Background},           {"Printable", &TrpIEMatrix::Printable},
        {"Images", &TrpIEMatrix::Images},                   {"WrapText", &TrpIEMatrix::WrapText},
        {"EmptyLines", &TrpIEMatrix::EmptyLines},           {"BrushAsBitmap", &TrpIEMatrix::BrushAsBitmap},
        {"EMFPictures", &TrpIEMatrix::EMFPictures},         {"DotMatrix", &TrpIEMatrix::DotMatrix},
    };
    const std::pair<const char*, double TrpIEMatrix::*> numbers[] = {
        {"MaxCellHeight", &TrpIEMatrix::MaxCellHeight},
        {"MaxCellWidth", &TrpIEMatrix::MaxCellWidth},
        {"Inaccuracy", &TrpIEMatrix::Inaccuracy},
    };
    for (const auto& [flagName, member] : flags) {
        if (name.compare(QLatin1String(flagName), Qt::CaseInsensitive) != 0)
            continue;
        const std::optional<bool> flag = BoolValue(value);
        if (!flag)
            return QStringLiteral("\"%1\" is not a valid value for %2 (True or False)").arg(value, name);
        m.*member = *flag;
        return QString();
    }
    for (const auto& [numberName, member] : numbers) {
        if (name.compare(QLatin1String(numberName), Qt::CaseInsensitive) != 0)
            continue;
        bool ok = false;
        const double number = QString(value).replace(u',', u'.').toDouble(&ok);
        if (!ok || !std::isfinite(number) || number < 0)
            return QStringLiteral("\"%1\" is not a valid value for %2 (a number of 0 or more)").arg(value, name);
        m.*member = number;
        return QString();
    }
    return QStringLiteral("The matrix has no option \"%1\"").arg(name);
}

QString Fixed(double value)
{
    return FloatToFixedText(value, 2, u'.');
}

// A report colour (red in the low byte) as #RRGGBB; "none" for no colour.
QString ColorText(int32_t color)
{
    if (color == 0x1FFFFFFF)
        return QStringLiteral("none");
    const uint32_t c = uint32_t(color);
    return QStringLiteral("#%1%2%3")
        .arg(c & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((c >> 8) & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((c >> 16) & 0xFF, 2, 16, QLatin1Char('0'))
        .toUpper();
}

// A text on one line: backslash, tab, CR and LF escaped.
QString OneLine(const QString& text)
{
    QString result;
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'\\': result += QStringLiteral("\\\\"); break;
        case u'\t': result += QStringLiteral("\\t"); break;
        case u'\r': result += QStringLiteral("\\r"); break;
        case u'\n': result += QStringLiteral("\\n"); break;
        default: result += c;
        }
    }
    return result;
}

QString EdgeLine(const char* caption, int32_t count, const std::function<double(int32_t)>& edge)
{
    QString line = QLatin1String(caption) + u' ' + QString::number(count) + u':';
    for (int32_t i = 0; i < count; ++i)
        line += u' ' + Fixed(edge(i));
    return line;
}

void Write(const QString& line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

// The grid as text: edges, page breaks, one line per cell-owning object in the order a
// table writes them (row by row, column by column), one line per style.
void Dump(const TrpIEMatrix& m)
{
    Write(EdgeLine("columns", m.Width(), [&](int32_t i) { return m.GetCellXPos(i); }));
    Write(EdgeLine("rows", m.Height(), [&](int32_t i) { return m.GetCellYPos(i); }));
    Write(EdgeLine("pages", m.PagesCount(), [&](int32_t i) { return m.GetPageBreak(i); }));
    QStringList cells;
    std::vector<bool> written(size_t(m.ObjectsCount()), false);
    for (int32_t y = 0; y < m.Height(); ++y) {
        for (int32_t x = 0; x < m.Width(); ++x) {
            const int32_t index = m.GetCell(x, y);
            if (index < 0 || written[size_t(index)])
                continue;
            written[size_t(index)] = true;
            int32_t px = 0, py = 0, dx = 0, dy = 0;
            m.GetObjectPos(index, px, py, dx, dy);
            const TrpIEMObject* obj = m.GetObjectById(index);
            QString kind = obj->IsText ? QStringLiteral("text") : QStringLiteral("picture");
            if (!obj->Image.isNull())
                kind += QStringLiteral(" %1x%2").arg(obj->Image.width()).arg(obj->Image.height());
            cells << QStringLiteral("%1\t%2\t%3\t%4\ts%5\t%6\t%7")
                         .arg(px)
                         .arg(py)
                         .arg(dx)
                         .arg(dy)
                         .arg(obj->StyleIndex)
                         .arg(kind, OneLine(obj->Memo.value(0)));
        }
    }
    Write(QStringLiteral("cells %1: x y dx dy style kind text").arg(cells.size()));
    for (const QString& cell : cells)
        Write(cell);
    Write(QStringLiteral("styles %1").arg(m.StylesCount()));
    static const char* const kHAlign[] = {"left", "right", "center", "justify"};
    static const char* const kVAlign[] = {"top", "bottom", "middle"};
    for (int32_t i = 0; i < m.StylesCount(); ++i) {
        const TrpIEMStyle& s = *m.GetStyleById(i);
        QString font = s.Font.Name() + u' ' + QString::number(s.Font.Size());
        if (s.Font.Style() & ScriptFont::kBold)
            font += QStringLiteral(" bold");
        if (s.Font.Style() & ScriptFont::kItalic)
            font += QStringLiteral(" italic");
        if (s.Font.Style() & ScriptFont::kUnderline)
            font += QStringLiteral(" underline");
        if (s.Font.Style() & ScriptFont::kStrikeOut)
            font += QStringLiteral(" strikeout");
        Write(QStringLiteral("s%1\tfont=%2 %3\tbackground=%4\tframe=%5 %6 %7\talign=%8 %9\tcharset=%10")
                  .arg(i)
                  .arg(font, ColorText(s.Font.Color()), ColorText(s.Color))
                  .arg(s.FrameTyp)
                  .arg(Fixed(s.FrameWidth), ColorText(s.FrameColor))
                  .arg(QLatin1String(s.HAlign < 4 ? kHAlign[s.HAlign] : "?"),
                       QLatin1String(s.VAlign < 3 ? kVAlign[s.VAlign] : "?"))
                  .arg(s.Charset));
    }
}

} // namespace

int RunMatrix(const QStringList& arguments)
{
    QString in;
    QString page;
    QStringList sets;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (argument == QStringLiteral("--page") && hasValue) {
            page = arguments[++i];
            bool ok = false;
            if (page.toInt(&ok) < 1 || !ok)
                return Usage();
        } else if (argument == QStringLiteral("--set") && hasValue) {
            const QString setting = arguments[++i];
            if (setting.indexOf(u'=') <= 0)
                return Usage();
            sets << setting;
        } else if (argument.startsWith(u'-') || !in.isEmpty()) {
            return Usage();
        } else {
            in = argument;
        }
    }
    if (in.isEmpty())
        return Usage();

    try {
        ExportRuntime::init();
    } catch (const platform::Exception& failure) {
        PrintError(QString::fromStdString(failure.Message()));
        return kExitRefused;
    }
    auto report = std::make_unique<TrpReport>();
    report->EngineOptions().NewSilentMode = simSilent;
    auto* store = dynamic_cast<TrpPreviewPages*>(report->PreviewPages());
    if (store == nullptr)
        return kExitFileError;
    try {
        store->LoadFromFile(in, true);
    } catch (const EFOpenError& failure) {
        PrintError(QString::fromStdString(failure.Message()));
        return kExitFileError;
    } catch (const platform::Exception& failure) {
        PrintError(QString::fromStdString(failure.Message()));
        return kExitRefused;
    }
    if (!page.isEmpty() && page.toInt() > store->GetCount()) {
        PrintError(QStringLiteral("The report has %1 pages, not %2").arg(store->GetCount()).arg(page));
        return kExitRefused;
    }

    TrpIEMatrix matrix;
    MatrixCollector collector(matrix);
    collector.PageNumbers = page;
    // As the HTML export sets it for one file holding every page, without a window.
    ApplyHTMLMatrixOptions(matrix, report.get(), false, false, collector.ExportNotPrintable, true);
    for (const QString& setting : sets) {
        const qsizetype equals = setting.indexOf(u'=');
        const QString error = SetOption(matrix, setting.left(equals).trimmed(), setting.mid(equals + 1).trimmed());
        if (!error.isEmpty()) {
            PrintError(error);
            return kExitRefused;
        }
    }
    bool exported = false;
    try {
        exported = report->Export(&collector);
        if (exported)
            matrix.Prepare();
    } catch (const platform::Exception& failure) {
        report->AddError(QString::fromStdString(failure.Message()));
        exported = false;
    }
    if (!exported || !report->Errors().isEmpty()) {
        for (const QString& error : report->Errors())
            PrintError(error);
        if (report->Errors().isEmpty())
            PrintError(QStringLiteral("The pages could not be read."));
        return kExitRefused;
    }
    Dump(matrix);
    return kExitDone;
}
