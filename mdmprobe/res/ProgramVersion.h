// The modem test's name and version: one place for the version resource and
// the result report.
#pragma once

#define MDMPROBE_NAME "mdmprobe"
#define MDMPROBE_VERSION 1,1,0,0
#define MDMPROBE_VERSION_TEXT "1.1.0.0"
