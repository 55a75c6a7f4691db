// Step trace of the serial port class. The delivered program compiles it out;
// a build with MDMPROBE_SERIAL_TRACE defined sends each line to a sink
// (OutputDebugString unless a test installs its own).
#pragma once

#ifdef MDMPROBE_SERIAL_TRACE
using SerialTraceSink = void (*)(const char* line);
// Installs `sink` (nullptr restores OutputDebugString).
void SetSerialTraceSink(SerialTraceSink sink);
void SerialTrace(const char* format, ...)
#ifdef __GNUC__
    __attribute__((format(printf, 1, 2)))
#endif
    ;
#define SERIAL_TRACE(...) SerialTrace(__VA_ARGS__)
#else
#define SERIAL_TRACE(...) ((void)0)
#endif
