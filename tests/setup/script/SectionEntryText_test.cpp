// Host tests of the installation log's detail text of an INI or registry
// entry: the value and its type, the INI section and entry, the reason a
// line is skipped; nothing for whole keys and lists; cut to its buffer.
#include "SectionEntryText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

SectionEntry Entry(const char* action, const char* value = "", uint32_t type = 0)
{
    SectionEntry entry;
    entry.action = action;
    entry.valueName = value;
    entry.type = type;
    return entry;
}

TEST(SectionEntryText, DetailPerAction)
{
    char detail[128];
    EXPECT_STREQ("value Path, REG_SZ", SectionEntryDetail(Entry("set-value", "Path", 1), detail, sizeof detail));
    EXPECT_STREQ("value (default), REG_EXPAND_SZ",
                 SectionEntryDetail(Entry("set-value", "", 2), detail, sizeof detail));
    EXPECT_STREQ("value List, REG_MULTI_SZ",
                 SectionEntryDetail(Entry("append-strings", "List", 7), detail, sizeof detail));
    EXPECT_STREQ("value Port", SectionEntryDetail(Entry("delete-value", "Port"), detail, sizeof detail));
    SectionEntry text = Entry("delete-string", "List");
    text.data = "COM3";
    EXPECT_STREQ("value List, string COM3", SectionEntryDetail(text, detail, sizeof detail));
    SectionEntry ini = Entry("ini-write");
    ini.iniSection = "Settings";
    ini.iniEntry = "Port";
    EXPECT_STREQ("[Settings] Port", SectionEntryDetail(ini, detail, sizeof detail));
    SectionEntry skipped = Entry("skip");
    skipped.why = "HKR names no key here";
    EXPECT_STREQ("HKR names no key here", SectionEntryDetail(skipped, detail, sizeof detail));
    for (const char* whole : {"delete-key", "create-key", "ini-fields", "ini-to-registry"})
        EXPECT_STREQ("", SectionEntryDetail(Entry(whole, "ignored", 1), detail, sizeof detail)) << whole;
    EXPECT_STREQ("", SectionEntryDetail(Entry("skip"), detail, sizeof detail)) << "a skip without its reason";
}

TEST(SectionEntryText, CutToTheBuffer)
{
    const SectionEntry entry = Entry("set-value", "Path", 1);  // "value Path, REG_SZ": 18 characters
    char detail[19];
    EXPECT_STREQ("value Path, REG_SZ", SectionEntryDetail(entry, detail, sizeof detail));
    EXPECT_STREQ("value Path, REG_S", SectionEntryDetail(entry, detail, sizeof detail - 1));
    char small[1] = {'#'};
    EXPECT_STREQ("", SectionEntryDetail(entry, small, sizeof small));
}

}  // namespace
