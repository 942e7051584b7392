#pragma once

// The dialog module: the option sets and enumerations of the common dialogs, TCommonDialog
// and its six descendants, MessageDlg, InputBox and InputQuery.

#include "sc_iinterpreter.h"

class TscDialogsFunctions : public TscRTTIModule {
public:
    explicit TscDialogsFunctions(TscScript* script);
};

std::unique_ptr<TscRTTIModule> CreateDialogsFunctions(TscScript* script);
