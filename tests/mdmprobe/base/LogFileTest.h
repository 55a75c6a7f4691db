// Fixture of the host tests that write a test log: a fresh folder per test
// and the log's bytes read back, with the time prefixes checked and made
// comparable.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <unistd.h>

class LogFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char dir[] = "/tmp/logtestXXXXXX";
        ASSERT_NE(nullptr, mkdtemp(dir));
        dir_ = dir;
        path_ = dir_ + "/run.log";
    }
    void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }

    std::string Contents(const std::string& path) const
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }
    std::string Contents() const { return Contents(path_); }

    // The file with every time prefix replaced by "T - ", after checking
    // that each one is a well-formed "%H:%M:%S - ".
    std::string Normalized() const
    {
        static const std::regex prefix("([01][0-9]|2[0-3]):[0-5][0-9]:[0-5][0-9] - ");
        return std::regex_replace(Contents(), prefix, "T - ");
    }

    std::string dir_;
    std::string path_;
};
