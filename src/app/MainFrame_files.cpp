// The main window's file commands: opening and saving data files, and saving a configuration
// file for later loading into an instrument. Every save is atomic: a failed one leaves an
// earlier file as it was and no partial file.
#include "MainFrame.h"

#include "Texts.h"
#include "UserPrompts.h"

#include "comm/Sysutil.h"
#include "device/Daxhelper.h"
#include "device/Texts.h"
#include "platform/Cp1251.h"
#include "platform/Exceptions.h"
#include "platform/Files.h"
#include "platform/RegistryStore.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace texts = app;

namespace {

// The name of a file as the system opens it, and as the console shows it.
std::string SystemPath(const QString& fileName)
{
    return QFile::encodeName(fileName).toStdString();
}

std::string ShownPath(const QString& fileName)
{
    return QFileInfo(fileName).absoluteFilePath().toStdString();
}

} // namespace

// A data file replaces everything the pages show: not while read all would overwrite it at its
// end, nor while write all sends what the pages held when it was pressed.
bool TMainForm::RefuseOpenWhileReadingAll()
{
    const char* refusal = pool_->FindByKind(TDax_Frame::kReadAllProcess)    ? texts::kOpenDuringReadAllText
                          : pool_->FindByKind(TDax_Frame::kWriteAllProcess) ? texts::kOpenDuringWriteAllText
                                                                            : nullptr;
    if (!refusal)
        return false;
    Log(refusal, nullptr);
    return true;
}

// A data file is saved only from a state some read or load completed: not while read all
// runs, nor after one that failed or was stopped (its images are new, its records old) until a
// read all ends whole or a data file is loaded.
bool TMainForm::RefuseSaveOfUnfinishedRead()
{
    const char* refusal = pool_->FindByKind(TDax_Frame::kReadAllProcess) ? texts::kSaveDuringReadAllText
                          : frame_->ReadAllUnfinished()                   ? texts::kSaveAfterUnfinishedReadAllText
                                                                          : nullptr;
    if (!refusal)
        return false;
    Log(refusal, nullptr);
    return true;
}

QString TMainForm::FileFolder() const
{
    const QString kept = QString::fromStdString(
        platform::RegistryStore::CurrentUser().ReadString(kRegistryKey, kFileFolderValue, ""));
    if (!kept.isEmpty() && QFileInfo(kept).isDir())
        return kept;
    return QDir::homePath();
}

void TMainForm::RememberFileFolder(const QString& fileName)
{
    if (registryOpen_)
        platform::RegistryStore::CurrentUser().WriteString(kRegistryKey, kFileFolderValue,
                                                           QFileInfo(fileName).absolutePath().toStdString());
}

void TMainForm::FileOpenExecute()
{
    if (RefuseOpenWhileReadingAll())
        return;
    const QString fileName = prompts_->OpenFileName(this, FileFolder(), QString::fromUtf8(texts::kDataFileFilterText));
    if (fileName.isEmpty())
        return;
    RememberFileFolder(fileName);
    FileOpenAccept(fileName);
}

void TMainForm::FileOpenAccept(const QString& fileName)
{
    try {
        if (RefuseOpenWhileReadingAll())
            return;
        // The whole file is read before anything is asked or changed.
        std::vector<uint8_t> bytes;
        if (!platform::ReadFileBytes(SystemPath(fileName), dax_namespace::kMaxDataFileSize, bytes))
            throw platform::Exception(dax_namespace::kBadDataLengthText);
        if (AutoRequestAction->isChecked() &&
            prompts_->Question(this, QString::fromUtf8(texts::kAttentionText),
                               QString::fromUtf8(texts::kAutoRequestOnLoadText))) {
            AutoRequestAction->setChecked(false);
            AutoRequestActionExecute();
        }
        frame_->LoadDataFile(bytes);
        Log(FormatText(texts::kFileLoadedFormat, ShownPath(fileName).c_str()), nullptr);
    } catch (...) {
        Log(platform::CurrentExceptionMessage(), nullptr);
    }
}

void TMainForm::FileSaveAsExecute()
{
    if (RefuseSaveOfUnfinishedRead())
        return;
    const QString fileName = prompts_->SaveFileName(this, FileFolder(), FileSaveAsBeforeExecute(),
                                                    QString::fromUtf8(texts::kDataFileFilterText),
                                                    QString::fromUtf8(texts::kDataFileSuffixText));
    if (!fileName.isEmpty())
        RememberFileFolder(fileName);
    FileSaveAsAccept(fileName);
}

QString TMainForm::FileSaveAsBeforeExecute() const
{
    return QString::fromStdString(frame_->DataFileName());
}

void TMainForm::FileSaveAsAccept(const QString& fileName)
{
    if (fileName.isEmpty() || RefuseSaveOfUnfinishedRead())
        return;
    try {
        frame_->SaveDataFile(SystemPath(fileName));
        Log(FormatText(texts::kFileSavedFormat, ShownPath(fileName).c_str()), nullptr);
    } catch (...) {
        Log(platform::CurrentExceptionMessage(), nullptr);
    }
}

void TMainForm::SaveConfigurationActionExecute()
{
    const QString fileName = prompts_->SaveFileName(this, FileFolder(), QString(),
                                                    QString::fromUtf8(texts::kConfigFileFilterText),
                                                    QString::fromUtf8(texts::kConfigFileSuffixText));
    if (!fileName.isEmpty())
        RememberFileFolder(fileName);
    SaveConfigurationActionAccept(fileName);
}

void TMainForm::SaveConfigurationActionAccept(const QString& fileName)
{
    if (fileName.isEmpty())
        return;
    // The length counts the bytes of the name in the system's 8-bit code page.
    const std::string baseName = platform::Utf8ToCp1251(QFileInfo(fileName).completeBaseName().toStdString());
    if (baseName.size() > texts::kMaxConfigBaseName) {
        Log(texts::kConfigNameTooLongText, nullptr);
        return;
    }
    try {
        if (frame_->SaveConfigFile(SystemPath(fileName)))
            Log(FormatText(texts::kConfigSavedFormat, ShownPath(fileName).c_str()), nullptr);
    } catch (...) {
        Log(platform::CurrentExceptionMessage(), nullptr);
    }
}
