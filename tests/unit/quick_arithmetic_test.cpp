// The conversions answer through plain double arithmetic where it is sure to
// agree with the emulated 64-bit steps. Wherever it answers, on every CPU, it
// must give what the emulation gives; and it must answer for the usual inputs,
// or the saving in time is gone.
#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "firmware/writer.h"
#include "table/conversion.h"
#include "table/extended.h"

namespace tc {
namespace {

// Sensors at the ends of the window's range, around zero and the common ones.
const int kSensors[] = {-99, -35, -1, 0, 1, 7, 15, 20, 25, 35, 99, 199};

struct Tally {
    long answered = 0;
    long declined = 0;
    int mismatches = 0;
};

std::string Describe(const CodeResult& r) { return std::to_string(r.kind) + "/" + std::to_string(r.code); }

void CompareAngle(int sensor, double angle, Tally& tally) {
    const std::optional<CodeResult> quick = QuickAngleToCode(sensor, angle);
    if (!quick) {
        ++tally.declined;
        return;
    }
    ++tally.answered;
    const CodeResult exact = ExactAngleToCode(sensor, angle);
    if ((quick->kind != exact.kind || quick->code != exact.code) && ++tally.mismatches <= 10)
        ADD_FAILURE() << "sensor " << sensor << ", angle " << std::hexfloat << angle << std::defaultfloat << ": "
                      << Describe(*quick) << " instead of " << Describe(exact);
}

std::vector<double> Tenths() {
    std::vector<double> angles;
    for (int tenths = -3000; tenths <= 3000; ++tenths) angles.push_back(tenths / 10.0);
    return angles;
}

// The doubles nearest to each rounding boundary of the emulated steps, and three on either side.
std::vector<double> AroundHalfSteps(int sensor) {
    std::vector<double> angles;
    for (int k = 0; k <= 181; ++k) {
        const Extended offset = (Extended(k) + 0.5) * ExtendedStep();
        for (const Extended& boundary : {Extended(sensor) - offset, Extended(sensor) + offset}) {
            double near = boundary.convert_to<double>();
            for (int i = 0; i < 3; ++i) near = std::nextafter(near, -INFINITY);
            for (int i = 0; i < 7; ++i, near = std::nextafter(near, INFINITY)) angles.push_back(near);
        }
    }
    return angles;
}

std::vector<double> RandomDoubles() {
    std::mt19937_64 random(20261209);
    std::uniform_real_distribution<double> plausible(-400.0, 400.0);
    std::vector<double> angles = {DBL_MAX, -DBL_MAX, DBL_MIN, -DBL_MIN, DBL_TRUE_MIN, -DBL_TRUE_MIN, 0.0, -0.0};
    while (angles.size() < 4000) {
        const std::uint64_t bits = random();
        double any = 0;
        std::memcpy(&any, &bits, sizeof any);
        angles.push_back(any);  // mostly huge or tiny, now and then not finite
        angles.push_back(plausible(random));
    }
    return angles;
}

struct CodeCase {
    const char* name;
    int sensor, code;
};

struct AngleRow {
    const char* name;
    std::function<std::vector<double>(int sensor)> angles;
    double leastAnswered;  // the share of inputs the quick path must answer; 0 for none
};

TEST(QuickArithmetic, AngleToCodeAgreesWithTheEmulation) {
    const AngleRow rows[] = {
        {"every tenth from -300 to 300", [](int) { return Tenths(); }, 1.0},
        // Within a few doubles of a boundary the quick path mostly declines: what it answers must hold.
        {"around every half step", AroundHalfSteps, 0.0},
        {"random doubles", [](int) { return RandomDoubles(); }, 0.99},
    };
    for (const AngleRow& row : rows) {
        SCOPED_TRACE(row.name);
        Tally tally;
        for (const int sensor : kSensors)
            for (const double angle : row.angles(sensor)) CompareAngle(sensor, angle, tally);
        EXPECT_EQ(tally.mismatches, 0);
        if (row.leastAnswered > 0) {
            EXPECT_GE(static_cast<double>(tally.answered), row.leastAnswered * (tally.answered + tally.declined));
        }
    }
}

TEST(QuickArithmetic, AngleToCodeLeavesTheBoundariesToTheEmulation) {
    // Right at a boundary, double arithmetic lands on the half while the emulated steps do not.
    for (const int sensor : kSensors)
        for (int k = 0; k <= 179; ++k) {
            const double atHalf = (Extended(sensor) - (Extended(k) + 0.5) * ExtendedStep()).convert_to<double>();
            EXPECT_FALSE(QuickAngleToCode(sensor, atHalf)) << "sensor " << sensor << ", k " << k;
        }
}

TEST(QuickArithmetic, CodeToAngleAgreesWithTheEmulation) {
    int mismatches = 0;
    for (int sensor = -99; sensor <= 199; ++sensor)
        for (int code = -50; code <= 400; ++code)
            // A separator beyond ASCII too, as some locales have.
            for (const char32_t separator : {U'.', U',', U'\u066B'}) {
                const std::optional<std::string> quick = QuickCodeToAngle(sensor, code, separator);
                const std::string exact = ExactCodeToAngle(sensor, code, separator);
                // Every one of these is answered, "0" included where S is a whole number of steps.
                if (quick != exact && ++mismatches <= 10)
                    ADD_FAILURE() << "sensor " << sensor << ", code " << code << ": " << quick.value_or("(declined)")
                                  << " instead of " << exact;
            }
    EXPECT_EQ(mismatches, 0);
}

TEST(QuickArithmetic, CodeToAngleAgreesAtTheEdgesOfItsReach) {
    // The tightest cases: angles of a tenth, where S and 0.7k nearly cancel, anywhere
    // in the quick path's reach, and the corners of that reach.
    std::vector<std::pair<int, int>> inputs;
    for (int sensor = -500; sensor <= 500; ++sensor)
        for (const int tenths : {-1, 1, -2, 2}) {
            if ((10 * sensor - tenths) % 7 != 0) continue;
            const int k = (10 * sensor - tenths) / 7;  // the code is k below 180, k + 255 above
            if (k >= -500 && k <= 500) inputs.emplace_back(sensor, k < kNoAngleCode ? k : k + 255);
        }
    for (const int sensor : {-500, 500})
        for (const int code : {-500, 0, 179, 181, 755}) inputs.emplace_back(sensor, code);
    ASSERT_GT(inputs.size(), 400u);
    int mismatches = 0;
    for (const auto& [sensor, code] : inputs) {
        const std::optional<std::string> quick = QuickCodeToAngle(sensor, code, U'.');
        const std::string exact = ExactCodeToAngle(sensor, code, U'.');
        if (quick != exact && ++mismatches <= 10)
            ADD_FAILURE() << "sensor " << sensor << ", code " << code << ": " << quick.value_or("(declined)")
                          << " instead of " << exact;
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(QuickArithmetic, ExtremeIntegersAgreeWithTheEmulation) {
    for (const int sensor : {INT_MIN, INT_MIN + 1, -1000, 1000, INT_MAX})
        for (const double angle :
             {0.0, -1e300, 1e300, 12.5, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)}) {
            const std::optional<CodeResult> quick = QuickAngleToCode(sensor, angle);
            if (!quick) continue;
            const CodeResult exact = ExactAngleToCode(sensor, angle);
            EXPECT_EQ(Describe(*quick), Describe(exact)) << "sensor " << sensor << ", angle " << angle;
        }
    for (const int speed : {INT_MIN, INT_MIN + 1, -1, 1, 2, 3, INT_MAX - 1, INT_MAX}) {
        const std::optional<long long> quick = QuickSpeedCodeOf(speed);
        if (quick) {
            EXPECT_EQ(*quick, ExactSpeedCodeOf(speed)) << "speed " << speed;
        }
    }
}

TEST(QuickArithmetic, CodeToAngleLeavesFarInputsToTheEmulation) {
    const CodeCase far[] = {{"sensor far below", -501, 0},
                            {"sensor far above", 501, 0},
                            {"code far below", 20, -501},
                            {"code far above", 20, 756}};
    for (const CodeCase& c : far) {
        EXPECT_FALSE(QuickCodeToAngle(c.sensor, c.code, U'.')) << c.name;
        EXPECT_EQ(CodeToAngle(c.sensor, c.code, U'.'), ExactCodeToAngle(c.sensor, c.code, U'.')) << c.name;
    }
}

TEST(QuickArithmetic, SpeedCodeAgreesWithTheEmulation) {
    long answered = 0;
    int mismatches = 0;
    for (int speed = -30000; speed <= 30000; ++speed) {
        if (speed == 0) continue;
        const std::optional<long long> quick = QuickSpeedCodeOf(speed);
        if (!quick) continue;
        ++answered;
        const long long exact = ExactSpeedCodeOf(speed);
        if (*quick != exact && ++mismatches <= 10)
            ADD_FAILURE() << "speed " << speed << ": " << *quick << " instead of " << exact;
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_GT(answered, 59'000);
}

struct RoundCase {
    const char* name;
    double value;
    std::optional<long long> rounded;
};

TEST(QuickRound, AnswersOnlyClearOfTheHalves) {
    const RoundCase cases[] = {
        {"a whole number", 7.0, 7},
        {"just below a whole number", 6.9999999, 7},
        {"clear below a half", 2.4999, 2},
        {"clear above a half", 2.5001, 3},
        {"a half", 2.5, std::nullopt},
        {"within the margin below a half", 2.5 - kQuickMargin / 2, std::nullopt},
        {"within the margin above a half", 2.5 + kQuickMargin / 2, std::nullopt},
        {"negative, clear of the half", -2.6, -3},
        {"negative half", -2.5, std::nullopt},
        {"not a number", NAN, std::nullopt},
        {"infinite", INFINITY, std::nullopt},
        {"too large for the margin", 0x1p60, std::nullopt},
    };
    for (const RoundCase& c : cases) EXPECT_EQ(QuickRound(c.value), c.rounded) << c.name;
}

}  // namespace
}  // namespace tc
