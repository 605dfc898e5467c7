#include "host/VexorLog.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

class VexorLogTest : public ::testing::Test {
  protected:
    void SetUp() override { VexorLog::set_stream(&out_); }
    void TearDown() override {
        VexorLog::set_stream(nullptr);
        VexorLog::level_ = 0;
        VexorLog::minimum_level_ = 0;
    }
    std::ostringstream out_;
};

TEST_F(VexorLogTest, EachLineHasItsKindAndEndsWithALineFeed) {
    VexorLog::start_info_line() << "one";
    VexorLog::end_info_line();
    VexorLog::start_warning_line() << "two";
    VexorLog::end_warning_line();
    VexorLog::start_error_line() << "three";
    VexorLog::end_error_line();
    EXPECT_EQ(out_.str(), "Info: one\nWarning: two\nError: three\n");
}

TEST_F(VexorLogTest, DebugLinesAreWrittenOnlyWhenTheLevelsAdmitThem) {
    VexorLog::level_ = 2;
    VexorLog::minimum_level_ = 1;
    VexorLog::start_debug_line(3) << "too detailed";
    VexorLog::end_debug_line();
    VexorLog::start_debug_line(0) << "below the minimum";
    VexorLog::end_debug_line();
    VexorLog::start_debug_line(2) << "admitted";
    VexorLog::end_debug_line();
    EXPECT_EQ(out_.str(), "Debug 2: admitted\n");
}

}  // namespace
