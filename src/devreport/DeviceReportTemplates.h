#pragma once

#include <QString>

#include <array>

class TrpReport;

// The four device report templates, compiled into the library as resources. They stay loaded
// with the device frame; each report rewrites their variables, column memos and page visibility
// in memory and never saves them.
namespace DeviceReportTemplates {

inline constexpr const char* kArchiveReport = "rpReport";           // report type 0
inline constexpr const char* kInfoReport = "rpInfoReport";          // journals, types 1 and 2
inline constexpr const char* kSetupReport01 = "rpSetupReport_01";   // settings of the Dax-01
inline constexpr const char* kSetupReport02 = "rpSetupReport_02";   // settings of every other model
inline constexpr std::array<const char*, 4> kAll = {kArchiveReport, kInfoReport, kSetupReport01, kSetupReport02};

// The resource path of a template by its name.
QString ResourcePath(const QString& name);

// Loads the named template into `report` (after DevReportRuntime::init) and gives it the
// preview buttons of the device reports, which a report file cannot set: every button but
// the template editor's. Raises platform::Exception when the template is unknown or does not
// load cleanly.
void Load(TrpReport& report, const QString& name);

} // namespace DeviceReportTemplates
