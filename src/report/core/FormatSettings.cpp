#include "FormatSettings.h"

const FormatSettings& FormatSettings::C()
{
    static const FormatSettings settings;
    return settings;
}
