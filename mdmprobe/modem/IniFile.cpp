#include "IniFile.h"

#include "ModulePath.h"

CIniFile::CIniFile()
    : path_(ReplaceExtension4(ModuleFilePath(), ".ini"))
{
}
