#pragma once

#include <gtest/gtest.h>

#include <clocale>
#include <memory>
#include <string>

namespace testsupport {

// Switches the C library's locale (LC_ALL) for the lifetime of the object and back again.
// Ok() tells whether the locale is installed.
class ScopedLocale {
public:
    explicit ScopedLocale(const char* name) : previous_(std::setlocale(LC_ALL, nullptr))
    {
        ok_ = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~ScopedLocale() { std::setlocale(LC_ALL, previous_.c_str()); }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

    bool Ok() const { return ok_; }

private:
    std::string previous_;
    bool ok_ = false;
};

// The fixture of tests that must give the same texts under every locale: each test runs under
// the C locale and under a Russian one, whose decimal separator is a comma. Derive a fixture
// from it (or use it as it is) and instantiate with DAX_INSTANTIATE_UNDER_LOCALES(Fixture);
// the cases are named .../C and .../Russian.
class UnderLocale : public testing::TestWithParam<const char*> {
protected:
    void SetUp() override
    {
        locale_ = std::make_unique<ScopedLocale>(GetParam());
        ASSERT_TRUE(locale_->Ok()) << GetParam() << " is not installed";
    }
    void TearDown() override { locale_.reset(); }

private:
    std::unique_ptr<ScopedLocale> locale_;
};

inline std::string LocaleName(const testing::TestParamInfo<const char*>& info)
{
    return info.param[0] == 'C' ? "C" : "Russian";
}

} // namespace testsupport

#define DAX_INSTANTIATE_UNDER_LOCALES(Fixture)                                                             \
    INSTANTIATE_TEST_SUITE_P(Locales, Fixture, testing::Values("C", "ru_RU.UTF-8"), testsupport::LocaleName)
