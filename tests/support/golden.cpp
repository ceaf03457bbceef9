#include "support/golden.h"

#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>

#include <filesystem>
#include <set>

#include "support/runs.h"

std::vector<std::string> GoldenCaseNames(const std::string& folder,
                                         std::initializer_list<const char*> extensions)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(TestDataPath(folder))) {
        std::string extension = entry.path().extension().string();
        for (const char* wanted : extensions) {
            if (extension == wanted) {
                names.insert(entry.path().stem().string());
            }
        }
    }
    return {names.begin(), names.end()};
}

bool UpdatingGolden()
{
    const char* update = getenv("DISKSIG_UPDATE_GOLDEN");
    return update != nullptr && std::string(update) == "1";
}

void CompareWithGolden(const std::string& path, const std::string& actual)
{
    if (UpdatingGolden() && (!std::filesystem::exists(path) || ReadWholeFile(path) != actual)) {
        WriteWholeFile(path, actual);
        printf("updated %s\n", path.c_str());
        return;
    }
    EXPECT_EQ(actual, ReadWholeFile(path)) << path;
}

std::string GoldenTestName(const testing::TestParamInfo<std::string>& testCase)
{
    std::string name = testCase.param;
    std::erase_if(name, [](char c) { return !isalnum(static_cast<unsigned char>(c)); });
    return name;
}
