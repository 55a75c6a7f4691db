// Shared by the plug-in tests: a work folder with the script, and the call
// log the test plug-ins write (PLUGIN_TEST_LOG). The libraries lie beside
// the test program, which is their program directory.
#pragma once

#include "Plugins.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <setupapi.h>

#include <sstream>
#include <string>
#include <vector>

class PluginFixture : public ::testing::Test
{
public:
    static constexpr const char* kDir = "C:\\plugintest";

    static std::string LogPath() { return std::string(kDir) + "\\calls.log"; }

    // The logged calls that contain `part` (all without), in order.
    static std::vector<std::string> Calls(const std::string& part = std::string())
    {
        std::vector<std::string> calls;
        std::istringstream lines(testsupport::ReadFileBytes(LogPath()));
        for (std::string line; std::getline(lines, line);) {
            if (line.find(part) != std::string::npos)
                calls.push_back(line);
        }
        return calls;
    }

    static void ClearCalls() { DeleteFileA(LogPath().c_str()); }

    static void WriteText(const std::string& path, const std::string& text)
    {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        CloseHandle(file);
    }

protected:
    void SetUp() override
    {
        CreateDirectoryA(kDir, nullptr);
        SetEnvironmentVariableA("PLUGIN_TEST_LOG", LogPath().c_str());
        ClearCalls();
    }

    void TearDown() override
    {
        ReleasePlugins();
        if (script_ != INVALID_HANDLE_VALUE)
            SetupCloseInfFile(script_);
    }

    // Writes `body` behind a version section and opens it.
    HINF OpenScript(const std::string& body)
    {
        const std::string path = std::string(kDir) + "\\setup.inf";
        WriteText(path, "[Version]\r\nSignature=\"$Chicago$\"\r\n\r\n" + body);
        UINT errorLine = 0;
        script_ = SetupOpenInfFileA(path.c_str(), nullptr, INF_STYLE_WIN4, &errorLine);
        return script_;
    }

    HINF script_ = INVALID_HANDLE_VALUE;
};
