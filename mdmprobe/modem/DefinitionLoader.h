// Loading steps over the definition file: the generic commands of the
// "Common" section and a model's section with its fallbacks, each missing
// value reported in the test log. Key names are read by number from the
// program's string table (DefinitionKeys.h).
//
// Runs on the port-scan worker; the only window it may show is the message
// box for a model without ModemTapiName (through ShowMessageBox).
#pragma once

#include <windows.h>

#include <string>

class CIniFile;
class CLogFile;
struct ModemInfo;

// The key name of string-table entry `keyId` (empty when it is missing).
std::string LoadKeyName(UINT keyId);

// The value of key `keyId` in "Common"; a missing or empty value is logged.
std::string ReadCommonValue(CIniFile& ini, CLogFile& log, UINT keyId);

// The value of key `keyId` in `section`. When it is empty and `fallbackId`
// is not 0, the value of key `fallbackId` in "Common" instead, with a log line
// that says whether that default was there.
std::string ReadModemValue(CIniFile& ini, CLogFile& log, const std::string& section, UINT keyId,
                           UINT fallbackId);

// Fills the command set (modem.commands) and the TAPI name, minimum speed,
// connect and hang-up times of `modem` from the section of `modemName`, or
// from the section its "Alias" names (one level only), and records which
// section and Alias that was in modem.definitionSection and
// modem.definitionAlias. A model without ModemTapiName brings up a message
// box and keeps the previous TAPI name.
//
// `unattended` (automatic mode): the "No TapiModemName" box closes by itself
// after kUnattendedBoxMs, so that a modem with an unknown name (a new model,
// or a name garbled on the line) never holds an unattended run.
constexpr DWORD kUnattendedBoxMs = 5000;
void LoadModemSection(CIniFile& ini, CLogFile& log, ModemInfo& modem, const std::string& modemName,
                      bool unattended = false);
