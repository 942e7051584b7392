// Test entry point: every test runs with its own empty settings folder (DAXCONFIG_HOME),
// so no test sees what another one stored and nothing touches the user's own settings.
// Every test program runs in its own folder, where the paths the build hands it (data
// folders, the tools it starts) are relative to: so it runs the same from ctest and by hand.
#include "TestMain.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

class FreshSettingsHome : public testing::EmptyTestEventListener {
public:
    void OnTestStart(const testing::TestInfo&) override
    {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/daxtest-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            ADD_FAILURE() << "cannot create a temporary settings folder";
            return;
        }
        home_ = pattern;
        ::setenv("DAXCONFIG_HOME", home_.c_str(), 1);
    }

    void OnTestEnd(const testing::TestInfo&) override
    {
        if (home_.empty())
            return;
        std::error_code error;
        std::filesystem::remove_all(home_, error);
        home_.clear();
    }

private:
    std::string home_;
};

} // namespace

void InstallTestEnvironment()
{
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || ::chdir(program.parent_path().c_str()) != 0)
        std::fprintf(stderr, "cannot change into the test program's folder: the test data may not be found\n");
    testing::UnitTest::GetInstance()->listeners().Append(new FreshSettingsHome);
}

#ifndef DAX_GUI_TEST_MAIN
int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    InstallTestEnvironment();
    return RUN_ALL_TESTS();
}
#endif
