// Test fixture of the Windows modem tests: a folder of its own in the
// prefix's temp folder, a test log in it, and the log read back with every
// "HH:MM:SS - " prefix checked and removed.
#pragma once

#include "LogFile.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <regex>
#include <string>

class LogFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char temp[MAX_PATH] = "";
        ASSERT_NE(0u, GetTempPathA(sizeof(temp), temp));
        dir_ = std::string(temp) + "modemtest" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(dir_.c_str(), nullptr);
        logPath_ = dir_ + "\\run.log";
        log_.reset(new CLogFile(logPath_));
        ASSERT_TRUE(log_->IsOpen());
    }
    void TearDown() override
    {
        log_.reset();
        DeleteFileA(logPath_.c_str());
        RemoveDirectoryA(dir_.c_str());
    }

    std::string Log() const
    {
        static const std::regex prefix("(^|\r\n)[0-2][0-9]:[0-5][0-9]:[0-5][0-9] - ");
        return std::regex_replace(testsupport::ReadFileBytes(logPath_), prefix, "$1");
    }

    std::string dir_, logPath_;
    std::unique_ptr<CLogFile> log_;
};
