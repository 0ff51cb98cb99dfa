#include "tools/scan/OutputFile.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <ostream>
#include <random>

namespace ferrow {
namespace {

namespace fs = std::filesystem;

// A folder of the test's own, removed with everything in it.
class OutputFile : public ::testing::Test {
protected:
    void SetUp() override {
        m_folder = fs::temp_directory_path() /
                   ("ferrow-output-test-" + std::to_string(std::random_device()()));
        ASSERT_TRUE(fs::create_directory(m_folder)) << m_folder;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
    }

    static std::string Contents(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static bool Write(const fs::path& path, const std::string& text, std::string& error) {
        return WriteFileAtomically(
            path, [&](std::ostream& out) { out << text; }, error);
    }
    std::vector<fs::path> Entries() const {
        return {fs::directory_iterator(m_folder), fs::directory_iterator()};
    }

    fs::path m_folder;
};

TEST_F(OutputFile, MakesAndThenReplacesTheFileWhole) {
    const fs::path path = m_folder / "targets.json";
    std::string error;
    ASSERT_TRUE(Write(path, "first, and longer\n", error)) << error;
    EXPECT_EQ(Contents(path), "first, and longer\n");
    ASSERT_TRUE(Write(path, "second\n", error)) << error;
    EXPECT_EQ(Contents(path), "second\n");
    EXPECT_EQ(Entries(), std::vector<fs::path>{path}) << "no new file stays behind";
}

TEST_F(OutputFile, FailuresLeaveTheOldFileAndNothingElse) {
    const fs::path path = m_folder / "targets.json";
    std::string error;
    ASSERT_TRUE(Write(path, "old\n", error)) << error;

    EXPECT_FALSE(Write(m_folder / "missing" / "targets.json", "new\n", error));
    EXPECT_NE(error.find("cannot make a new file in"), std::string::npos) << error;
    EXPECT_NE(error.find("missing"), std::string::npos) << error;

    error.clear();
    const bool written = WriteFileAtomically(
        path, [](std::ostream& out) { out.setstate(std::ios::badbit); }, error);
    EXPECT_FALSE(written);
    EXPECT_NE(error.find("writing the new file failed"), std::string::npos) << error;

    const fs::path folder = m_folder / "a folder";
    ASSERT_TRUE(fs::create_directory(folder));
    error.clear();
    EXPECT_FALSE(Write(folder, "new\n", error));
    EXPECT_NE(error.find("cannot rename the new file over it"), std::string::npos) << error;

    EXPECT_EQ(Contents(path), "old\n");
    EXPECT_EQ(Entries().size(), 2u) << "only the old file and the folder";
}

} // namespace
} // namespace ferrow
