// The colour science behind the shipped filters: CIEDE2000 against the published test
// data, the sRGB curve, CIELAB, and properties every model must have.

#include <cmath>

#include <gtest/gtest.h>

#include "tools/color_science.h"

namespace {

TEST(Ciede2000, MatchesEveryPublishedTestPairInBothOrders)
{
    // Sharma, Wu & Dalal 2005: L1, a1, b1, L2, a2, b2, expected difference.
    const double pairs[][7] = {
        {50.0000, 2.6772, -79.7751, 50.0000, 0.0000, -82.7485, 2.0425},
        {50.0000, 3.1571, -77.2803, 50.0000, 0.0000, -82.7485, 2.8615},
        {50.0000, 2.8361, -74.0200, 50.0000, 0.0000, -82.7485, 3.4412},
        {50.0000, -1.3802, -84.2814, 50.0000, 0.0000, -82.7485, 1.0000},
        {50.0000, -1.1848, -84.8006, 50.0000, 0.0000, -82.7485, 1.0000},
        {50.0000, -0.9009, -85.5211, 50.0000, 0.0000, -82.7485, 1.0000},
        {50.0000, 0.0000, 0.0000, 50.0000, -1.0000, 2.0000, 2.3669},
        {50.0000, -1.0000, 2.0000, 50.0000, 0.0000, 0.0000, 2.3669},
        {50.0000, 2.4900, -0.0010, 50.0000, -2.4900, 0.0009, 7.1792},
        {50.0000, 2.4900, -0.0010, 50.0000, -2.4900, 0.0010, 7.1792},
        {50.0000, 2.4900, -0.0010, 50.0000, -2.4900, 0.0011, 7.2195},
        {50.0000, 2.4900, -0.0010, 50.0000, -2.4900, 0.0012, 7.2195},
        {50.0000, -0.0010, 2.4900, 50.0000, 0.0009, -2.4900, 4.8045},
        {50.0000, -0.0010, 2.4900, 50.0000, 0.0010, -2.4900, 4.8045},
        {50.0000, -0.0010, 2.4900, 50.0000, 0.0011, -2.4900, 4.7461},
        {50.0000, 2.5000, 0.0000, 50.0000, 0.0000, -2.5000, 4.3065},
        {50.0000, 2.5000, 0.0000, 73.0000, 25.0000, -18.0000, 27.1492},
        {50.0000, 2.5000, 0.0000, 61.0000, -5.0000, 29.0000, 22.8977},
        {50.0000, 2.5000, 0.0000, 56.0000, -27.0000, -3.0000, 31.9030},
        {50.0000, 2.5000, 0.0000, 58.0000, 24.0000, 15.0000, 19.4535},
        {50.0000, 2.5000, 0.0000, 50.0000, 3.1736, 0.5854, 1.0000},
        {50.0000, 2.5000, 0.0000, 50.0000, 3.2972, 0.0000, 1.0000},
        {50.0000, 2.5000, 0.0000, 50.0000, 1.8634, 0.5757, 1.0000},
        {50.0000, 2.5000, 0.0000, 50.0000, 3.2592, 0.3350, 1.0000},
        {60.2574, -34.0099, 36.2677, 60.4626, -34.1751, 39.4387, 1.2644},
        {63.0109, -31.0961, -5.8663, 62.8187, -29.7946, -4.0864, 1.2630},
        {61.2901, 3.7196, -5.3901, 61.4292, 2.2480, -4.9620, 1.8731},
        {35.0831, -44.1164, 3.7933, 35.0232, -40.0716, 1.5901, 1.8645},
        {22.7233, 20.0904, -46.6940, 23.0331, 14.9730, -42.5619, 2.0373},
        {36.4612, 47.8580, 18.3852, 36.2715, 50.5065, 21.2231, 1.4146},
        {90.8027, -2.0831, 1.4410, 91.1528, -1.6435, 0.0447, 1.4441},
        {90.9257, -0.5406, -0.9208, 88.6381, -0.8985, -0.7239, 1.5381},
        {6.7747, -0.2908, -2.4247, 5.8714, -0.0985, -2.2286, 0.6377},
        {2.0776, 0.0795, -1.1350, 0.9033, -0.0636, -0.5514, 0.9082},
    };
    for (const auto& p : pairs) {
        const Lab first = {p[0], p[1], p[2]};
        const Lab second = {p[3], p[4], p[5]};
        EXPECT_NEAR(Ciede2000(first, second), p[6], 0.00005)
            << "(" << p[0] << ", " << p[1] << ", " << p[2] << ") to (" << p[3] << ", " << p[4]
            << ", " << p[5] << ")";
        EXPECT_NEAR(Ciede2000(second, first), p[6], 0.00005) << "reversed";
    }
    EXPECT_EQ(Ciede2000({50, 10, -10}, {50, 10, -10}), 0.0);
}

TEST(SrgbCurve, HasTheStandardValuesAndInvertsItself)
{
    // Hand values: 0.5 decodes to ((0.555 / 1.055)^2.4) = 0.21404; the linear segment
    // ends at 0.04045 (0.0031308 linear).
    EXPECT_NEAR(SrgbToLinear(0.5), 0.214041, 1e-6);
    EXPECT_NEAR(SrgbToLinear(0.04045), 0.04045 / 12.92, 1e-12);
    EXPECT_DOUBLE_EQ(SrgbToLinear(0.0), 0.0);
    EXPECT_NEAR(SrgbToLinear(1.0), 1.0, 1e-12);
    for (int v = 0; v <= 255; ++v) {
        EXPECT_NEAR(LinearToSrgb(SrgbToLinear(v / 255.0)), v / 255.0, 1e-9) << v;
        EXPECT_DOUBLE_EQ(LinearOfByte(v), SrgbToLinear(v / 255.0)) << v;
    }
}

TEST(Cielab, WhiteBlackAndPrimariesHaveTheirKnownCoordinates)
{
    const struct {
        Rgb linear;
        Lab expected;  // published sRGB (D65) values, rounded to 0.01
    } cases[] = {
        {{1, 1, 1}, {100.0, 0.0, 0.0}},
        {{0, 0, 0}, {0.0, 0.0, 0.0}},
        {{1, 0, 0}, {53.24, 80.09, 67.20}},
        {{0, 1, 0}, {87.73, -86.18, 83.18}},
        {{0, 0, 1}, {32.30, 79.19, -107.86}},
    };
    for (const auto& c : cases) {
        const Lab lab = LinearRgbToLab(c.linear);
        EXPECT_NEAR(lab.L, c.expected.L, 0.01);
        EXPECT_NEAR(lab.a, c.expected.a, 0.01);
        EXPECT_NEAR(lab.b, c.expected.b, 0.01);
        // And back: 0.01 in L*a*b* is well under 0.001 in linear light here.
        const Rgb linear = LabToLinearRgb(c.expected);
        EXPECT_NEAR(linear.r, c.linear.r, 0.001) << c.expected.L;
        EXPECT_NEAR(linear.g, c.linear.g, 0.001) << c.expected.L;
        EXPECT_NEAR(linear.b, c.linear.b, 0.001) << c.expected.L;
    }
}

TEST(Cielab, InvertsExactlyAcrossBothSegmentsAndOutsideTheGamut)
{
    // Dark colours use the linear segment of f (below (6/29)^3), negative and above-one
    // channels lie outside the gamut, where the inverse must still hold.
    const Rgb colors[] = {
        {0.001, 0.002, 0.0005}, {0.2, 0.5, 0.8}, {-0.05, 0.4, 0.1}, {1.2, 0.9, -0.01},
        {0.0, 0.0, 0.0},
    };
    for (const Rgb& c : colors) {
        const Rgb back = LabToLinearRgb(LinearRgbToLab(c));
        EXPECT_NEAR(back.r, c.r, 1e-9) << c.r << " " << c.g << " " << c.b;
        EXPECT_NEAR(back.g, c.g, 1e-9) << c.r << " " << c.g << " " << c.b;
        EXPECT_NEAR(back.b, c.b, 1e-9) << c.r << " " << c.g << " " << c.b;
    }
}

TEST(CvdModels, KeepWhiteAndGreyAndAgreeWithTheirPublishedMatrices)
{
    const CvdModel models[] = {
        {CvdModelKind::Vienot1999, Deficiency::Protan, 1.0},
        {CvdModelKind::Vienot1999, Deficiency::Deutan, 1.0},
        {CvdModelKind::Brettel1997, Deficiency::Protan, 1.0},
        {CvdModelKind::Brettel1997, Deficiency::Deutan, 1.0},
        {CvdModelKind::Brettel1997, Deficiency::Tritan, 1.0},
        {CvdModelKind::Machado2009, Deficiency::Protan, 0.6},
        {CvdModelKind::Machado2009, Deficiency::Deutan, 0.6},
        {CvdModelKind::Machado2009, Deficiency::Tritan, 0.6},
    };
    // The neutral axis is seen as it is by every dichromat and anomalous trichromat in
    // these models (to the precision of their published six-digit constants).
    for (const CvdModel& model : models) {
        ASSERT_TRUE(IsKnownModel(model));
        for (double grey : {0.0, 0.2, 1.0}) {
            const Rgb seen = SimulateLinear(model, {grey, grey, grey});
            EXPECT_NEAR(seen.r, grey, 0.003);
            EXPECT_NEAR(seen.g, grey, 0.003);
            EXPECT_NEAR(seen.b, grey, 0.003);
        }
    }
    // Pure red as published: first column of each matrix.
    const Rgb vienotRed = SimulateLinear(models[0], {1, 0, 0});
    EXPECT_DOUBLE_EQ(vienotRed.r, 0.112383);
    EXPECT_DOUBLE_EQ(vienotRed.b, 0.004006);
    const Rgb machadoRed = SimulateLinear(models[5], {1, 0, 0});
    EXPECT_DOUBLE_EQ(machadoRed.r, 0.385450);
    EXPECT_DOUBLE_EQ(machadoRed.g, 0.100526);
    // Brettel picks its half-plane by the side of n: blue lies where rgb . n < 0 for the
    // tritan model (n . blue = -0.011134), so T2's third column applies.
    const Rgb brettelBlue = SimulateLinear(models[4], {0, 0, 1});
    EXPECT_DOUBLE_EQ(brettelBlue.r, -0.126571);
    EXPECT_DOUBLE_EQ(brettelBlue.b, 0.247958);
    const Rgb brettelRed = SimulateLinear(models[4], {1, 0, 0});  // n . red > 0: T1
    EXPECT_DOUBLE_EQ(brettelRed.b, 0.075891);
}

TEST(CvdModels, MachadoInterpolatesBetweenPublishedSeverities)
{
    const struct {
        double severity;
        double red;  // output red for pure red input, protanomaly
    } cases[] = {
        {0.0, 1.0},
        {0.1, 0.856167},
        {0.55, (0.458064 + 0.385450) / 2},
        {1.0, 0.152286},
    };
    for (const auto& c : cases) {
        const CvdModel model = {CvdModelKind::Machado2009, Deficiency::Protan, c.severity};
        EXPECT_NEAR(SimulateLinear(model, {1, 0, 0}).r, c.red, 1e-12) << c.severity;
    }
    EXPECT_FALSE(IsKnownModel({CvdModelKind::Machado2009, Deficiency::Protan, 1.2}));
    EXPECT_FALSE(IsKnownModel({CvdModelKind::Vienot1999, Deficiency::Tritan, 1.0}));
}

TEST(CvdModels, SrgbSimulationClipsBeforeEncoding)
{
    // Brettel's tritan T2 sends blue to a negative red: clipped to 0 before encoding.
    const CvdModel tritan = {CvdModelKind::Brettel1997, Deficiency::Tritan, 1.0};
    const Rgb seen = SimulateSrgb(tritan, {0, 0, 1});
    EXPECT_EQ(seen.r, 0.0);
    EXPECT_NEAR(seen.g, LinearToSrgb(0.123203), 1e-12);
    EXPECT_NEAR(seen.b, LinearToSrgb(0.247958), 1e-12);
}

}  // namespace
