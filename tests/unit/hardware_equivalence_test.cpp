// The emulated 64-bit-significand arithmetic against the x87 hardware that it
// stands in for: the same texts, codes and range errors over every input the
// program can meet and a million angles more. Built only where long double is
// that hardware format; elsewhere the same arithmetic runs without a reference.
#include <gtest/gtest.h>

#include <cfloat>

#if LDBL_MANT_DIG == 64 && (defined(__x86_64__) || defined(__i386__))

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "firmware/reader.h"
#include "firmware/writer.h"
#include "table/conversion.h"
#include "table/extended.h"

namespace tc {
namespace {

// The conversions as they were written for hardware long double.
namespace x87 {

std::string Format(long double value) {
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    std::string out(buf, res.ptr);
    return out == "-0" ? "0" : out;
}

std::string CodeToAngle(int sensor, int code) {
    if (code == kNoAngleCode) return kNoAngleText;
    const long double s = sensor;
    return Format(code < kNoAngleCode ? s - static_cast<long double>(code) * 0.7L
                                      : s + static_cast<long double>(255 - code) * 0.7L);
}

CodeResult AngleToCode(int sensor, double angle) {
    const long double s = sensor;
    const long double a = angle;
    if (s >= a) {
        const long double q = (s - a) / 0.7L;
        if (!(q < 179.5L)) return {CodeResult::BelowRange, 0};
        const long long code = std::llrint(q);
        if (code >= kNoAngleCode) return {CodeResult::BelowRange, 0};
        return {CodeResult::Ok, static_cast<int>(code)};
    }
    const long double d = (a - s) / 0.7L;
    if (!(d < 75.5L)) return {CodeResult::AboveRange, 0};
    const long long code = std::llrint(255.0L - d);
    if (code <= kNoAngleCode) return {CodeResult::AboveRange, 0};
    return {CodeResult::Ok, static_cast<int>(code)};
}

long long SpeedOfCode(int code) { return 10 * std::llrint(11718.75L / static_cast<long double>(255 - code)); }
long long SpeedCodeOf(int speed) { return std::llrint(255.0L - 117187.5L / static_cast<long double>(speed)); }
long long SparkCodeOf(int spark) { return std::llrint(static_cast<long double>(spark) / 6.0L); }

}  // namespace x87

// Windows may run the x87 unit at 53 bits; then there is no reference to compare with.
bool HardwareHasSixtyFourBits() {
    volatile long double one = 1.0L;
    volatile long double tiny = LDBL_EPSILON;
    return one + tiny != one;
}

constexpr int kLowestSensor = -99;
constexpr int kHighestSensor = 199;

class HardwareEquivalence : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HardwareHasSixtyFourBits()) GTEST_SKIP() << "the x87 unit does not run at 64 bits here";
    }
};

TEST_F(HardwareEquivalence, CodeToAngleForEveryCodeAndSensor) {
    int mismatches = 0;
    for (int sensor = kLowestSensor; sensor <= kHighestSensor; ++sensor)
        for (int code = -50; code <= 400; ++code) {
            const std::string expected = x87::CodeToAngle(sensor, code);
            // The emulation alone as well: the quick path answers for most of these.
            for (const std::string& got : {CodeToAngle(sensor, code, U'.'), ExactCodeToAngle(sensor, code, U'.')})
                if (got != expected && ++mismatches <= 10)
                    ADD_FAILURE() << "sensor " << sensor << ", code " << code << ": " << got << " instead of "
                                  << expected;
        }
    EXPECT_EQ(mismatches, 0);
}

// The decimal form on its own, for values far from the table's too: whole numbers
// without fraction bits, fractions with all 64 of them, and the tiny and the huge
// that take the long way.
TEST_F(HardwareEquivalence, DecimalFormAcrossEveryBinaryExponent) {
    std::mt19937_64 random(20261208);
    int mismatches = 0;
    long compared = 0;
    for (int exponent = -100; exponent <= 100; ++exponent) {
        std::vector<std::uint64_t> significands = {1ULL << 63, (1ULL << 63) | 1, ~0ULL, 0xB333333333333333ULL};
        for (int i = 0; i < 500; ++i) significands.push_back(random() | (1ULL << 63));
        for (const std::uint64_t significand : significands)
            for (const int sign : {1, -1}) {
                const long double value = sign * std::ldexp(static_cast<long double>(significand), exponent - 64);
                const std::string expected = x87::Format(value);
                const std::string got = FormatGeneral(Extended(value), U'.');
                ++compared;
                if (got != expected && ++mismatches <= 10)
                    ADD_FAILURE() << std::hexfloat << value << ": " << got << " instead of " << expected;
            }
    }
    EXPECT_GE(compared, 200'000);
    EXPECT_EQ(mismatches, 0);
}

TEST_F(HardwareEquivalence, SpeedAndSparkFormulas) {
    struct Formula {
        const char* name;
        int from, to;
        long long (*emulated)(int);
        long long (*hardware)(int);
    };
    const Formula formulas[] = {
        {"speed of every speed code", 0, 254, SpeedOfCode, x87::SpeedOfCode},
        {"speed code of every speed", 1, 30000, SpeedCodeOf, x87::SpeedCodeOf},
        {"speed code of every speed, emulated alone", 1, 30000, ExactSpeedCodeOf, x87::SpeedCodeOf},
        {"spark code of every duration", 0, 2000, SparkCodeOf, x87::SparkCodeOf},
    };
    for (const Formula& f : formulas) {
        int mismatches = 0;
        for (int input = f.from; input <= f.to; ++input)
            if (f.emulated(input) != f.hardware(input) && ++mismatches <= 5)
                ADD_FAILURE() << f.name << ": " << input << " gives " << f.emulated(input) << " instead of "
                              << f.hardware(input);
        EXPECT_EQ(mismatches, 0) << f.name;
    }
}

// Every angle with every sensor; returns the number compared.
long CompareAngles(const std::vector<double>& angles, int& mismatches) {
    long compared = 0;
    for (int sensor = kLowestSensor; sensor <= kHighestSensor; ++sensor)
        for (const double angle : angles) {
            const CodeResult expected = x87::AngleToCode(sensor, angle);
            ++compared;
            for (const CodeResult got : {AngleToCode(sensor, angle), ExactAngleToCode(sensor, angle)})
                if ((got.kind != expected.kind || got.code != expected.code) && ++mismatches <= 10)
                    ADD_FAILURE() << "sensor " << sensor << ", angle " << angle << " (" << std::hexfloat << angle
                                  << std::defaultfloat << "): kind " << got.kind << " code " << got.code
                                  << " instead of kind " << expected.kind << " code " << expected.code;
        }
    return compared;
}

TEST_F(HardwareEquivalence, AngleToCodeForEveryTenth) {
    std::vector<double> angles;
    for (int tenths = -3000; tenths <= 3000; ++tenths) angles.push_back(tenths / 10.0);
    int mismatches = 0;
    EXPECT_GE(CompareAngles(angles, mismatches), 1'000'000);
    EXPECT_EQ(mismatches, 0);
}

TEST_F(HardwareEquivalence, AngleToCodeAroundEveryHalfStep) {
    // The doubles nearest to each rounding boundary and two on either side of it.
    int mismatches = 0;
    long compared = 0;
    for (int sensor = kLowestSensor; sensor <= kHighestSensor; ++sensor) {
        std::vector<double> angles;
        for (int k = 0; k <= 181; ++k) {
            const long double offset = (k + 0.5L) * 0.7L;
            for (const long double boundary : {sensor - offset, sensor + offset}) {
                double near = static_cast<double>(boundary);
                for (int i = 0; i < 2; ++i) near = std::nextafter(near, -INFINITY);
                for (int i = 0; i < 5; ++i, near = std::nextafter(near, INFINITY)) angles.push_back(near);
            }
        }
        for (const double angle : angles) {
            const CodeResult expected = x87::AngleToCode(sensor, angle);
            ++compared;
            for (const CodeResult got : {AngleToCode(sensor, angle), ExactAngleToCode(sensor, angle)})
                if ((got.kind != expected.kind || got.code != expected.code) && ++mismatches <= 10)
                    ADD_FAILURE() << "sensor " << sensor << ", angle " << std::hexfloat << angle;
        }
    }
    EXPECT_GE(compared, 500'000);
    EXPECT_EQ(mismatches, 0);
}

TEST_F(HardwareEquivalence, AngleToCodeForRandomDoubles) {
    std::mt19937_64 random(20261208);
    std::vector<double> angles;
    std::uniform_real_distribution<double> plausible(-400.0, 400.0);
    while (angles.size() < 2000) {
        const std::uint64_t bits = random();
        double any = 0;
        std::memcpy(&any, &bits, sizeof any);
        if (std::isfinite(any)) angles.push_back(any);  // mostly huge or tiny
        angles.push_back(plausible(random));
    }
    angles.insert(angles.end(), {DBL_MAX, -DBL_MAX, DBL_MIN, -DBL_MIN, DBL_TRUE_MIN, -DBL_TRUE_MIN, 0.0, -0.0});
    int mismatches = 0;
    EXPECT_GE(CompareAngles(angles, mismatches), 500'000);
    EXPECT_EQ(mismatches, 0);
}

}  // namespace
}  // namespace tc

#endif
