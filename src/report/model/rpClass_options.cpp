#include "rpClass_options.h"

#include "rpClass_register.h"
#include "rpClass_report.h"
#include "rpRes.h"

#include "report/core/PropertyRegistry.h"
#include "report/core/Services.h"

// Bounds of the numbers the options take from a file or a script.
inline constexpr double kMaxZoom = 100;

// --- TrpEngineOptions

const ScriptClassInfo& TrpEngineOptions::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpEngineOptions"), nullptr};
    return info;
}

void TrpEngineOptions::Assign(const TrpEngineOptions& source)
{
    ConvertNulls = source.ConvertNulls;
    DoublePass = source.DoublePass;
    MaxMemSize = source.MaxMemSize;
    PrintIfEmpty = source.PrintIfEmpty;
    NewSilentMode = source.NewSilentMode;
    TempDir = source.TempDir;
    UseFileCache = source.UseFileCache;
    IgnoreDevByZero = source.IgnoreDevByZero;
}

void TrpEngineOptions::Clear()
{
    ConvertNulls = true;
    IgnoreDevByZero = false;
    DoublePass = false;
}

void TrpEngineOptions::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    const EnumTypeInfo& silentModes = registry.AddEnum(
        QStringLiteral("TrpSilentMode"),
        {QStringLiteral("simMessageBoxes"), QStringLiteral("simSilent"), QStringLiteral("simReThrow")});
    using E = TrpEngineOptions;
    RegisteredClass& c = registry.Register(Class());
    rpreg::Bool<E>(c, "ConvertNulls", &E::ConvertNulls, true);
    rpreg::Bool<E>(c, "DoublePass", &E::DoublePass, false);
    c.AddInteger(QStringLiteral("MaxMemSize"), GetterOf<E>([](const E& o) { return Variant(o.MaxMemSize); }),
                 SetterOf<E>([](E& o, const Variant& v) {
                     o.MaxMemSize = rpreg::Bounded(QStringLiteral("MaxMemSize"), v, 1, kMaxMemSize);
                 }),
                 10);
    rpreg::Bool<E>(c, "PrintIfEmpty", &E::PrintIfEmpty, true);
    rpreg::Bool<E>(c, "SilentMode", &E::SilentMode, &E::SetSilentMode, false);
    rpreg::Enum<E, TrpSilentMode>(c, "NewSilentMode", silentModes, &E::NewSilentMode, simMessageBoxes);
    rpreg::Str<E>(c, "TempDir", &E::TempDir);
    rpreg::Bool<E>(c, "UseFileCache", &E::UseFileCache, false);
    rpreg::Bool<E>(c, "IgnoreDevByZero", &E::IgnoreDevByZero, false);
}

// --- TrpPreviewOptions

const ScriptClassInfo& TrpPreviewOptions::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpPreviewOptions"), nullptr};
    return info;
}

void TrpPreviewOptions::Assign(const TrpPreviewOptions& source)
{
    AllowEdit = source.AllowEdit;
    Buttons = source.Buttons;
    DoubleBuffered = source.DoubleBuffered;
    Maximized = source.Maximized;
    MDIChild = source.MDIChild;
    Modal = source.Modal;
    OutlineExpand = source.OutlineExpand;
    OutlineVisible = source.OutlineVisible;
    OutlineWidth = source.OutlineWidth;
    PagesInCache = source.PagesInCache;
    ShowCaptions = source.ShowCaptions;
    ThumbnailVisible = source.ThumbnailVisible;
    Zoom = source.Zoom;
    ZoomMode = source.ZoomMode;
    PictureCacheInFile = source.PictureCacheInFile;
    RTLPreview = source.RTLPreview;
}

void TrpPreviewOptions::Clear()
{
    OutlineExpand = true;
    OutlineVisible = false;
    OutlineWidth = 120;
    PagesInCache = 50;
    ThumbnailVisible = false;
}

void TrpPreviewOptions::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    const EnumTypeInfo& buttons = registry.AddEnum(
        QStringLiteral("TrpPreviewButton"),
        {QStringLiteral("pbPrint"), QStringLiteral("pbLoad"), QStringLiteral("pbSave"), QStringLiteral("pbExport"),
         QStringLiteral("pbZoom"), QStringLiteral("pbFind"), QStringLiteral("pbOutline"), QStringLiteral("pbPageSetup"),
         QStringLiteral("pbTools"), QStringLiteral("pbEdit"), QStringLiteral("pbNavigator"),
         QStringLiteral("pbExportQuick"), QStringLiteral("pbNoClose"), QStringLiteral("pbNoFullScreen"),
         QStringLiteral("pbNoEmail")});
    const EnumTypeInfo& zoomModes = registry.AddEnum(
        QStringLiteral("TrpZoomMode"),
        {QStringLiteral("zmDefault"), QStringLiteral("zmWholePage"), QStringLiteral("zmPageWidth"), QStringLiteral("zmManyPages")});
    using P = TrpPreviewOptions;
    RegisteredClass& c = registry.Register(Class());
    rpreg::Bool<P>(c, "AllowEdit", &P::AllowEdit, true);
    c.AddSet(QStringLiteral("Buttons"), QStringLiteral("TrpPreviewButtons"), buttons,
             GetterOf<P>([](const P& o) { return Variant(static_cast<int32_t>(o.Buttons)); }),
             SetterOf<P>([](P& o, const Variant& v) { o.Buttons = static_cast<TrpPreviewButtons>(v.ToInt32()); }),
             static_cast<int32_t>(kDefaultPreviewButtons));
    rpreg::Bool<P>(c, "DoubleBuffered", &P::DoubleBuffered, true);
    rpreg::Bool<P>(c, "Maximized", &P::Maximized, true);
    rpreg::Bool<P>(c, "MDIChild", &P::MDIChild, false);
    rpreg::Bool<P>(c, "Modal", &P::Modal, true);
    rpreg::Bool<P>(c, "OutlineExpand", &P::OutlineExpand, true);
    rpreg::Bool<P>(c, "OutlineVisible", &P::OutlineVisible, false);
    c.AddInteger(QStringLiteral("OutlineWidth"), GetterOf<P>([](const P& o) { return Variant(o.OutlineWidth); }),
                 SetterOf<P>([](P& o, const Variant& v) {
                     o.OutlineWidth = rpreg::Bounded(QStringLiteral("OutlineWidth"), v, 0, kMaxOutlineWidth);
                 }),
                 120);
    c.AddInteger(QStringLiteral("PagesInCache"), GetterOf<P>([](const P& o) { return Variant(o.PagesInCache); }),
                 SetterOf<P>([](P& o, const Variant& v) {
                     o.PagesInCache = rpreg::Bounded(QStringLiteral("PagesInCache"), v, 0, kMaxPagesInCache);
                 }),
                 50);
    rpreg::Bool<P>(c, "ShowCaptions", &P::ShowCaptions, false);
    rpreg::Bool<P>(c, "ThumbnailVisible", &P::ThumbnailVisible, false);
    c.AddFloat(QStringLiteral("Zoom"), GetterOf<P>([](const P& o) { return Variant(o.Zoom); }),
               SetterOf<P>([](P& o, const Variant& v) { o.Zoom = rpreg::Bounded(QStringLiteral("Zoom"), v, 0.0, kMaxZoom); }))
        .Default = Variant();
    rpreg::Enum<P, TrpZoomMode>(c, "ZoomMode", zoomModes, &P::ZoomMode, zmDefault);
    rpreg::Bool<P>(c, "PictureCacheInFile", &P::PictureCacheInFile, false);
}

// --- TrpPrintOptions

const ScriptClassInfo& TrpPrintOptions::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpPrintOptions"), nullptr};
    return info;
}

void TrpPrintOptions::Assign(const TrpPrintOptions& source)
{
    Copies = source.Copies;
    Collate = source.Collate;
    PageNumbers = source.PageNumbers;
    Printer = source.Printer;
    PrintMode = source.PrintMode;
    PrintOnSheet = source.PrintOnSheet;
    PrintPages = source.PrintPages;
    Reverse = source.Reverse;
    ShowDialog = source.ShowDialog;
    SplicingLine = source.SplicingLine;
}

void TrpPrintOptions::Clear()
{
    Copies = 1;
    Collate = true;
    PageNumbers.clear();
    PagesOnSheet = 0;
    Printer = GetResourcesInstance().Get(u"prDefault");
    PrintMode = pmDefault;
    PrintOnSheet = 0;
    PrintPages = ppAll;
    Reverse = false;
    ShowDialog = true;
    Duplex = dmNone;
    SplicingLine = 3;
}

void TrpPrintOptions::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    const EnumTypeInfo& modes = registry.AddEnum(
        QStringLiteral("TrpPrintMode"),
        {QStringLiteral("pmDefault"), QStringLiteral("pmSplit"), QStringLiteral("pmJoin"), QStringLiteral("pmScale")});
    const EnumTypeInfo& pages = registry.AddEnum(QStringLiteral("TrpPrintPages"),
                                                 {QStringLiteral("ppAll"), QStringLiteral("ppOdd"), QStringLiteral("ppEven")});
    using P = TrpPrintOptions;
    RegisteredClass& c = registry.Register(Class());
    c.AddInteger(QStringLiteral("Copies"), GetterOf<P>([](const P& o) { return Variant(o.Copies); }),
                 SetterOf<P>([](P& o, const Variant& v) {
                     o.Copies = rpreg::Bounded(QStringLiteral("Copies"), v, 1, kMaxCopies);
                 }),
                 1);
    rpreg::Bool<P>(c, "Collate", &P::Collate, true);
    rpreg::Str<P>(c, "PageNumbers", &P::PageNumbers);
    // An empty printer name is the default printer, stored under its name (an empty text
    // would not be written, and the name would come back).
    c.AddString(QStringLiteral("Printer"), GetterOf<P>([](const P& o) { return Variant(o.Printer); }),
                SetterOf<P>([](P& o, const Variant& v) {
                    const QString name = v.ToString();
                    o.Printer = name.isEmpty() ? GetResourcesInstance().Get(u"prDefault") : name;
                }));
    rpreg::Enum<P, TrpPrintMode>(c, "PrintMode", modes, &P::PrintMode, pmDefault);
    rpreg::Int<P>(c, "PrintOnSheet", &P::PrintOnSheet, std::nullopt);
    rpreg::Enum<P, TrpPrintPages>(c, "PrintPages", pages, &P::PrintPages, ppAll);
    rpreg::Bool<P>(c, "Reverse", &P::Reverse, false);
    rpreg::Bool<P>(c, "ShowDialog", &P::ShowDialog, true);
    rpreg::Bool<P>(c, "SwapPageSize", &P::SwapPageSize, false).Stored = [](const ScriptObject&) { return false; };
}

// --- TrpReportOptions

const ScriptClassInfo& TrpReportOptions::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpReportOptions"), nullptr};
    return info;
}

TrpReportOptions::TrpReportOptions(TrpReport* report) : report_(report)
{
    Clear();
}

void TrpReportOptions::Assign(const TrpReportOptions& source)
{
    Author = source.Author;
    Compressed = source.Compressed;
    connectionName_ = source.connectionName_;
    CreateDate = source.CreateDate;
    description_ = source.description_;
    InitString = source.InitString;
    Name = source.Name;
    LastChange = source.LastChange;
    Password = source.Password;
    picture_.Assign(source.picture_);
    VersionBuild = source.VersionBuild;
    VersionMajor = source.VersionMajor;
    VersionMinor = source.VersionMinor;
    VersionRelease = source.VersionRelease;
}

void TrpReportOptions::Clear()
{
    if (!Info) {
        Author.clear();
        Compressed = false;
        description_.clear();
        picture_.Clear();
        VersionBuild.clear();
        VersionMajor.clear();
        VersionMinor.clear();
        VersionRelease.clear();
        CreateDate = ReportServices::Clock().Now();
        LastChange = CreateDate;
    }
    connectionName_.clear();
    InitString.clear();
    Name.clear();
    Password.clear();
    PrevPassword.clear();
}

bool TrpReportOptions::CheckPassword()
{
    if (Password.isEmpty() || Password == PrevPassword || Password == HiddenPassword)
        return true;
    QString entered;
    const auto& prompt = ModelServices().PasswordPrompt;
    if (prompt && prompt(entered) && entered == Password) {
        PrevPassword = Password;
        return true;
    }
    if (report_ != nullptr) {
        report_->AddError(GetResourcesInstance().Get(u"Invalid password"));
        HandleReportError(*report_, GetResourcesInstance().Get(u"clErrors") + QStringLiteral("\r\n") +
                                        report_->Errors().join(QStringLiteral("\r\n")));
    }
    return false;
}

void TrpReportOptions::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    TrpPicture::RegisterClass(registry);
    using R = TrpReportOptions;
    RegisteredClass& c = registry.Register(Class());
    rpreg::Str<R>(c, "Author", &R::Author);
    rpreg::Bool<R>(c, "Compressed", &R::Compressed, false);
    c.AddString(QStringLiteral("ConnectionName"), GetterOf<R>([](const R& o) { return Variant(o.ConnectionName()); }),
                SetterOf<R>([](R& o, const Variant& v) { o.SetConnectionName(v.ToString()); }));
    rpreg::Float<R>(c, "CreateDate", &R::CreateDate, "TDateTime");
    rpreg::Lines<R>(c, "Description", &R::Description, &R::SetDescription);
    rpreg::Str<R>(c, "InitString", &R::InitString);
    rpreg::Str<R>(c, "Name", &R::Name);
    rpreg::Float<R>(c, "LastChange", &R::LastChange, "TDateTime");
    rpreg::Str<R>(c, "Password", &R::Password);
    rpreg::Nested<R, TrpPicture>(c, "Picture", &R::Picture, &R::SetPicture).TypeName = QStringLiteral("TPicture");
    rpreg::Str<R>(c, "VersionBuild", &R::VersionBuild);
    rpreg::Str<R>(c, "VersionMajor", &R::VersionMajor);
    rpreg::Str<R>(c, "VersionMinor", &R::VersionMinor);
    rpreg::Str<R>(c, "VersionRelease", &R::VersionRelease);
}
