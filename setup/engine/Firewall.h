// Windows Firewall exceptions for the programs a setup run installs, through
// the firewall's COM objects ("HNetCfg.FwMgr" and
// "HNetCfg.FwAuthorizedApplication"). Best effort: where the firewall or
// its interfaces are missing, the operations return the COM error and
// change nothing.
//
// Every operation initialises COM for the calling thread (single-threaded
// apartment) and uninitialises it before it returns, so that the run
// thread, which has no COM set-up of its own, can call it.
#pragma once

#include <windows.h>

#include <setupapi.h>

// Script keys of a run section; their fields name sections whose lines are
// "entry name, program path". DelFirewallEntries uses only the path.
constexpr char kMakeFirewallEntriesKey[] = "MakeFirewallEntries";
constexpr char kDelFirewallEntriesKey[] = "DelFirewallEntries";

// Adds `program` (a full path, ANSI) to the firewall's authorized
// applications under `name`, enabled when `enabled` is non-zero. Returns
// the COM result of the first failing step, else that of the addition;
// the installation log names the entry and how it went.
HRESULT FirewallAddApplication(const char* name, const char* program, int enabled);

// Removes the authorized application with path `program`. Returns the COM
// result of the last step; the installation log names it.
HRESULT FirewallRemoveApplication(const char* program);

// The firewall entries of run section `section`: first every line of the
// sections named by its MakeFirewallEntries key (lines with an entry name
// and a program path are added, enabled), then every line of the sections
// named by DelFirewallEntries (lines with a program path are removed).
// Names and paths longer than 255 characters are skipped. Failures are
// not reported; always returns 1.
int FirewallEntries(HINF script, const char* section);
