#pragma once

// The designer the command-line views run the designer's windows with: no designer window
// stands behind it, so its window operations do nothing.

#include "report/designer/rpDsgnEditors.h"
#include "report/model/rpClass_services.h"

#include <QStringList>

class StandInDesignerTool : public TrpCustomDesigner, public ITrpDesignUnits {
public:
    explicit StandInDesignerTool(TrpReport* report) : TrpCustomDesigner(report, false) {}
    QStringList Code() override { return {}; }
    QString InsertExpression(const QString& expression) override { return expression; }
    void Lock() override {}
    void ReloadPages(int32_t) override {}
    void ReloadReport() override {}
    void UpdateDataTree() override {}
    void UpdatePage() override {}
    // The units lengths are shown and typed in (props --units); none: as stored.
    std::optional<TrpDesignerUnits> DesignUnits() const override { return Units; }
    std::optional<TrpDesignerUnits> Units;
};
