// Host tests of the installation log's detail text of an INI or registry
// entry (SectionEntries_test reads real lines under Wine): the default
// value's name, nothing for whole keys and lists, cut to its buffer.
#include "SectionEntryText.h"

#include <gtest/gtest.h>

namespace {

SectionEntry Entry(const char* action, const char* value, uint32_t type)
{
    SectionEntry entry;
    entry.action = action;
    entry.valueName = value;
    entry.type = type;
    return entry;
}

TEST(SectionEntryText, DefaultValueWholeKeysAndCut)
{
    char detail[19];  // "value Path, REG_SZ" and its terminator
    EXPECT_STREQ("value (default), R", SectionEntryDetail(Entry("set-value", "", 2), detail, sizeof detail));
    EXPECT_STREQ("value Path, REG_SZ", SectionEntryDetail(Entry("set-value", "Path", 1), detail, sizeof detail));
    EXPECT_STREQ("value Path, REG_S", SectionEntryDetail(Entry("set-value", "Path", 1), detail, sizeof detail - 1));
    for (const char* whole : {"delete-key", "create-key", "ini-fields", "ini-to-registry", "skip"})
        EXPECT_STREQ("", SectionEntryDetail(Entry(whole, "Named", 1), detail, sizeof detail)) << whole;
    char none[1] = {'#'};
    EXPECT_STREQ("", SectionEntryDetail(Entry("set-value", "Path", 1), none, sizeof none));
}

}  // namespace
