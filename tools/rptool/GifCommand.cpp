#include "GifCommand.h"

#include "report/export/rpImageConverter.h"
#include "report/model/rpStreams.h"

#include <QImage>
#include <QImageReader>

#include <cstdio>

namespace {

constexpr int kExitDone = 0;
constexpr int kExitUsage = 1;
constexpr int kExitFileError = 1;
constexpr int kExitBadContent = 2;

void PrintLine(const QString& text)
{
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

} // namespace

int RunGifWrite(const QStringList& arguments)
{
    if (arguments.size() != 2) {
        PrintLine(QStringLiteral("usage: rptool gif-write IN OUT.gif"));
        return kExitUsage;
    }
    QImageReader reader(arguments[0]);
    const QImage image = reader.read();
    if (image.isNull()) {
        PrintLine(QStringLiteral("Cannot read the picture \"%1\". %2").arg(arguments[0], reader.errorString()));
        return kExitBadContent;
    }
    try {
        SaveGraphicToFile(image, arguments[1], gpGIF);
    } catch (const platform::Exception& failure) {
        PrintLine(QString::fromStdString(failure.Message()));
        return kExitFileError;
    }
    return kExitDone;
}
