#pragma once

#include "DaxChoiceFrame.h"

#include "device/Daxhelper.h"

// The write-all dialog: which configuration groups "Записать параметры" (and a saved
// configuration file) take, and in which order. One instance lives as long as the program.
class TDaxWriteAllForm : public TDaxChoiceForm {
    Q_OBJECT

public:
    static constexpr uint32_t kFullMask = 0xFFFFF;

    explicit TDaxWriteAllForm(QWidget* parent = nullptr);

    // The choice as write-all and the configuration file take it.
    DaxWriteAllDataSetup Setup() const;
};
