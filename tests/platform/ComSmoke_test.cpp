// The whole chain at its simplest: a Windows program opens a COM port that
// Wine maps to the modem simulator's pseudo-terminal, sets 115200 8N1, sends
// "AT" and gets the echo and OK back; the simulator saw the same on its side.
#include "ModemTranscript.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

TEST(ComPortSmoke, AtGetsEchoAndOkFromTheSimulatedModem)
{
    HANDLE port = CreateFileA("COM5", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, port) << "error " << GetLastError();

    DCB dcb = {};
    dcb.DCBlength = sizeof(dcb);
    ASSERT_TRUE(GetCommState(port, &dcb));
    dcb.BaudRate = 115200;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    ASSERT_TRUE(SetCommState(port, &dcb));
    COMMTIMEOUTS timeouts = {};
    timeouts.ReadIntervalTimeout = 200;
    timeouts.ReadTotalTimeoutConstant = 2000;
    timeouts.WriteTotalTimeoutConstant = 2000;
    ASSERT_TRUE(SetCommTimeouts(port, &timeouts));

    DWORD written = 0;
    ASSERT_TRUE(WriteFile(port, "AT\r", 3, &written, nullptr));
    EXPECT_EQ(3u, written);

    std::string answer;
    DWORD start = GetTickCount();
    while (answer.find("\r\nOK\r\n") == std::string::npos && GetTickCount() - start < 3000) {
        char buffer[64];
        DWORD got = 0;
        if (!ReadFile(port, buffer, sizeof(buffer), &got, nullptr))
            break;
        answer.append(buffer, got);
    }
    CloseHandle(port);
    EXPECT_EQ("AT\r\r\nOK\r\n", answer);

    testsupport::ModemTranscript transcript;
    ASSERT_TRUE(transcript.Load(testsupport::Env("MODEMSIM_COM5_TRANSCRIPT")));
    EXPECT_EQ("AT\r", transcript.Received());
    EXPECT_EQ(0u, transcript.LastLineSettings().find("115200 8N1")) << transcript.LastLineSettings();
}

TEST(ComPortSmoke, OnlyTheMappedPortExists)
{
    // The machine's own serial ports are hidden from the tests, by the
    // sandbox's private /dev or, without the sandbox, by winetest's folders
    // in their place in the prefix: COM1 is not the machine's /dev/ttyS0.
    // (On a machine without serial ports this holds anyway.)
    HANDLE port = CreateFileA("COM1", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    EXPECT_EQ(INVALID_HANDLE_VALUE, port);
    if (port != INVALID_HANDLE_VALUE)
        CloseHandle(port);
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key));
    DWORD values = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                     nullptr, nullptr, nullptr);
    char name[256];
    char data[256];
    DWORD nameSize = sizeof(name), dataSize = sizeof(data), type = 0;
    LONG first = RegEnumValueA(key, 0, name, &nameSize, nullptr, &type,
                               reinterpret_cast<BYTE*>(data), &dataSize);
    RegCloseKey(key);
    EXPECT_EQ(1u, values);
    ASSERT_EQ(ERROR_SUCCESS, first);
    EXPECT_STREQ("COM5", data);
}

}  // namespace
