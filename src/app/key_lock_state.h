#pragma once
// Whether Caps Lock, Num Lock and Scroll Lock are on, in that order. Returns
// false (and leaves `on` alone) where the state cannot be read.

bool readKeyLocks(bool on[3]);
