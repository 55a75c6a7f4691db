// Port enumeration under both Windows families, and the port scan over COM3
// (nothing attached), COM4 (a modem of another family) and COM5 (the
// VX-56i; in one case a modem of the family without a name). A message-only
// window on the test's thread stands for the search page and records every
// MSG_SCAN_EVENT: code, sent or posted, its string, and whether the serial
// port was open at that moment.
#include "IniFile.h"
#include "LogFixture.h"
#include "MessageBox.h"
#include "ModemCmds.h"
#include "ModemInfo.h"
#include "ModemTranscript.h"
#include "PageMessages.h"
#include "PortEnum.h"
#include "PortScan.h"
#include "Serial.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <thread>
#include <tuple>
#include <vector>

namespace {

std::vector<std::string> Names(const char* block)
{
    std::vector<std::string> names;
    for (size_t i = 0; NameAt(block, i); ++i)
        names.push_back(NameAt(block, i));
    return names;
}

// Creates `key` below HKLM (volatile, as the device map must be) and, unless
// `name` is null, sets that value.
void SetValue(const std::string& key, const char* name, DWORD type = 0, const std::string& data = "")
{
    HKEY handle;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr,
                                             REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &handle, nullptr));
    if (name)
        RegSetValueExA(handle, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                       static_cast<DWORD>(data.size()));
    RegCloseKey(handle);
}

const char kSerialComm[] = "Hardware\\DeviceMap\\SerialComm";

TEST(PortEnum, NtFamilyListsTheDataOfSerialCommOnce)
{
    EXPECT_EQ((std::vector<std::string>{"COM3", "COM4", "COM5"}), Names(EnumSerialPorts()));
    // A duplicate in other case, data too long for a port name (the walk goes
    // on behind it), a name stored as raw bytes.
    SetValue(kSerialComm, "x1", REG_SZ, std::string("com4", 5));
    SetValue(kSerialComm, "x2", REG_SZ, std::string(300, 'X'));
    SetValue(kSerialComm, "x3", REG_BINARY, "COM9");
    EXPECT_EQ((std::vector<std::string>{"COM3", "COM4", "COM5", "COM9"}), Names(EnumSerialPorts()));

    ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyA(HKEY_LOCAL_MACHINE, kSerialComm));
    EXPECT_EQ(nullptr, EnumSerialPorts()) << "no key: no list";
    SetValue(kSerialComm, nullptr);
    const char* empty = EnumSerialPorts();
    ASSERT_NE(nullptr, empty) << "an empty key gives an empty list";
    EXPECT_EQ('\0', empty[0]);
}

TEST(PortEnum, Windows98ListsPortInstancesOfTheSerialClass)
{
    EXPECT_EQ(nullptr, EnumSerialPorts()) << "no HKLM\\Enum";
    struct
    {
        const char* instance;
        const char* port;
        const char* driver;  // nullptr: no Driver value
        std::string subclass;
    } const instances[] = {
        {"BIOS\\*PNP0501\\00", "COM1", "Ports\\0000", "\x01"},
        {"BIOS\\*PNP0501\\01", "com1", "Ports\\0001", "\x02"},           // duplicate
        {"BIOS\\*PNP0501\\02", "COM4", "Ports\\0002", std::string(1, '\0')},
        {"BIOS\\*PNP0501\\03", "COM5", "Ports\\0003", std::string("\x01\0", 2)},
        {"BIOS\\*PNP0501\\04", "COM6", nullptr, "\x01"},
        {"Root\\Ports\\0000", "COM2", "Ports\\0005", "\x02"},
    };
    for (const auto& i : instances) {
        const std::string key = std::string("Enum\\") + i.instance;
        SetValue(key, "PortName", REG_SZ, i.port);
        if (i.driver) {
            SetValue(key, "Driver", REG_SZ, i.driver);
            SetValue(std::string("System\\CurrentControlSet\\Services\\Class\\") + i.driver,
                     "PortSubClass", REG_BINARY, i.subclass);
        }
    }
    SetValue(kSerialComm, "\\Device\\Serial9", REG_SZ, "COM9");  // the NT family's place
    EXPECT_EQ((std::vector<std::string>{"COM1", "COM2"}), Names(EnumSerialPorts()));
}

// code, sent (not posted), string of 1026/1027, serial port open
using Event = std::tuple<WPARAM, bool, std::string, bool>;

const char kIni[] = "[Common]\n"
                    "DiagCmd=AT*DIAG\nDiagAnswer=DIAG <\nModemDetectCmd=ATI0\nModemDetectAnsw=VANTOR\n"
                    "ModemReadName=AT+GMM\nModemReadName2=ATI3\nModemReadFirmw=AT+GMR\n"
                    "DefaultCRCCheckCmd=AT*CRC\nDefaultCRCCheckAnswer=PASSED\nDefaultRAMCheckCmd=AT*RAM\n"
                    "DefaultRAMCheckError=FAULT\nDefaultDialCmd=ATDTW\nDefaultDialCmdNoDialT=ATDT\n"
                    "DefaultDialAnswer=CONNECT\nDefaultMinSpeed=28800\nConnectTime=3000\nHangupTime=1000\n"
                    "[VX-56i]\nModemTapiName=Vantor VX-56i PCI Modem\nModemReadFirmw=AT*VER\nDiagCmd=AT*DIAG\n";

class ScanTest : public LogFixture
{
protected:
    void SetUp() override
    {
        LogFixture::SetUp();
        ini_ = CIniFile(dir_ + "\\probe.ini");
        std::ofstream(ini_.GetPath()) << kIni;
        SetMessageBoxHandler([](const char* text, const char*, UINT) {
            ADD_FAILURE() << "message box: " << text;
            return IDOK;
        });
        modem_.serialPort = &serial_;
        modem_.commands = &commands_;

        page_ = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        SetWindowLongPtrA(page_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SetWindowLongPtrA(page_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PageProc));
    }
    void TearDown() override
    {
        DestroyWindow(page_);
        LogFixture::TearDown();
    }

    // Runs the worker on a thread of its own while this thread serves the
    // page until the posted result arrives.
    bool Scan()
    {
        bool found = false;
        std::thread worker([&] { found = PortScanWorker(page_, modem_, *log_, ini_, searchAllPorts_, status_); });
        const DWORD start = GetTickCount();
        while ((events_.empty() || std::get<1>(events_.back())) && GetTickCount() - start < 60000) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
        }
        worker.join();
        return found;
    }

    static LRESULT CALLBACK PageProc(HWND hwnd, UINT msg, WPARAM code, LPARAM text)
    {
        auto* self = reinterpret_cast<ScanTest*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (msg != MSG_SCAN_EVENT || !self)
            return DefWindowProcA(hwnd, msg, code, text);
        const bool named = code == SCAN_EVENT_PORT || code == SCAN_EVENT_MODEM;
        self->events_.emplace_back(code, InSendMessage() != FALSE,
                                   named ? *reinterpret_cast<const std::string*>(text) : "",
                                   self->serial_.IsOpen());
        self->times_.push_back(testsupport::PreciseMs());
        if (code == self->stopOn_)
            self->modem_.stopRequested = true;  // as Back would
        return 0;
    }

    // Everything the PC sent on `port`, without the CRs sent while waiting
    // for an answer.
    static std::string Sent(const std::string& port)
    {
        testsupport::ModemTranscript transcript;
        EXPECT_TRUE(transcript.Load(testsupport::Env(("MODEMSIM_" + port + "_TRANSCRIPT").c_str())));
        std::string sent = transcript.Received();
        sent.erase(std::unique(sent.begin(), sent.end(), [](char a, char b) { return a == '\r' && b == a; }),
                   sent.end());
        return sent;
    }

    CIniFile ini_;
    CSerial serial_;
    ModemCmds commands_;
    ModemInfo modem_;
    bool searchAllPorts_ = true;
    int32_t status_ = 0;
    HWND page_ = nullptr;
    std::vector<Event> events_;
    std::vector<DWORD> times_;
    WPARAM stopOn_ = ~WPARAM(0);  // the page stops the scan on this event
};

const std::string kBegin = "\r\n" + std::string(58, '=') +
                           "\r\n===================  BEGIN PORT SCAN  ====================\r\n";
const std::string kNext = "\r\n===================  SCAN NEXT PORT  =====================\r\n";
const std::string kDiag = "\r\n======================  DIAG TEST  =======================\r\n";

std::string NoModem(const std::string& port)
{
    return kDiag + "Result of DIAG-Test : not recognized on " + port + "!\r\n\r\nNo modem detected on: " +
           port + "\r\n";
}

TEST_F(ScanTest, AllPortsUntilTheModemOfTheFamily)
{
    ASSERT_TRUE(Scan());
    EXPECT_EQ((std::vector<Event>{Event{SCAN_EVENT_PORT, true, "COM3", false},
                                  Event{SCAN_EVENT_PORT, true, "COM4", false},
                                  Event{SCAN_EVENT_PORT, true, "COM5", false},
                                  Event{SCAN_EVENT_MODEM, true, "VX-56i", true},
                                  Event{SCAN_RESULT_FOUND, false, "", true}}),
              events_);
    EXPECT_EQ(STATUS_MODEM_FOUND, status_);
    EXPECT_EQ("COM5", modem_.port);
    EXPECT_EQ("3.02", modem_.firmwareVersion);
    EXPECT_TRUE(serial_.IsOpen() && serial_.GetPortName() == "COM5");
    EXPECT_EQ("Vantor VX-56i PCI Modem", modem_.tapiModemName);
    EXPECT_EQ("AT*CRC", commands_.CRCCheckCmd);

    // COM4 answered the detect command without "VANTOR": nothing more was
    // asked there. COM5 got the model's own firmware command.
    EXPECT_EQ("AT*DIAG\rATI0\r", Sent("COM3"));
    EXPECT_EQ("AT*DIAG\rATI0\r", Sent("COM4"));
    EXPECT_EQ("AT*DIAG\rATI0\rAT+GMM\rAT*VER\r", Sent("COM5"));

    std::string expected = kBegin + "Automat. port scan  : COM3\r\n" + NoModem("COM3") + kNext +
                           "Automat. port scan  : COM4\r\n" + NoModem("COM4") + kNext +
                           "Automat. port scan  : COM5\r\n" + kDiag + "Token = 0x5631\r\n";
    for (const char* pair : {"01=F", "02=8340", "03=\"V.34 33600\"", "04=1", "05=17", "06=0"})
        expected += std::string("Key 0x") + pair + " not described in " + ini_.GetPath() + "!\r\n";
    expected += "\r\n================  RESULT OF PORT SCAN  ===================\r\n"
                "Detected modem      : VX-56i (COM5)\r\n"
                "PRG-MESSAGE         : no SerialNbr conditions for this modem in .INI File !\r\n"
                "Search modem .INI   : Modem found.\r\n";
    for (const char* key : {"CRCCheckCmd", "CRCCheckAnswer", "RAMCheckCmd", "RAMCheckError", "DialCmd",
                            "DialCmdNoDialT", "DialAnswer", "MinSpeed", "ConnectTime", "HangupTime"})
        expected += std::string("ModemCmds & Answers : ") + key + " not in INI > default loaded !\r\n";
    EXPECT_EQ(expected, Log());

    // Giving up on a port with nothing attached: opening (DTR pulse 20 ms
    // and 20 ms), 500 ms purge before the diagnostic test and 500 ms in it,
    // then 2500 ms without the line end of each of the two commands.
    const DWORD giveUpMs = times_[1] - times_[0];
    std::printf("gave up on a port without modem after %lu ms (prescribed waits 6040 ms)\n", giveUpMs);
    EXPECT_GE(giveUpMs, 6000u);
    EXPECT_LT(giveUpMs, 7000u) << "the waits are the floor; little may come on top";
}

TEST_F(ScanTest, PresetPortIsTheOnlyOneTried)
{
    searchAllPorts_ = false;
    modem_.port = "COM4";  // not the modem, which is on COM5
    EXPECT_FALSE(Scan());
    EXPECT_EQ((std::vector<Event>{Event{SCAN_EVENT_PORT, true, "COM4", false},
                                  Event{SCAN_RESULT_NONE, false, "", false}}),
              events_);
    EXPECT_EQ(kBegin + "Scanning Port       : COM4\r\n" + kDiag +
                  "Result of DIAG-Test : not recognized on COM4!\r\n",
              Log());
    EXPECT_EQ("", Sent("COM5"));
}

TEST_F(ScanTest, StopClosesThePortInProgressAndPostsZero)
{
    stopOn_ = SCAN_EVENT_PORT;  // COM3, nothing attached
    EXPECT_FALSE(Scan());
    EXPECT_EQ((std::vector<Event>{Event{SCAN_EVENT_PORT, true, "COM3", false},
                                  Event{SCAN_RESULT_STOPPED, false, "", false}}),
              events_);
    EXPECT_EQ(STATUS_NO_MODEM, status_);
    EXPECT_EQ(kBegin + "Automat. port scan  : COM3\r\n" + kDiag +
                  "Result of DIAG-Test : not recognized on COM3!\r\n",
              Log());
    EXPECT_EQ("", Sent("COM3")) << "every request ends before sending";
    EXPECT_EQ("", Sent("COM4"));
}

TEST_F(ScanTest, StopAfterTheModemAnsweredForgetsIt)
{
    searchAllPorts_ = false;
    modem_.port = "COM5";
    stopOn_ = SCAN_EVENT_MODEM;
    EXPECT_FALSE(Scan());
    EXPECT_EQ((std::vector<Event>{Event{SCAN_EVENT_PORT, true, "COM5", false},
                                  Event{SCAN_EVENT_MODEM, true, "VX-56i", true},
                                  Event{SCAN_RESULT_STOPPED, false, "", false}}),
              events_);
    EXPECT_EQ(STATUS_NO_MODEM, status_);
    EXPECT_EQ("", modem_.modemName) << "the next activation of the page scans again";
    EXPECT_EQ("", modem_.firmwareVersion);
}

std::vector<std::string> g_boxes;  // the message boxes of the running test

// COM5 holds a modem of the family that gives no name: it is identified with
// an empty name, and the Common values serve it, as no section "" exists.
TEST_F(ScanTest, ModemWithoutNameIsIdentifiedWithTheCommonValues)
{
    g_boxes.clear();
    SetMessageBoxHandler([](const char* text, const char*, UINT) {
        g_boxes.push_back(text);
        return IDOK;
    });
    searchAllPorts_ = false;
    modem_.port = "COM5";
    ASSERT_TRUE(Scan());
    EXPECT_EQ((std::vector<Event>{Event{SCAN_EVENT_PORT, true, "COM5", false},
                                  Event{SCAN_EVENT_MODEM, true, "", true},
                                  Event{SCAN_RESULT_FOUND, false, "", true}}),
              events_);
    EXPECT_EQ(STATUS_MODEM_FOUND, status_);
    EXPECT_EQ("", modem_.modemName);
    EXPECT_EQ("3.10", modem_.firmwareVersion);
    EXPECT_TRUE(serial_.IsOpen());
    EXPECT_EQ(std::vector<std::string>{" : No TapiModemName for this section !"}, g_boxes);
    EXPECT_EQ("", modem_.tapiModemName);
    EXPECT_EQ("AT*CRC", commands_.CRCCheckCmd);
    EXPECT_EQ("FAULT", commands_.RAMCheckError);
    EXPECT_EQ("ATDTW", commands_.DialCmd);
    EXPECT_EQ(28800, modem_.minSpeed);
    EXPECT_EQ(3000, modem_.connectTime);
    EXPECT_EQ("", commands_.DiagCmd) << "DiagCmd has no Common fallback";
    // The second name query, and the Common firmware command.
    EXPECT_EQ("AT*DIAG\rATI0\rAT+GMM\rATI3\rAT+GMR\r", Sent("COM5"));
    EXPECT_NE(std::string::npos, Log().find("\r\nDetected modem      :  (COM5)\r\n"
                                            "PRG-MESSAGE         : no SerialNbr conditions"))
        << Log();
}

TEST_F(ScanTest, MissingDefinitionFileLogsItAndFindsNothing)
{
    ini_ = CIniFile(dir_ + "\\missing.ini");
    searchAllPorts_ = false;
    modem_.port = "COM5";
    EXPECT_FALSE(Scan());
    EXPECT_EQ((std::vector<Event>{Event{SCAN_EVENT_PORT, true, "COM5", false},
                                  Event{SCAN_RESULT_NONE, false, "", false}}),
              events_);
    std::string expected = "ERROR               : .INI File not found !\r\n";
    for (const char* key : {"DiagCmd", "DiagAnswer", "ModemDetectCmd", "ModemDetectAnsw", "ModemReadName",
                            "ModemReadName2", "ModemReadFirmw"})
        expected += std::string("ModemCmds & Answers : ") + key + " not in Common section of INI !\r\n";
    EXPECT_EQ(expected + kBegin + "Scanning Port       : COM5\r\n", Log());
    EXPECT_EQ("", Sent("COM5")) << "every command is empty";
}

}  // namespace
