#pragma once

#include <QString>
#include <QUrl>

#include <functional>
#include <memory>

// Shows a topic of the program's help. A topic is addressed the way the help file names it:
// "DaxConfigurator.chm::/<topic>.htm".
class HelpViewer {
public:
    virtual ~HelpViewer() = default;
    virtual void ShowTopic(const QString& path) = 0;
};

// Opens a link or a file in the desktop's own program (the browser for web addresses and
// help pages). Windows take one so that tests can see what would be opened.
using UrlOpener = std::function<void(const QUrl&)>;
UrlOpener DesktopUrlOpener();

// The help pages as a folder of "<topic>.htm" files: the topic of a help-file path maps to
// the page of that name, which the URL opener shows.
class FolderHelpViewer : public HelpViewer {
public:
    static constexpr const char* kHelpFile = "DaxConfigurator.chm";

    FolderHelpViewer(QString folder, UrlOpener opener);

    // The viewer over the first folder of help pages found: "help" beside the program, then
    // "share/daxconfig/help" above it. None when there is no such folder: help then does nothing.
    static std::unique_ptr<HelpViewer> Find(const QString& programFolder, UrlOpener opener);

    // A path of another help file, or one that names no topic, shows nothing.
    void ShowTopic(const QString& path) override;
    // The page of a help-file path, or an empty text when the path names none.
    QString PageOf(const QString& path) const;

private:
    QString folder_;
    UrlOpener opener_;
};
