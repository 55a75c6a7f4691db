// The Windows package manager's manifest of a medium (manifest version
// 1.10.0: a version, an installer and a default-locale file, in YAML): the
// zip that "make dist" packs, with setup.exe inside as the installer, its
// switches and exit codes, and the uninstall entries that tell the package
// manager it is installed. The download's address and hash are the
// caller's; everything else is read from the deployment facts.
#pragma once

#include "DeployModel.h"

#include <string>
#include <vector>

struct WingetPackage
{
    std::string id;      // Publisher.Name
    std::string url;     // where the zip is downloaded from (http or https)
    std::string sha256;  // its SHA-256, 64 hexadecimal digits
};

struct WingetFile
{
    std::string name;  // <id>.yaml, <id>.installer.yaml, <id>.locale.en-US.yaml
    std::string text;  // UTF-8, line ends LF
};

// Why `package` cannot be a package identifier, download address or hash
// the package manager accepts; empty when it can.
std::string WingetPackageProblem(const WingetPackage& package);

// The three manifest files; none, with `error` set, when the deployment
// lacks a fact a manifest needs (an undetectable entry, no version, no
// publisher, no licence text).
std::vector<WingetFile> WingetManifests(const Deployment& deployment, const WingetPackage& package,
                                        std::string* error);
