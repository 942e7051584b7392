#pragma once

// The graphics module: the colour constants, the font, pen and brush styles, and TFont, TPen,
// TBrush, TCanvas, TGraphic, TPicture, TMetafile, TMetafileCanvas and TBitmap.

#include "report/script/sc_iinterpreter.h"

class TscGraphicsFunctions : public TscRTTIModule {
public:
    explicit TscGraphicsFunctions(TscScript* script);
};

std::unique_ptr<TscRTTIModule> CreateGraphicsFunctions(TscScript* script);
