#include "UiLanguage.h"

#include "UiLanguageChoice.h"
#include "WindowsVersion.h"

namespace {

// A language written as hexadecimal text in value `name` of `subKey`.
bool RegistryLanguage(HKEY root, const char* subKey, const char* name, LANGID* language)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, subKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    char text[17] = "";
    DWORD type = 0;
    DWORD size = 16;  // longer values do not count
    LONG status = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_SZ)
        return false;
    text[size < 16 ? size : 16] = '\0';
    unsigned short value = 0;
    if (!ParseLanguageText(text, &value))
        return false;
    *language = value;
    return true;
}

struct LanguageList
{
    LANGID* languages;
    size_t capacity;
    size_t count;
};

BOOL CALLBACK AddLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR param)
{
    auto* list = reinterpret_cast<LanguageList*>(param);
    if (list->count >= list->capacity)
        return FALSE;
    list->languages[list->count++] = language;
    return TRUE;
}

}  // namespace

LANGID UserUiLanguage()
{
    LANGID language = kFallbackLanguage;
    RunningWindows windows = QueryRunningWindows();
    if (windows.nt && windows.major >= 5) {
        using GetLanguage = LANGID(WINAPI*)();
        HMODULE kernel = GetModuleHandleA("kernel32.dll");
        auto get = kernel ? reinterpret_cast<GetLanguage>(reinterpret_cast<void*>(
                                GetProcAddress(kernel, "GetUserDefaultUILanguage")))
                          : nullptr;
        if (get)
            language = get();
    } else if (windows.nt) {
        RegistryLanguage(HKEY_USERS, ".DEFAULT\\Control Panel\\International", "Locale", &language);
    } else {
        RegistryLanguage(HKEY_CURRENT_USER, "Control Panel\\Desktop\\ResourceLocale", nullptr, &language);
    }
    return language;
}

size_t DialogLanguages(HINSTANCE module, UINT dialogId, LANGID* languages, size_t capacity)
{
    LanguageList list = {languages, capacity, 0};
    EnumResourceLanguagesA(module, RT_DIALOG, MAKEINTRESOURCEA(dialogId),
                           AddLanguage, reinterpret_cast<LONG_PTR>(&list));
    return list.count;
}

LANGID ChooseProgramLanguage(HINSTANCE module)
{
    LANGID languages[256];
    size_t count = DialogLanguages(module, kLanguageDialogId, languages, 256);
    return ChooseUiLanguage(UserUiLanguage(), languages, count);
}
