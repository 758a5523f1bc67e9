// The tracker style against the format's reference player: one generated
// module per behaviour, rendered by xm2wav and by openmpt123, must correlate
// at 0.99 or better once aligned, and some rows must also match its level.
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "tests/reference/behaviours.h"
#include "tests/reference/differential.h"

namespace reference {
namespace {

constexpr int kMaxLagFrames = 300;

}  // namespace

// Names the behaviour in test output instead of its bytes.
void PrintTo(const Behaviour& behaviour, std::ostream* out) {
    *out << behaviour.name;
}

namespace {
constexpr double kLowestCorrelation = 0.99;
constexpr double kLevelToleranceDb = 0.5;

class ReferenceBehaviour : public ::testing::TestWithParam<Behaviour> {};

TEST_P(ReferenceBehaviour, TrackerStyleSoundsAsTheReference) {
    if (!Installed(Renderer::Openmpt)) GTEST_SKIP() << "openmpt123 is not installed";
    const Behaviour& behaviour = GetParam();
    xm::Module module = behaviour.build();
    std::vector<std::int16_t> ours;
    std::vector<std::int16_t> theirs;
    ASSERT_TRUE(Render(Renderer::OursTracker, module, behaviour.name, &ours)) << behaviour.name;
    ASSERT_TRUE(Render(Renderer::Openmpt, module, behaviour.name, &theirs)) << behaviour.name;
    EXPECT_GE(Correlation(theirs, ours, kMaxLagFrames), kLowestCorrelation) << behaviour.name;
    if (behaviour.holdsLevel) {
        double decibels = 20.0 * std::log10(Level(ours) / Level(theirs));
        EXPECT_NEAR(decibels, 0.0, kLevelToleranceDb) << behaviour.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Generated, ReferenceBehaviour, ::testing::ValuesIn(Behaviours()),
                         [](const ::testing::TestParamInfo<Behaviour>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
}  // namespace reference
