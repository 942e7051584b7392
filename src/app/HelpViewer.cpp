#include "HelpViewer.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>

UrlOpener DesktopUrlOpener()
{
    return [](const QUrl& url) { QDesktopServices::openUrl(url); };
}

FolderHelpViewer::FolderHelpViewer(QString folder, UrlOpener opener)
    : folder_(std::move(folder)), opener_(std::move(opener))
{
}

std::unique_ptr<HelpViewer> FolderHelpViewer::Find(const QString& programFolder, UrlOpener opener)
{
    const QDir program(programFolder);
    for (const QString& candidate : {QStringLiteral("help"), QStringLiteral("../share/daxconfig/help")}) {
        const QFileInfo folder(program.filePath(candidate));
        if (folder.isDir())
            return std::make_unique<FolderHelpViewer>(folder.canonicalFilePath(), std::move(opener));
    }
    return nullptr;
}

QString FolderHelpViewer::PageOf(const QString& path) const
{
    const QString prefix = QString::fromUtf8(kHelpFile) + QStringLiteral("::/");
    if (!path.startsWith(prefix, Qt::CaseInsensitive))
        return {};
    const QString page = path.mid(prefix.size());
    // A topic is one page of the folder: nothing may lead out of it.
    if (page.isEmpty() || page.contains(QLatin1Char('/')) || page.contains(QLatin1Char('\\')) ||
        page.startsWith(QLatin1Char('.')))
        return {};
    return QDir(folder_).filePath(page);
}

void FolderHelpViewer::ShowTopic(const QString& path)
{
    const QString page = PageOf(path);
    if (page.isEmpty() || !opener_)
        return;
    opener_(QUrl::fromLocalFile(page));
}
