#include "ResString.h"

std::string LoadResString(UINT id)
{
    char text[512] = "";
    int length = LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof(text));
    return length > 0 ? std::string(text, static_cast<size_t>(length)) : std::string();
}
