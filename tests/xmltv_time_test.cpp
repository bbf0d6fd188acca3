// XMLTV times to UTC seconds: the forms guides use, and the ones that cannot be read.
#include <gtest/gtest.h>

#include "formats/XmltvTime.h"

namespace zelvo {
namespace {

TEST(XmltvTime, FormsAndOffsetsGiveUtcAndImpossibleOnesNothing) {
  constexpr int64_t kNoon = 1796817600;  // 2026-12-09 12:00:00 UTC
  struct Case {
    const char* text;
    std::optional<int64_t> utc;
  };
  const Case cases[] = {
      {"20261209120000 +0000", kNoon},
      {"20261209120000", kNoon},  // no offset: UTC
      {"20261209200000 +0800", kNoon},
      {"20261209063000 -0530", kNoon},
      {"20261209200000+08:00", kNoon},
      {"20261209120000 Z", kNoon},
      {"202612091200", kNoon},
      {"2026120912", kNoon},
      {"20261209 +0000", kNoon - 12 * 3600},  // what is left out is the beginning of the day
      {"20261210+02:00", kNoon + 10 * 3600},
      {"202612", kNoon - 8 * 86400 - 12 * 3600},
      {"2026", 1767225600},
      {"  20261209120059 +0000 ", kNoon + 59},
      {"20240229000000 +0000", 1709164800},  // a leap day
      {"19700101000000 +0000", 0},
      {"20261209120000 +2500", std::nullopt},  // impossible offset
      {"20261209120000 +0860", std::nullopt},
      {"20261209120000 +1500", std::nullopt},
      {"20261209120000 0800", std::nullopt},
      {"20261209120000 +08", std::nullopt},
      {"20250229000000", std::nullopt},  // no leap day that year
      {"20261332000000", std::nullopt},
      {"20261209250000", std::nullopt},
      {"20261209126000", std::nullopt},
      {"2026120912000", std::nullopt},
      {"202", std::nullopt},
      {"202613", std::nullopt},
      {"20261200", std::nullopt},
      {"20261209120000 +0000 extra", std::nullopt},
      {"", std::nullopt},
      {"tomorrow", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(parseXmltvTime(c.text), c.utc) << c.text;
  for (const int64_t utc : {int64_t{0}, int64_t{951782400}, int64_t{1796817600}})
    EXPECT_EQ(parseXmltvTime(formatXmltvTime(utc)), utc) << "written and read back";
}

}  // namespace
}  // namespace zelvo
