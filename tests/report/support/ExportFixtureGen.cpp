// export_fixture_gen FOLDER: writes the export tests' fixture reports archive.zi3 and
// graphics.zi3 and their data hours.csv and graphics.csv into FOLDER.

#include "ExportFixtures.h"

#include "report/engine/EngineRuntime.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: export_fixture_gen FOLDER\n", stderr);
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    EngineRuntime::init();
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const auto write = [&folder](const QString& name, const QByteArray& bytes) {
        QFile file(folder.filePath(name));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    };
    if (!write(QStringLiteral("hours.csv"), exportfixtures::HoursCsv())
        || !write(QStringLiteral("archive.zi3"), enginefixtures::SavedReport(exportfixtures::BuildArchive))
        || !write(QStringLiteral("graphics.csv"), exportfixtures::GraphicsCsv())
        || !write(QStringLiteral("graphics.zi3"), enginefixtures::SavedReport(exportfixtures::BuildGraphics))) {
        std::fputs("cannot write the fixtures\n", stderr);
        return 1;
    }
    return 0;
}
