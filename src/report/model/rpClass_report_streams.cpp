// Loading and saving the report document: which options a file may change, the password, and
// how the errors of a load are reported.

#include "rpClass_report.h"

#include "rpRes.h"
#include "rpStreams.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// Files keep the password with every character code lowered by 10. That only disguises it.
constexpr char16_t kPasswordShift = 10;

QString DisguisePassword(const QString& password)
{
    QString disguised = password;
    for (QChar& c : disguised)
        c = QChar(static_cast<char16_t>(c.unicode() - kPasswordShift));
    return disguised;
}

QString RevealPassword(const QString& disguised)
{
    QString password = disguised;
    for (QChar& c : password)
        c = QChar(static_cast<char16_t>(c.unicode() + kPasswordShift));
    return password;
}

// Whether the disguised password reads back as the password: no character of code 10 or
// below (its disguise would be 0 or wrap around), and no surrogate that the shift would break.
bool CanDisguise(const QString& password)
{
    for (const QChar c : password) {
        if (c.unicode() <= kPasswordShift)
            return false;
    }
    return RevealPassword(QString::fromUtf8(DisguisePassword(password).toUtf8())) == password;
}

// Restores a value when it goes out of scope, also after an exception.
template <class T>
class RestoreOnExit {
public:
    RestoreOnExit(T& target, T value) : target_(target), value_(std::move(value)) {}
    ~RestoreOnExit() { target_ = std::move(value_); }
    RestoreOnExit(const RestoreOnExit&) = delete;
    RestoreOnExit& operator=(const RestoreOnExit&) = delete;

private:
    T& target_;
    T value_;
};

} // namespace

void TrpReport::LoadFromStream(QIODevice& stream)
{
    errors_.clear();
    // What a file may not change: every engine and preview option but eight, and five of the
    // report's own settings. The password entered before stays known across the read.
    TrpEngineOptions engineOptions;
    engineOptions.Assign(engineOptions_);
    engineOptions.DestroyForms = engineOptions_.DestroyForms;
    engineOptions.ReportThread = engineOptions_.ReportThread;
    engineOptions.EnableThreadSafe = engineOptions_.EnableThreadSafe;
    engineOptions.UseGlobalDataSetList = engineOptions_.UseGlobalDataSetList;
    TrpPreviewOptions previewOptions;
    previewOptions.Assign(previewOptions_);
    const QString iniFile = IniFile;
    TrpCustomPreview* const preview = preview_;
    const bool oldStyleProgress = OldStyleProgress;
    const bool showProgress = ShowProgress;
    const bool storeInDFM = StoreInDFM;
    const QString prevPassword = reportOptions_.PrevPassword;

    streamLoaded_ = true;
    loadFailed_ = false;
    try {
        TrpComponent::LoadFromStream(stream);
    } catch (const platform::Exception& failure) {
        streamLoaded_ = false;
        loadFailed_ = true;
        AddError(QString::fromStdString(failure.Message()));
    }

    CheckDataPage();
    const bool convertNulls = engineOptions_.ConvertNulls;
    const bool ignoreDevByZero = engineOptions_.IgnoreDevByZero;
    const bool doublePass = engineOptions_.DoublePass;
    engineOptions_.Assign(engineOptions);
    engineOptions_.DestroyForms = engineOptions.DestroyForms;
    engineOptions_.ReportThread = engineOptions.ReportThread;
    engineOptions_.EnableThreadSafe = engineOptions.EnableThreadSafe;
    engineOptions_.UseGlobalDataSetList = engineOptions.UseGlobalDataSetList;
    engineOptions_.ConvertNulls = convertNulls;
    engineOptions_.IgnoreDevByZero = ignoreDevByZero;
    engineOptions_.DoublePass = doublePass;
    TrpPreviewOptions loadedPreview;
    loadedPreview.Assign(previewOptions_);
    previewOptions_.Assign(previewOptions);
    previewOptions_.OutlineVisible = loadedPreview.OutlineVisible;
    previewOptions_.OutlineWidth = loadedPreview.OutlineWidth;
    previewOptions_.OutlineExpand = loadedPreview.OutlineExpand;
    previewOptions_.PagesInCache = loadedPreview.PagesInCache;
    previewOptions_.ThumbnailVisible = loadedPreview.ThumbnailVisible;
    IniFile = iniFile;
    SetPreview(preview);
    OldStyleProgress = oldStyleProgress;
    ShowProgress = showProgress;
    StoreInDFM = storeInDFM;

    reportOptions_.Password = RevealPassword(reportOptions_.Password);
    reportOptions_.PrevPassword = prevPassword;

    if (reportOptions_.Info) {
        // Only the descriptive options were wanted; they survive their own clearing.
        Clear();
        return;
    }
    if (!Reloading && !engineOptions_.EnableThreadSafe && !reportOptions_.CheckPassword()) {
        Clear();
        return;
    }
    if (!errors_.isEmpty())
        HandleReportError(*this, GetResourcesInstance().Get(u"clErrors") + QStringLiteral("\r\n") +
                                     errors_.join(QStringLiteral("\r\n")));
}

void TrpReport::SaveToStream(QIODevice& stream, bool saveChildren, bool saveDefaultValues, bool streaming)
{
    const QString password = reportOptions_.Password;
    if (!CanDisguise(password))
        throw EComponentError((GetResourcesInstance().Get(u"prInvProp") + QStringLiteral(" Password")).toStdString());
    reportOptions_.PrevPassword = password;
    // The plain password and the preview come back whatever happens while writing.
    const RestoreOnExit<QString> restorePassword(reportOptions_.Password, password);
    const RestoreOnExit<TrpCustomPreview*> restorePreview(preview_, preview_);
    reportOptions_.Password = DisguisePassword(password);
    preview_ = nullptr;
    TrpComponent::SaveToStream(stream, saveChildren, saveDefaultValues, streaming);
}

bool TrpReport::LoadFromFile(const QString& fileName, bool exceptionIfMissing)
{
    Clear();
    fileName_.clear();
    const bool exists = QFileInfo(fileName).isFile();
    if (!exists && !exceptionIfMissing)
        return false;
    const std::unique_ptr<QFile> file = OpenFileForReading(fileName, kMaxReportXMLFileBytes);
    fileName_ = fileName;
    LoadFromStream(*file);
    return exists;
}

void TrpReport::SaveToFile(const QString& fileName)
{
    // A template named by an absolute path is kept relative to the folder of the new file.
    if (parentReport_.size() > 1 && QDir::isAbsolutePath(parentReport_))
        parentReport_ = QFileInfo(fileName).absoluteDir().relativeFilePath(parentReport_);
    SaveFileAtomically(fileName, [this](QIODevice& out) { SaveToStream(out); });
}

TrpComponent* TrpReport::AncestorOf(const QString& name) const
{
    if (parentReportObject_ == nullptr)
        return nullptr;
    if (name.isEmpty() || name.compare(Name(), Qt::CaseInsensitive) == 0)
        return parentReportObject_.get();
    return parentReportObject_->FindObject(name);
}
