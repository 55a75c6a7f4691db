// Windows services of an installation or removal run. Each processed section
// may have a companion section, its name followed by ".Services", with the
// keys StopService, DelService, AddService and StartService (field 1 the
// service name; AddService field 3 the service install section). The run
// gathers the names of one kind across all its sections, each name once
// (compared without regard to case, the first occurrence counts).
//
// All functions return 1 or 0 with the thread's last error, and run on the
// run thread: waiting for a service blocks the caller for at most 5 s per
// service. On Windows 95, 98 and Me the run-level functions succeed at once
// without touching anything.
#pragma once

#include <windows.h>
#include <setupapi.h>

// `sections` is the run section list: a text list of section names.

// Stops the StopService services in list order; after the first one that
// does not stop, the rest stay running and the result is 0 (the run then
// asks for a restart).
int StopServices(HINF script, const char* sections);

// Deletes the DelService services, then creates or updates the AddService
// services, in list order; the first failure ends the work with 0 (the run
// fails).
int DeleteAndCreateServices(HINF script, const char* sections);

// Starts the StartService services in list order; after the first one that
// does not start the rest are not started and the result is 0.
int StartServices(HINF script, const char* sections);

// One service. A service that is not installed counts as stopped and as
// deleted; starting it fails. Stopping waits up to 20 x 250 ms for the
// stopped state, starting polls 20 times for the running state; a refused
// start request (also for a service already running) fails.
int StopOneService(const char* name);
int DeleteOneService(const char* name);
int StartOneService(const char* name);

// Creates the service `name` from the service install section
// `installSection`, or changes the configuration of the existing one, then
// applies the section's ServiceGroupOrder line (best effort). Fails for an
// empty or missing install section, for a `ServiceBinary` longer than 255
// characters (ERROR_FILENAME_EXCED_RANGE, logged: never cut) and when the
// service cannot be created.
int CreateOrUpdateService(HINF script, const char* name, const char* installSection);

// Places the group of the install section's ServiceGroupOrder line (field 1
// group, field 2 position, see GroupOrder.h) in the system's group load
// order. 1 when the section has no such line or the list was written.
int ApplyServiceGroupOrder(HINF script, const char* installSection);
