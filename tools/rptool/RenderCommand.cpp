#include "RenderCommand.h"

#include "report/engine/EngineRuntime.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpGraphicUtils.h"

#include <QImage>
#include <QLocale>
#include <QPainter>

#include <cstdio>

namespace {

constexpr int kExitDone = 0;
constexpr int kExitUsage = 1;
constexpr int kExitFileError = 1;
constexpr int kExitBadContent = 2;
// Scales beyond these would make pictures too small to see or too large to allocate.
constexpr double kMinScale = 0.1;
constexpr double kMaxScale = 8;
constexpr char kUsage[] = "usage: rptool render-design FILE --page N --out PNG [--scale S]\n";

void PrintLine(const QString& text)
{
    const QByteArray line = text.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stderr);
}

// The report pages of the report, in order (dialog and data pages are not printed).
std::vector<TrpReportPage*> ReportPages(const TrpReport& report)
{
    std::vector<TrpReportPage*> pages;
    for (int i = 0; i < report.PagesCount(); ++i) {
        if (auto* page = dynamic_cast<TrpReportPage*>(report.Pages(i)))
            pages.push_back(page);
    }
    return pages;
}

// Draws the views under `parent` (and under views holding others) at their positions.
void DrawViews(QPainter& painter, const TrpComponent& parent, double scale, double offsetX, double offsetY,
               const TrpDrawContext& context)
{
    for (TrpComponent* child : parent.Objects()) {
        if (!child->Visible())
            continue;
        if (auto* view = dynamic_cast<TrpReportComponent*>(child); view != nullptr && !child->IsBand())
            view->Draw(painter, scale, scale, offsetX, offsetY, context);
        DrawViews(painter, *child, scale, offsetX, offsetY, context);
    }
}

// A thin grey outline around every band and its name at its top-left corner.
void DrawBandOutlines(QPainter& painter, const TrpComponent& page, double scale, double offsetX, double offsetY)
{
    const QColor grey(160, 160, 160);
    QFont font;
    font.setPixelSize(std::max(8, RoundToDevice(10 * scale)));
    painter.save();
    painter.setFont(font);
    for (TrpComponent* child : page.Objects()) {
        if (!child->IsBand())
            continue;
        const QRect box(RoundToDevice(offsetX + scale * child->AbsLeft()), RoundToDevice(offsetY + scale * child->AbsTop()),
                        RoundToDevice(scale * child->Width()), RoundToDevice(scale * child->Height()));
        painter.setPen(QPen(grey, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(box);
        painter.setPen(grey);
        painter.drawText(box.left() + 2, box.top() - 2, child->Name());
    }
    painter.restore();
}

} // namespace

int RunRenderDesign(const QStringList& arguments)
{
    QString file;
    QString out;
    int pageNumber = 0;
    double scale = 1;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        bool ok = true;
        if (argument == QLatin1String("--page") && hasValue) {
            pageNumber = arguments[++i].toInt(&ok);
            ok = ok && pageNumber >= 1;
        } else if (argument == QLatin1String("--out") && hasValue) {
            out = arguments[++i];
        } else if (argument == QLatin1String("--scale") && hasValue) {
            scale = QLocale::c().toDouble(arguments[++i], &ok);
            ok = ok && scale >= kMinScale && scale <= kMaxScale;
        } else if (argument.startsWith(QLatin1String("--")) || !file.isEmpty()) {
            ok = false;
        } else {
            file = argument;
        }
        if (!ok) {
            std::fputs(kUsage, stderr);
            return kExitUsage;
        }
    }
    if (file.isEmpty() || out.isEmpty() || pageNumber == 0) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }

    try {
        EngineRuntime::init(); // the model and the engine's classes (dot-matrix objects)
    } catch (const platform::Exception& failure) {
        PrintLine(QString::fromStdString(failure.Message()));
        return kExitFileError;
    }
    TrpReport report;
    report.EngineOptions().NewSilentMode = simSilent;
    try {
        report.LoadFromFile(file);
    } catch (const platform::Exception& failure) {
        PrintLine(QString::fromStdString(failure.Message()));
        return kExitFileError;
    }
    if (!report.Errors().isEmpty()) {
        for (const QString& error : report.Errors())
            PrintLine(error);
        return kExitBadContent;
    }
    const std::vector<TrpReportPage*> pages = ReportPages(report);
    if (pageNumber > static_cast<int>(pages.size())) {
        PrintLine(QStringLiteral("The report has no report page %1.").arg(pageNumber));
        return kExitUsage;
    }
    TrpReportPage& page = *pages[static_cast<std::size_t>(pageNumber - 1)];

    const double pixelsPerMillimetre = kPixelsPerMillimetre * scale;
    QImage image(RoundToDevice(page.PaperWidth() * pixelsPerMillimetre),
                 RoundToDevice(page.PaperHeight() * pixelsPerMillimetre), QImage::Format_RGB32);
    if (image.isNull()) {
        PrintLine(QStringLiteral("The page is too large to draw."));
        return kExitBadContent;
    }
    image.setDotsPerMeterX(RoundToDevice(96 * scale / 0.0254));
    image.setDotsPerMeterY(RoundToDevice(96 * scale / 0.0254));
    image.fill(Qt::white);
    const double offsetX = page.LeftMargin * pixelsPerMillimetre;
    const double offsetY = page.TopMargin * pixelsPerMillimetre;
    const TrpDrawContext context;
    try {
        QPainter painter(&image);
        page.Draw(painter, scale, scale, 0, 0, context);
        DrawBandOutlines(painter, page, scale, offsetX, offsetY);
        DrawViews(painter, page, scale, offsetX, offsetY, context);
    } catch (const platform::Exception& failure) {
        PrintLine(QString::fromStdString(failure.Message()));
        return kExitBadContent;
    }
    if (!image.save(out, "PNG")) {
        PrintLine(QStringLiteral("Cannot write %1.").arg(out));
        return kExitFileError;
    }
    return kExitDone;
}
