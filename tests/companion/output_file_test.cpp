// Output files appear whole or not at all, and never replace an input.
#include "companion/output_file.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/tool_run.hpp"

namespace smwave::companion {
namespace {

namespace fs = std::filesystem;
using smwave::testing::read_file;
using smwave::testing::TempDir;
using smwave::testing::write_file;

std::size_t entries(const fs::path& folder) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

TEST(OutputFile, AppearsOnlyWhenCommittedAndReplacesTheOldFileWhole) {
    TempDir dir;
    write_file(dir / "out.txt", "old");
    {
        auto out = OutputFile::open(dir / "out.txt");
        ASSERT_TRUE(out);
        out->write(std::string(3 << 20, 'x'));
        EXPECT_EQ(read_file(dir / "out.txt"), "old");
        EXPECT_EQ(entries(dir.path()), 2u);
        EXPECT_FALSE(out->commit());
    }
    EXPECT_EQ(read_file(dir / "out.txt").size(), 3u << 20);
    EXPECT_EQ(entries(dir.path()), 1u);
    {
        auto abandoned = OutputFile::open(dir / "other.txt");
        ASSERT_TRUE(abandoned);
        abandoned->write("partial");
    }
    EXPECT_EQ(entries(dir.path()), 1u);
}

TEST(OutputFile, FailuresAreReportedWithTheTargetsName) {
    TempDir dir;
    auto missing = OutputFile::open(dir / "no-such-folder" / "out.txt");
    ASSERT_FALSE(missing);
    EXPECT_NE(describe(missing.problem()).find("out.txt: cannot create the file: No such file"),
              std::string::npos);
#ifdef __linux__
    auto full = OutputFile::open("/dev/full");
    ASSERT_TRUE(full);
    full->write("x");
    const auto problem = full->commit();
    ASSERT_TRUE(problem);
    EXPECT_EQ(describe(*problem), "/dev/full: cannot write: No space left on device");
#endif
}

TEST(OutputFile, AnInputIsNeverOverwritten) {
    TempDir dir;
    write_file(dir / "in.txt", "data");
    fs::create_symlink(dir / "in.txt", dir / "link.txt");
    const fs::path inputs[] = {dir / "other.txt", dir / "in.txt"};
    EXPECT_TRUE(refuse_overwriting_inputs(dir / "link.txt", inputs));
    EXPECT_TRUE(refuse_overwriting_inputs(dir / "." / "in.txt", inputs));
    EXPECT_FALSE(refuse_overwriting_inputs(dir / "new.txt", inputs));
}

}  // namespace
}  // namespace smwave::companion
