#pragma once
// Per text a program shows, the kind of control showing it and the width of
// the narrowest one at 96 dpi: what XLIFF's restype and maxwidth tell
// translation tools.

#include "dialogfit/program_texts.h"
#include "dialogfit/text_measurer.h"
#include "exchange/exchange_types.h"

ControlHints ComputeControlHints(const ProgramTexts &program, TextMeasurer &measurer);
