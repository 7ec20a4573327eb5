#pragma once
// The built-in checks, one function per family of checks, each giving its
// shared, stateless check objects (check_registry.cpp puts them in order).

#include "checks/check.h"

#include <memory>

using CheckList = std::vector<std::shared_ptr<const Check>>;

// placeholders, escapes, length, empty (save_time_checks.cpp).
CheckList SaveTimeChecks();
// accelerator, end-punctuation (mark_checks.cpp).
CheckList MarkChecks();
// whitespace, double-space, invisible (space_checks.cpp).
CheckList SpaceChecks();
// numbers (number_check.cpp).
CheckList NumberChecks();
// doubled-word, case (word_checks.cpp).
CheckList WordChecks();
// urls, brackets (reference_checks.cpp).
CheckList ReferenceChecks();
