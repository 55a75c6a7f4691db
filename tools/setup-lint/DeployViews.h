// The registry views and folders a build of setup.exe writes to: an x64
// setup.exe writes the 64-bit view and sees the 64-bit program folders; an
// x86 one on 64-bit Windows is redirected to the 32-bit view
// (SOFTWARE\WOW6432Node) and the 32-bit folders (Program Files (x86)), and
// on 32-bit Windows has the only view there is.
#pragma once

#include "DeployModel.h"
#include "PeResources.h"

#include <string>
#include <vector>

// "x64" or "x86" by the machine type in the program's PE header; empty for
// anything else (not a Windows program, or another processor).
std::string ImageArchitecture(const Bytes& image);

// A symbolic path (%ProgramFiles%\...) as a 32-bit program on 64-bit
// Windows has it: %ProgramFiles(x86)%, %CommonProgramFiles(x86)%,
// %windir%\SysWOW64.
std::string RedirectedFor32Bit(const std::string& path);

// The views of the entry `key` for `architecture`, each with the location
// and commands of `written` (the values the run writes, as its plan has
// them) as the program sees its folders there. None for an unknown
// architecture.
std::vector<DeployView> ViewsOf(const std::string& architecture, const std::string& key, const DeployView& written);
