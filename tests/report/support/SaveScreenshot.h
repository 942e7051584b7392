#pragma once

// Saves a picture of a widget as NAME.png into $DAX_SCREENSHOT_DIR when that is set, so that
// people can look at what a test built.

#include <QString>
#include <QWidget>

inline void SaveScreenshot(QWidget& widget, const QString& name)
{
    const QByteArray dir = qgetenv("DAX_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        widget.grab().save(QString::fromLocal8Bit(dir) + u'/' + name + QStringLiteral(".png"));
}
