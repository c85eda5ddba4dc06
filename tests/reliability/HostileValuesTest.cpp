// Values a hostile switch sends, through the page decoders that met them in
// the sweep of every page (run under the sanitizers in CI).

#include "pages/poe/PoeCommon.h"

#include <gtest/gtest.h>

TEST(HostileValues, PoeClassOfIntegersOutOfRange) {
    EXPECT_EQ(PoeClassText(QStringLiteral("-2147483648")), QString());
    EXPECT_EQ(PoeClassText(QStringLiteral("2147483647")), QString());
    EXPECT_EQ(PoeClassText(QStringLiteral("abc")), QString());
    EXPECT_EQ(PoeClassText(QStringLiteral("1")), QStringLiteral("Auto"));
    EXPECT_EQ(PoeClassText(QStringLiteral("5")), QStringLiteral("Class 4"));
}
