#pragma once

#include "DaxChoiceFrame.h"

#include "device/Daxhelper.h"

// The read-all dialog: which archives and journals "Считать параметры" reads, and in which
// order. One instance lives as long as the program, so the last choice stays in force.
class TDaxReadAllForm : public TDaxChoiceForm {
    Q_OBJECT

public:
    static constexpr uint32_t kFullMask = 127;

    explicit TDaxReadAllForm(QWidget* parent = nullptr);

    // The choice as the read-all run takes it.
    DaxReadAllDataSetup Setup() const;
};
