#pragma once
// Generates realistic language files for benchmarks: placeholders, /n
// escapes, entities, non-ASCII text, duplicate originals, IsTrans marks and
// resource keys, deterministic for a given seed.

#include <QString>
#include <cstdint>

// Writes a language file of `entries` L elements to path; false on failure.
bool generateLanguageFile(const QString &path, int entries, std::uint32_t seed = 1);
