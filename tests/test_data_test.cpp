// The test data itself: a machine file's name says which machine it is, so
// two files of one name anywhere under tests/ (the fuzz corpus keeps copies)
// hold the same text.
#include <filesystem>
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "support/runs.h"

namespace {

TEST(TestData, MachineFilesOfOneNameHoldTheSameText)
{
    std::map<std::string, std::string> firstOfName;  // file name -> path
    for (const auto& entry : std::filesystem::recursive_directory_iterator(TestDataPath(""))) {
        if (entry.path().extension() != ".machine") {
            continue;
        }
        std::string name = entry.path().filename().string();
        auto [first, added] = firstOfName.emplace(name, entry.path().string());
        if (!added) {
            EXPECT_EQ(ReadWholeFile(first->second), ReadWholeFile(entry.path().string()))
                << first->second << " and " << entry.path().string() << " share a name";
        }
    }
    EXPECT_FALSE(firstOfName.empty());
}

}  // namespace
