#pragma once

// A designer without windows for the designer's parts under test: the seven operations a
// designer window carries do nothing, and every Modified is counted.

#include "report/model/rpClass_services.h"

#include <QStringList>

class StandInDesigner : public TrpCustomDesigner {
public:
    explicit StandInDesigner(TrpReport* report, bool previewDesigner = false)
        : TrpCustomDesigner(report, previewDesigner)
    {
    }

    QStringList Code() override { return {}; }
    QString InsertExpression(const QString& expression) override { return expression; }
    void Lock() override {}
    void ReloadPages(int32_t) override {}
    void ReloadReport() override {}
    void UpdateDataTree() override {}
    void UpdatePage() override {}
    void SetModified(bool value) override
    {
        if (value)
            ++ModifiedCount;
        TrpCustomDesigner::SetModified(value);
    }

    int ModifiedCount = 0;
};
