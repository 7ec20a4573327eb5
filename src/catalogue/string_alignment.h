#pragma once
// Apply To pairs the strings of two language files by their position. This
// finds where that pairing goes wrong, so that the caller can warn.

#include <QString>

struct XmlElement;

// The first string of the source (in the order Apply To walks it) whose
// original the target holds, but at another position: at the same position
// the target has another original or nothing. Apply To then neither marks
// that string nor sees that the target has it, and may append it again.
// Null when the target is in step with the source. Originals are returned in
// memory form.
QString FirstOriginalOutOfStep(const XmlElement *sourceRoot, const XmlElement *targetRoot);
