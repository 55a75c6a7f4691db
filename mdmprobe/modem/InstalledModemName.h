// Matching one registered Windows modem against the model's TAPI name. Plain
// strings, no Windows types: builds and is tested on the host.
#pragma once

#include <string>

// The registered model names that never count as the modem under test.
constexpr const char kIpVirtualModem[] = "IP Virtual Modem";

// True when the registered model name `model` (the "Model" value of one
// installed modem) stands for `tapiModemName`. Trailing blanks of `model` are
// ignored, leading ones are not. An empty model and any model containing
// "IP Virtual Modem" never match. A leading "?" in `tapiModemName` is a
// marker, not part of the name: with it the name may also occur anywhere
// inside the model; without it the two must be equal. Case-sensitive.
bool InstalledModelMatches(const std::string& model, const std::string& tapiModemName);
