#include "PreparedCommand.h"

#include "report/core/NumberText.h"
#include "report/engine/EngineRuntime.h"
#include "report/engine/rpPreviewPages.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpGraphicUtils.h"
#include "report/model/rpStreams.h"

#include <QImage>
#include <QLocale>
#include <QMap>
#include <QPainter>

#include <cstdio>
#include <functional>
#include <memory>

namespace {

constexpr int kExitDone = 0;
constexpr int kExitUsage = 1;
constexpr int kExitFileError = 1;
constexpr int kExitBadContent = 2;
// Scales beyond these would make pictures too small to see or too large to allocate.
constexpr double kMinScale = 0.1;
constexpr double kMaxScale = 8;

void Print(FILE* out, const QString& text)
{
    const QByteArray line = text.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), out);
}

// Runs a step: a file that cannot be opened or written exits 1, any other refusal (a file that
// is no prepared report, a page that cannot be rebuilt) 2, each with its message.
int Step(const std::function<void()>& step)
{
    try {
        step();
    } catch (const EFOpenError& failure) {
        Print(stderr, QString::fromStdString(failure.Message()));
        return kExitFileError;
    } catch (const EFCreateError& failure) {
        Print(stderr, QString::fromStdString(failure.Message()));
        return kExitFileError;
    } catch (const platform::Exception& failure) {
        Print(stderr, QString::fromStdString(failure.Message()));
        return kExitBadContent;
    }
    return kExitDone;
}

// A report whose store holds the prepared report of a file.
struct Prepared {
    std::unique_ptr<TrpReport> Report;
    TrpPreviewPages* Pages = nullptr;
};

int LoadPrepared(Prepared& prepared, const QString& fileName)
{
    if (const int failed = Step([] { EngineRuntime::init(); }))
        return failed;
    prepared.Report = std::make_unique<TrpReport>();
    prepared.Report->EngineOptions().NewSilentMode = simSilent;
    prepared.Pages = dynamic_cast<TrpPreviewPages*>(prepared.Report->PreviewPages());
    if (prepared.Pages == nullptr)
        return kExitFileError;
    return Step([&] { prepared.Pages->LoadFromFile(fileName, true); });
}

QString Fixed(double value)
{
    return FloatToFixedText(value, 2, u'.');
}

QString General(double value)
{
    return FloatToGeneralText(value, 15, FormatSettings::C());
}

// A memo's text with its line breaks as "\n", on one line.
QString OneLine(const QString& text)
{
    QString result = text;
    if (result.endsWith(QStringLiteral("\r\n")))
        result.chop(2);
    result.replace(QStringLiteral("\\"), QStringLiteral("\\\\"));
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\\n"));
    result.replace(u'\n', QStringLiteral("\\n"));
    result.replace(u'\r', QStringLiteral("\\n"));
    return result;
}

// The memo's text as the export loop hands it on: the page count and copy name filled in.
QString ExpandedText(TrpCustomMemoView& memo, int32_t pageCount)
{
    memo.TotalPages = pageCount;
    memo.CopyNo = 1;
    memo.ExtractMacros();
    return memo.Text();
}

// The nearest band an object lies on, none for a page's own objects.
const TrpComponent* BandOf(const TrpComponent* object)
{
    for (const TrpComponent* c = object->Parent(); c != nullptr; c = c->Parent()) {
        if (c->IsBand())
            return c;
    }
    return nullptr;
}

// Options NAME VALUE of a command, the rest as files; false for an unknown option.
bool SplitArguments(const QStringList& arguments, const QStringList& options, QStringList& files,
                    QMap<QString, QString>& values)
{
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument.startsWith(QLatin1String("--"))) {
            if (!options.contains(argument) || i + 1 >= arguments.size() || values.contains(argument))
                return false;
            values.insert(argument, arguments[++i]);
        } else {
            files << argument;
        }
    }
    return true;
}

// A page number from 1 to `count`, or 0.
int PageNumberOf(const QString& text, int32_t count)
{
    bool ok = false;
    const int number = text.toInt(&ok);
    return ok && number >= 1 && number <= count ? number : 0;
}

int Usage(const char* usage)
{
    std::fputs(usage, stderr);
    return kExitUsage;
}

} // namespace

int RunZp3RoundTrip(const QStringList& arguments)
{
    Prepared prepared;
    if (const int failed = LoadPrepared(prepared, arguments[0]))
        return failed;
    return Step([&] { prepared.Pages->SaveToFile(arguments[1]); });
}

int RunZp3Info(const QStringList& arguments)
{
    Prepared prepared;
    if (const int failed = LoadPrepared(prepared, arguments[0]))
        return failed;
    TrpPreviewPages& pages = *prepared.Pages;
    return Step([&] {
        const int32_t count = pages.GetCount();
        Print(stdout, QStringLiteral("pages=%1").arg(count));
        for (int32_t i = 0; i < count; ++i) {
            const QPoint size = pages.GetPageSize(i);
            const TrpReportPage* page = pages.GetPage(i);
            Print(stdout, QStringLiteral("%1\t%2\t%3x%4\t%5x%6")
                              .arg(i)
                              .arg(pages.PageElementName(i))
                              .arg(size.x())
                              .arg(size.y())
                              .arg(General(page->PaperWidth()), General(page->PaperHeight())));
        }
    });
}

int RunZp3Text(const QStringList& arguments)
{
    static const char kUsage[] = "usage: rptool zp3-text FILE [--page N] [--band NAME]\n";
    QStringList files;
    QMap<QString, QString> values;
    if (!SplitArguments(arguments, {QStringLiteral("--page"), QStringLiteral("--band")}, files, values)
        || files.size() != 1)
        return Usage(kUsage);
    Prepared prepared;
    if (const int failed = LoadPrepared(prepared, files[0]))
        return failed;
    TrpPreviewPages& pages = *prepared.Pages;
    const int32_t count = pages.GetCount();
    int first = 1;
    int last = count;
    if (values.contains(QStringLiteral("--page"))) {
        first = last = PageNumberOf(values.value(QStringLiteral("--page")), count);
        if (first == 0) {
            Print(stderr, QStringLiteral("The prepared report has no page %1.").arg(values.value(QStringLiteral("--page"))));
            return kExitUsage;
        }
    }
    const bool oneBand = values.contains(QStringLiteral("--band"));
    const QString band = values.value(QStringLiteral("--band"));
    return Step([&] {
        for (int number = first; number <= last; ++number) {
            TrpReportPage* page = pages.GetPage(number - 1);
            for (TrpComponent* object : page->AllObjects()) {
                auto* memo = dynamic_cast<TrpCustomMemoView*>(object);
                if (memo == nullptr)
                    continue;
                if (oneBand) {
                    const TrpComponent* owner = BandOf(memo);
                    if (owner == nullptr || owner->Name().compare(band, Qt::CaseInsensitive) != 0)
                        continue;
                }
                QString text = ExpandedText(*memo, count);
                if (text.endsWith(QStringLiteral("\r\n")))
                    text.chop(2);
                for (const QString& line : text.split(QStringLiteral("\r\n")))
                    Print(stdout, line);
            }
        }
    });
}

int RunZp3Dump(const QStringList& arguments)
{
    Prepared prepared;
    if (const int failed = LoadPrepared(prepared, arguments[0]))
        return failed;
    TrpPreviewPages& pages = *prepared.Pages;
    return Step([&] {
        const int32_t count = pages.GetCount();
        for (int32_t i = 0; i < count; ++i) {
            TrpReportPage* page = pages.GetPage(i);
            Print(stdout, QStringLiteral("page %1 %2 %3 %4")
                              .arg(i)
                              .arg(pages.PageElementName(i), Fixed(page->Width()), Fixed(page->Height())));
            const auto dump = [&](const auto& self, const TrpComponent& parent, int depth) -> void {
                for (TrpComponent* object : parent.Objects()) {
                    const QString alias = object->AliasName().isEmpty() ? object->ClassName() : object->AliasName();
                    QString source = pages.Dictionary().GetSourceName(object->AliasName());
                    if (object->AliasName().isEmpty() || source.isEmpty())
                        source = QStringLiteral("-");
                    QString line = QString(2 * depth, u' ') + alias + u' ' + source + u' ' + Fixed(object->Left())
                                   + u' ' + Fixed(object->Top()) + u' ' + Fixed(object->Width()) + u' '
                                   + Fixed(object->Height());
                    if (auto* memo = dynamic_cast<TrpCustomMemoView*>(object))
                        line += u' ' + OneLine(ExpandedText(*memo, count));
                    Print(stdout, line);
                    self(self, *object, depth + 1);
                }
            };
            dump(dump, *page, 1);
        }
    });
}

int RunZp3Render(const QStringList& arguments)
{
    static const char kUsage[] = "usage: rptool zp3-render FILE --page N --out PNG [--scale S]\n";
    QStringList files;
    QMap<QString, QString> values;
    if (!SplitArguments(arguments, {QStringLiteral("--page"), QStringLiteral("--out"), QStringLiteral("--scale")}, files,
                        values)
        || files.size() != 1 || !values.contains(QStringLiteral("--page")) || !values.contains(QStringLiteral("--out")))
        return Usage(kUsage);
    double scale = 1;
    if (values.contains(QStringLiteral("--scale"))) {
        bool ok = false;
        scale = QLocale::c().toDouble(values.value(QStringLiteral("--scale")), &ok);
        if (!ok || scale < kMinScale || scale > kMaxScale)
            return Usage(kUsage);
    }
    bool numberOk = false;
    const int number = values.value(QStringLiteral("--page")).toInt(&numberOk);
    if (!numberOk || number < 1)
        return Usage(kUsage);
    Prepared prepared;
    if (const int failed = LoadPrepared(prepared, files[0]))
        return failed;
    TrpPreviewPages& pages = *prepared.Pages;
    if (number > pages.GetCount()) {
        Print(stderr, QStringLiteral("The prepared report has no page %1.").arg(number));
        return kExitUsage;
    }
    QImage image;
    if (const int failed = Step([&] {
            const TrpReportPage* page = pages.GetPage(number - 1);
            const double pixelsPerMillimetre = kPixelsPerMillimetre * scale;
            image = QImage(RoundToDevice(page->PaperWidth() * pixelsPerMillimetre),
                           RoundToDevice(page->PaperHeight() * pixelsPerMillimetre), QImage::Format_RGB32);
            if (image.isNull())
                throw platform::Exception("The page is too large to draw.");
            image.setDotsPerMeterX(RoundToDevice(96 * scale / 0.0254));
            image.setDotsPerMeterY(RoundToDevice(96 * scale / 0.0254));
            image.fill(Qt::white);
            QPainter painter(&image);
            pages.DrawPage(number - 1, painter, scale, scale, 0, 0, TrpDrawContext());
        }))
        return failed;
    if (!image.save(values.value(QStringLiteral("--out")), "PNG")) {
        Print(stderr, QStringLiteral("Cannot write %1.").arg(values.value(QStringLiteral("--out"))));
        return kExitFileError;
    }
    return kExitDone;
}
