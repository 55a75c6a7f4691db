// Questions about the running Windows version.
#pragma once

// True on NT-family systems of version 5.1 (XP) or later.
bool IsNt51OrLater();
