#pragma once
#include <QString>

// The script file written for one language file in language-folder mode.
// PHP: the source path with its last extension replaced by ".php". JavaScript:
// a name beside the source chosen by the language code in the source's name
// (ViewResDEU.xml gives DEU.js, BackResDEU.xml DEUWebRPB.js) or by the device
// folder the path lies in ("Vantor", "Vantor2"). A null string when no rule
// gives a name: that file is not exported.
QString ScriptOutputPath(const QString &sourcePath, int kind);
