// Key names of the modem definition file and their string-table numbers.
// The program reads every key name from its string table by number (the
// same text in all six languages); this header is the one place that pairs
// number and text. It holds only #define lines so that the resource compiler
// can include it, and host tools (mdmprobe-lint) use the same names.
#pragma once

#define IDS_KEY_CRCCHECKCMD             37
#define IDS_KEY_CRCCHECKANSWER          38
#define IDS_KEY_RAMCHECKCMD             39
#define IDS_KEY_RAMCHECKERROR           41
#define IDS_KEY_DIALCMD                 42
#define IDS_KEY_DIALANSWER              43
#define IDS_KEY_DIAGCMD                 44
#define IDS_KEY_DIAGANSWER              45
#define IDS_KEY_MODEMDETECTCMD          76
#define IDS_KEY_MODEMDETECTANSW         77
#define IDS_KEY_MODEMREADNAME           78
#define IDS_KEY_MODEMREADNAME2          79
#define IDS_KEY_MODEMREADFIRMW          80
#define IDS_KEY_DEFAULTCRCCHECKCMD      81
#define IDS_KEY_DEFAULTCRCCHECKANSWER   82
#define IDS_KEY_DEFAULTRAMCHECKCMD      83
#define IDS_KEY_DEFAULTRAMCHECKERROR    84
#define IDS_KEY_DEFAULTDIALCMD          85
#define IDS_KEY_DEFAULTDIALANSWER       86
#define IDS_KEY_DEFAULTDIALCMDNODIALT   87
#define IDS_KEY_DIALCMDNODIALT          88
#define IDS_KEY_MINSPEED                89
#define IDS_KEY_DEFAULTMINSPEED         90
#define IDS_KEY_MODEMTAPINAME           92
#define IDS_KEY_CONNECTTIME             93
#define IDS_KEY_HANGUPTIME              94

#define T_KEY_CRCCHECKCMD               "CRCCheckCmd"
#define T_KEY_CRCCHECKANSWER            "CRCCheckAnswer"
#define T_KEY_RAMCHECKCMD               "RAMCheckCmd"
#define T_KEY_RAMCHECKERROR             "RAMCheckError"
#define T_KEY_DIALCMD                   "DialCmd"
#define T_KEY_DIALANSWER                "DialAnswer"
#define T_KEY_DIAGCMD                   "DiagCmd"
#define T_KEY_DIAGANSWER                "DiagAnswer"
#define T_KEY_MODEMDETECTCMD            "ModemDetectCmd"
#define T_KEY_MODEMDETECTANSW           "ModemDetectAnsw"
#define T_KEY_MODEMREADNAME             "ModemReadName"
#define T_KEY_MODEMREADNAME2            "ModemReadName2"
#define T_KEY_MODEMREADFIRMW            "ModemReadFirmw"
#define T_KEY_DEFAULTCRCCHECKCMD        "DefaultCRCCheckCmd"
#define T_KEY_DEFAULTCRCCHECKANSWER     "DefaultCRCCheckAnswer"
#define T_KEY_DEFAULTRAMCHECKCMD        "DefaultRAMCheckCmd"
#define T_KEY_DEFAULTRAMCHECKERROR      "DefaultRAMCheckError"
#define T_KEY_DEFAULTDIALCMD            "DefaultDialCmd"
#define T_KEY_DEFAULTDIALANSWER         "DefaultDialAnswer"
#define T_KEY_DEFAULTDIALCMDNODIALT     "DefaultDialCmdNoDialT"
#define T_KEY_DIALCMDNODIALT            "DialCmdNoDialT"
#define T_KEY_MINSPEED                  "MinSpeed"
#define T_KEY_DEFAULTMINSPEED           "DefaultMinSpeed"
#define T_KEY_MODEMTAPINAME             "ModemTapiName"
#define T_KEY_CONNECTTIME               "ConnectTime"
#define T_KEY_HANGUPTIME                "HangupTime"
