#pragma once
// The TextMeasurer of the fit check, without a display: faces found by
// fontconfig (the fonts of the system and Wine's Tahoma and MS Sans Serif),
// opened with FreeType at the request's pixel size with hinting, as the
// platform's text metrics are, and text shaped with HarfBuzz.

#include "dialogfit/text_measurer.h"

#include <QStringList>

// A measurer of its own (fonts are cached per measurer).
std::shared_ptr<TextMeasurer> MakeFontEngineMeasurer();

// Installs MakeFontEngineMeasurer as the core's measurer maker.
void InstallFontEngineMeasurer();

// The folders searched beside the system's fonts (Wine's font folder).
QStringList ExtraFontFolders();
