// Test entry point: every test runs with its own empty settings folder (DAXCONFIG_HOME),
// so no test sees what another one stored and nothing touches the user's own settings.
#include "TestMain.h"

#include <gtest/gtest.h>

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
