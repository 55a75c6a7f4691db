// The version of the installer program itself (not of the products it
// installs), as its installation log names it.
#pragma once

constexpr char kSetupVersion[] = "1.2.0";
