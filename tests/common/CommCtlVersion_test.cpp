// The Wizard 97 threshold of the common-controls version: 5.80 or later.
#include "CommCtlVersion.h"

#include <gtest/gtest.h>

namespace {

CommCtlVersion Known(unsigned major, unsigned minor)
{
    CommCtlVersion v;
    v.known = true;
    v.major = major;
    v.minor = minor;
    return v;
}

TEST(Wizard97Threshold, StartsAtExactly580)
{
    EXPECT_FALSE(SupportsWizard97(Known(5, 79)));
    EXPECT_TRUE(SupportsWizard97(Known(5, 80)));
    EXPECT_TRUE(SupportsWizard97(Known(5, 81)));
}

TEST(Wizard97Threshold, MajorAboveFiveWinsWhateverTheMinor)
{
    EXPECT_TRUE(SupportsWizard97(Known(6, 0)));
    EXPECT_TRUE(SupportsWizard97(Known(6, 10)));
    EXPECT_FALSE(SupportsWizard97(Known(4, 99)));
    EXPECT_FALSE(SupportsWizard97(Known(4, 0)));  // what a library without the export counts as
}

TEST(Wizard97Threshold, UnknownVersionMeansClassic)
{
    CommCtlVersion unknown;
    unknown.major = 6;  // ignored while the version is not known
    EXPECT_FALSE(SupportsWizard97(unknown));
}

}  // namespace
