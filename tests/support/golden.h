// Golden cases found from their files: a folder of tests/ holds NAME.machine
// and beside it NAME's expected outputs, so adding a case is adding files.
// With DISKSIG_UPDATE_GOLDEN=1 in the environment the tests rewrite each
// expected file that differs from what the program printed, for a reviewer
// to diff.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include <gtest/gtest.h>

// Every name that a file of the folder (relative to tests/) carries with one
// of the extensions, sorted, each once.
std::vector<std::string> GoldenCaseNames(const std::string& folder,
                                         std::initializer_list<const char*> extensions);

bool UpdatingGolden();

// Expects the expected file to hold exactly the actual text; in update mode
// it writes the file instead when it is missing or differs.
void CompareWithGolden(const std::string& path, const std::string& actual);

// A test name for a case: its letters and digits.
std::string GoldenTestName(const testing::TestParamInfo<std::string>& testCase);
