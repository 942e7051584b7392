#pragma once

// Runs the rptool the test target names (DAX_RPTOOL) and gathers what it answered; with a
// home, the program's settings go there instead of the caller's.

#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

struct ToolRun {
    int exitCode;
    QString out;
    QString err;
};

inline ToolRun Rptool(const QStringList& arguments, const QString& home = QString())
{
    QProcess process;
    if (!home.isEmpty()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DAXCONFIG_HOME"), home);
        process.setProcessEnvironment(environment);
    }
    process.start(QFileInfo(QStringLiteral(DAX_RPTOOL)).absoluteFilePath(), arguments);
    EXPECT_TRUE(process.waitForFinished(120000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}
