#pragma once
// The --glossary option of the commands that use a glossary: it takes one
// path and may be given again ("--glossary a.tbx --glossary b.csv").

#include <QStringList>

// Takes every "--glossary PATH" out of args (before any "--") into paths;
// false with the reason in *error when one has no path.
bool TakeGlossaryOptions(QStringList &args, QStringList &paths, QString *error);
