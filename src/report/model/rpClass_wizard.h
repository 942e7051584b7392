#pragma once

// The interface of the designer's report wizards: a wizard belongs to a designer window and
// works on that designer's report.

#include <QString>

class TrpCustomDesigner;
class TrpReport;

class TrpCustomWizard {
public:
    // `designer` owns the wizard; none gives a wizard without a report.
    explicit TrpCustomWizard(TrpCustomDesigner* designer);
    virtual ~TrpCustomWizard() = default;
    TrpCustomWizard(const TrpCustomWizard&) = delete;
    TrpCustomWizard& operator=(const TrpCustomWizard&) = delete;

    TrpCustomDesigner* Designer() const { return designer_; }
    TrpReport* Report() const { return report_; }

    // What the wizard does, for the designer's wizard list; empty here.
    virtual QString GetDescription() const { return QString(); }
    // Runs the wizard; whether it changed the report.
    virtual bool Execute() = 0;

private:
    TrpCustomDesigner* designer_;
    TrpReport* report_;
};
