// engine_fixture_gen FOLDER: writes the engine's fixture reports (.zi3) and their CSV files
// into FOLDER (tests/report/engine/data/reports).

#include "EngineFixtures.h"

#include "report/engine/EngineRuntime.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: engine_fixture_gen FOLDER\n", stderr);
        return 1;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    EngineRuntime::init();
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile file(folder.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
            return false;
        }
        return true;
    };
    for (const auto& [name, bytes] : enginefixtures::CsvFiles()) {
        if (!write(name, bytes))
            return 1;
    }
    for (const enginefixtures::Fixture& fixture : enginefixtures::Fixtures()) {
        if (!write(fixture.name + QStringLiteral(".zi3"), enginefixtures::SavedReport(fixture.build)))
            return 1;
    }
    return 0;
}
