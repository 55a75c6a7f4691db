// The service names of one kind gathered from the companion ".Services"
// sections of a run.
#pragma once

#include <windows.h>
#include <setupapi.h>

#include <vector>

struct ServiceListEntry
{
    char name[256];
    char installSection[256];  // AddService only: field 3 of the first occurrence
};

// The names of key `key` ("StopService", "DelService", "AddService" or
// "StartService") from the sections "<section>.Services" of every section of
// the text list `sections`, in section and line order, each name once
// (compared without regard to case; the first occurrence counts). Lines
// without a name (or, for AddService, without field 3) are skipped; longer
// texts are cut to 255 characters. An empty field 3 is kept: creating the
// service from it fails.
std::vector<ServiceListEntry> GatherServiceNames(HINF script, const char* sections, const char* key);
