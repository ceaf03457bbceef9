// The system's services beside the disks: the random source that ADVAPI32
// exports, the Windows directory, and the machine-file lines behind them.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/sim/sim.h"
#include "support/runs.h"

namespace {

using RandomFill = BOOLEAN(WINAPI*)(PVOID, ULONG);

// Loads ADVAPI32, runs the random source once on `length` bytes (pre-filled
// with 0xEE) and frees the module again.
struct Draw {
    BOOLEAN ok = FALSE;
    DWORD error = 0;
    std::vector<unsigned char> bytes;
};

Draw DrawRandom(ULONG length)
{
    Draw draw;
    HMODULE module = LoadLibraryA("ADVAPI32.dll");
    EXPECT_NE(module, nullptr);
    FARPROC found = GetProcAddress(module, "SystemFunction036");
    EXPECT_NE(found, nullptr);
    RandomFill fill;
    memcpy(&fill, &found, sizeof fill);
    draw.bytes.assign(length, 0xEE);
    draw.ok = fill(length == 0 ? nullptr : draw.bytes.data(), length);
    draw.error = draw.ok ? 0 : GetLastError();
    FreeLibrary(module);
    return draw;
}

TEST(SimRandomSource, HandsOutTheRandomLineInOrderLittleEndian)
{
    LoadMachine("random 11223344 A 0BADF00D ffffffff 0 5\n");
    const struct {
        ULONG length;
        BOOLEAN ok;
        DWORD error;
        std::vector<unsigned char> bytes;
    } steps[] = {
        {.length = 4, .ok = TRUE, .error = 0, .bytes = {0x44, 0x33, 0x22, 0x11}},
        {.length = 3, .ok = FALSE, .error = 87, .bytes = {0xEE, 0xEE, 0xEE}},
        {.length = 16,
         .ok = TRUE,
         .error = 0,
         .bytes = {0x0A, 0, 0, 0, 0x0D, 0xF0, 0xAD, 0x0B, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0}},
        {.length = 0, .ok = TRUE, .error = 0, .bytes = {}},
        {.length = 8, .ok = FALSE, .error = 31, .bytes = std::vector<unsigned char>(8, 0xEE)},
        {.length = 4, .ok = TRUE, .error = 0, .bytes = {5, 0, 0, 0}},
        {.length = 4, .ok = FALSE, .error = 31, .bytes = std::vector<unsigned char>(4, 0xEE)},
    };
    for (size_t i = 0; i < std::size(steps); ++i) {
        Draw draw = DrawRandom(steps[i].length);
        EXPECT_EQ(draw.ok, steps[i].ok) << "step " << i;
        EXPECT_EQ(draw.error, steps[i].error) << "step " << i;
        EXPECT_EQ(draw.bytes, steps[i].bytes) << "step " << i << ": a failed draw writes nothing";
    }
    EXPECT_TRUE(sim::NothingOutstanding());
}

TEST(SimRandomSource, WithoutARandomLineItAlwaysFailsAndANewMachineStartsOver)
{
    LoadMachine("disk 0 signature 1\n");
    Draw none = DrawRandom(4);
    EXPECT_FALSE(none.ok);
    EXPECT_EQ(none.error, 31u);
    LoadMachine("random 1\n");
    EXPECT_TRUE(DrawRandom(4).ok);
    LoadMachine("random 1\n");
    EXPECT_TRUE(DrawRandom(4).ok) << "a load hands the values out again from the first";
    EXPECT_EQ(sim::CallLog()[2], "SystemFunction036 4");
}

TEST(SimRandomSource, OnlyAdvapi32ExportsItCaseSensitively)
{
    LoadMachine("random 1\n");
    const struct {
        const char* module;
        const char* procedure;
        bool found;
    } cases[] = {
        {.module = "ADVAPI32.dll", .procedure = "SystemFunction036", .found = true},
        {.module = "advapi32", .procedure = "SystemFunction036", .found = true},
        {.module = "ADVAPI32.dll", .procedure = "systemfunction036", .found = false},
        {.module = "ADVAPI32.dll", .procedure = "GetVolumeInformationA", .found = false},
        {.module = "KERNEL32.dll", .procedure = "SystemFunction036", .found = false},
    };
    for (const auto& c : cases) {
        HMODULE module = LoadLibraryA(c.module);
        ASSERT_NE(module, nullptr) << c.module;
        EXPECT_EQ(GetProcAddress(module, c.procedure) != nullptr, c.found) << c.module << " " << c.procedure;
        if (!c.found) {
            EXPECT_EQ(GetLastError(), 127u);
        }
        EXPECT_TRUE(FreeLibrary(module));
    }
    EXPECT_EQ(LoadLibraryA("advapi32.dll.bak"), nullptr);
    EXPECT_EQ(GetLastError(), 126u);
}

TEST(SimSystemDirectory, LetterDefaultNoneAndBufferSizes)
{
    const struct {
        const char* machine;
        UINT size;
        UINT returned;
        const char* stored;  // null: the buffer stays as it was
        DWORD error;
    } cases[] = {
        {.machine = "letter C \\Device\\HarddiskVolume1\n", .size = 64, .returned = 10, .stored = "C:\\WINDOWS", .error = 0},
        {.machine = "letter C \\Device\\HarddiskVolume1\n", .size = 11, .returned = 10, .stored = "C:\\WINDOWS", .error = 0},
        {.machine = "letter C \\Device\\HarddiskVolume1\n", .size = 10, .returned = 11, .stored = nullptr, .error = 0},
        {.machine = "letter C \\Device\\HarddiskVolume1\n", .size = 0, .returned = 11, .stored = nullptr, .error = 0},
        {.machine = "system D\n", .size = 64, .returned = 10, .stored = "D:\\WINDOWS", .error = 0},
        {.machine = "letter C \\Device\\HarddiskVolume1\nsystem E\n", .size = 64, .returned = 10, .stored = "E:\\WINDOWS", .error = 0},
        {.machine = "letter D \\Device\\HarddiskVolume1\n", .size = 64, .returned = 0, .stored = nullptr, .error = 2},
        {.machine = "letter C \\Device\\HarddiskVolume1\nsystem none\n", .size = 64, .returned = 0, .stored = nullptr, .error = 2},
        {.machine = "letter C \\Device\\HarddiskVolume1\nfail system-directory - 5\n", .size = 64, .returned = 0, .stored = nullptr, .error = 5},
    };
    for (const auto& c : cases) {
        LoadMachine(c.machine);
        char buffer[64];
        memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(GetSystemWindowsDirectoryA(buffer, c.size), c.returned) << c.machine << c.size;
        if (c.returned == 0) {
            EXPECT_EQ(GetLastError(), c.error) << c.machine;
        }
        if (c.stored != nullptr) {
            EXPECT_STREQ(buffer, c.stored) << c.machine;
        } else {
            EXPECT_EQ(buffer[0], 'x') << c.machine;
        }
        EXPECT_EQ(sim::CallLog().back(), "GetSystemWindowsDirectoryA -");
    }
}

TEST(SimSystemLines, RefusedForms)
{
    const struct {
        const char* text;
        const char* fault;
    } cases[] = {
        {.text = "random\n", .fault = "t:1: missing random value"},
        {.text = "random 123456789\n", .fault = "t:1: bad random value \"123456789\" (want 1 to 8 hexadecimal digits)"},
        {.text = "random 1 x\n", .fault = "t:1: bad random value \"x\" (want 1 to 8 hexadecimal digits)"},
        {.text = "random 1\nrandom 2\n", .fault = "t:2: random is defined twice"},
        {.text = "system\n", .fault = "t:1: missing system letter or none"},
        {.text = "system c\n", .fault = "t:1: system \"c\" is neither a letter A-Z nor none"},
        {.text = "system C:\n", .fault = "t:1: system \"C:\" is neither a letter A-Z nor none"},
        {.text = "system C D\n", .fault = "t:1: unexpected field \"D\""},
        {.text = "system none\nsystem C\n", .fault = "t:2: system is defined twice"},
        {.text = "fail set-layout-ex\n", .fault = "t:1: missing name"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(sim::LoadMachineText(c.text, ".", "t", &error)) << c.text;
        EXPECT_EQ(error, c.fault) << c.text;
    }
}

}  // namespace
