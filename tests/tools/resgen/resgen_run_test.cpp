// The generator run as the build runs it: a file it cannot write is named.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

TEST(Resgen, AFileThatCannotBeWrittenIsNamed) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("resgen_run_test_" + std::to_string(getpid()));
    // A folder where the first file goes: the heightmap cannot be written.
    std::filesystem::create_directories(folder / "2ter256.bmp");
    FILE* pipe = popen((std::string(DEMO_RESGEN) + " " + folder.string() + " 2>&1").c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[512];
    size_t read;
    while ((read = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, read);
    EXPECT_NE(pclose(pipe), 0);
    EXPECT_NE(output.find((folder / "2ter256.bmp").string()), std::string::npos) << output;
    std::filesystem::remove_all(folder);
}

}  // namespace
