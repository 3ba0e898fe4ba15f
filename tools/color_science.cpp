// Colour science for the filter tools. Constants are those published with each model
// (Vienot, Brettel & Mollon 1999; Brettel, Vienot & Mollon 1997; Machado, Oliveira &
// Fernandes 2009) and the CIEDE2000 formula as written out by Sharma, Wu & Dalal 2005.

#include "tools/color_science.h"

#include <algorithm>
#include <cmath>

namespace {

typedef double Matrix[3][3];

const double kPi = 3.14159265358979323846;

// Cosines and sines of the phase angles in CIEDE2000's hue weighting T.
const double kCos30 = 0.86602540378443864676, kSin30 = 0.5;
const double kCos6 = 0.99452189536827333692, kSin6 = 0.10452846326765347140;
const double kCos63 = 0.45399049973954679156, kSin63 = 0.89100652418836786236;

Rgb Apply(const Matrix& m, const Rgb& c)
{
    return {m[0][0] * c.r + m[0][1] * c.g + m[0][2] * c.b,
            m[1][0] * c.r + m[1][1] * c.g + m[1][2] * c.b,
            m[2][0] * c.r + m[2][1] * c.g + m[2][2] * c.b};
}

// Linear sRGB to XYZ, D65.
const Matrix kRgbToXyz = {
    {0.412456, 0.357576, 0.180438},
    {0.212673, 0.715152, 0.072175},
    {0.019334, 0.119192, 0.950304},
};

// Vienot 1999: one matrix per dichromacy, linear RGB in and out.
const Matrix kVienotProtan = {
    {0.112383, 0.887617, 0.000000},
    {0.112383, 0.887617, 0.000000},
    {0.004006, -0.004006, 1.000000},
};
const Matrix kVienotDeutan = {
    {0.292750, 0.707250, 0.000000},
    {0.292750, 0.707250, -0.000000},
    {-0.022337, 0.022337, 1.000000},
};

// Brettel 1997: the colour is projected in one of two half-planes, chosen by the side of
// the separating plane (normal n) on which it lies.
struct BrettelModel {
    Matrix first;   // where rgb . n >= 0
    Matrix second;  // elsewhere
    double normal[3];
};
const BrettelModel kBrettel[3] = {
    {   // protanopia
        {{0.149803, 1.195478, -0.345281}, {0.107645, 0.848638, 0.043717},
         {0.003837, -0.005395, 1.001558}},
        {{0.145700, 1.161718, -0.307418}, {0.108164, 0.852913, 0.038923},
         {0.003855, -0.005243, 1.001387}},
        {0.000478, 0.003930, -0.004408},
    },
    {   // deuteranopia
        {{0.364774, 0.863811, -0.228585}, {0.262937, 0.642445, 0.094617},
         {-0.020062, 0.027281, 0.992781}},
        {{0.372985, 0.881658, -0.254643}, {0.259539, 0.635058, 0.105404},
         {-0.019803, 0.027845, 0.991958}},
        {-0.002810, -0.006109, 0.008919},
    },
    {   // tritanopia
        {{1.012773, 0.135485, -0.148257}, {-0.012433, 0.868121, 0.144312},
         {0.075891, 0.805002, 0.119107}},
        {{0.936781, 0.189790, -0.126571}, {0.061537, 0.815260, 0.123203},
         {-0.375624, 1.127665, 0.247958}},
        {0.039015, -0.027881, -0.011134},
    },
};

// Machado 2009: one matrix per severity step of 0.1 from 0 to 1, for each deficiency.
const Matrix kMachado[3][11] = {
    {   // protanomaly
        {{1.000000, 0.000000, -0.000000}, {0.000000, 1.000000, 0.000000}, {-0.000000, -0.000000, 1.000000}},
        {{0.856167, 0.182038, -0.038205}, {0.029342, 0.955115, 0.015544}, {-0.002880, -0.001563, 1.004443}},
        {{0.734766, 0.334872, -0.069637}, {0.051840, 0.919198, 0.028963}, {-0.004928, -0.004209, 1.009137}},
        {{0.630323, 0.465641, -0.095964}, {0.069181, 0.890046, 0.040773}, {-0.006308, -0.007724, 1.014032}},
        {{0.539009, 0.579343, -0.118352}, {0.082546, 0.866121, 0.051332}, {-0.007136, -0.011959, 1.019095}},
        {{0.458064, 0.679578, -0.137642}, {0.092785, 0.846313, 0.060902}, {-0.007494, -0.016807, 1.024301}},
        {{0.385450, 0.769005, -0.154455}, {0.100526, 0.829802, 0.069673}, {-0.007442, -0.022190, 1.029632}},
        {{0.319627, 0.849633, -0.169261}, {0.106241, 0.815969, 0.077790}, {-0.007025, -0.028051, 1.035076}},
        {{0.259411, 0.923008, -0.182420}, {0.110296, 0.804340, 0.085364}, {-0.006276, -0.034346, 1.040622}},
        {{0.203876, 0.990338, -0.194214}, {0.112975, 0.794542, 0.092483}, {-0.005222, -0.041043, 1.046265}},
        {{0.152286, 1.052583, -0.204868}, {0.114503, 0.786281, 0.099216}, {-0.003882, -0.048116, 1.051998}},
    },
    {   // deuteranomaly
        {{1.000000, 0.000000, -0.000000}, {0.000000, 1.000000, 0.000000}, {-0.000000, -0.000000, 1.000000}},
        {{0.866435, 0.177704, -0.044139}, {0.049567, 0.939063, 0.011370}, {-0.003453, 0.007233, 0.996220}},
        {{0.760729, 0.319078, -0.079807}, {0.090568, 0.889315, 0.020117}, {-0.006027, 0.013325, 0.992702}},
        {{0.675425, 0.433850, -0.109275}, {0.125303, 0.847755, 0.026942}, {-0.007950, 0.018572, 0.989378}},
        {{0.605511, 0.528560, -0.134071}, {0.155318, 0.812366, 0.032316}, {-0.009376, 0.023176, 0.986200}},
        {{0.547494, 0.607765, -0.155259}, {0.181692, 0.781742, 0.036566}, {-0.010410, 0.027275, 0.983136}},
        {{0.498864, 0.674741, -0.173604}, {0.205199, 0.754872, 0.039929}, {-0.011131, 0.030969, 0.980162}},
        {{0.457771, 0.731899, -0.189670}, {0.226409, 0.731012, 0.042579}, {-0.011595, 0.034333, 0.977261}},
        {{0.422823, 0.781057, -0.203881}, {0.245752, 0.709602, 0.044646}, {-0.011843, 0.037423, 0.974421}},
        {{0.392952, 0.823610, -0.216562}, {0.263559, 0.690210, 0.046232}, {-0.011910, 0.040281, 0.971630}},
        {{0.367322, 0.860646, -0.227968}, {0.280085, 0.672501, 0.047413}, {-0.011820, 0.042940, 0.968881}},
    },
    {   // tritanomaly
        {{1.000000, 0.000000, -0.000000}, {0.000000, 1.000000, 0.000000}, {-0.000000, -0.000000, 1.000000}},
        {{0.926670, 0.092514, -0.019184}, {0.021191, 0.964503, 0.014306}, {0.008437, 0.054813, 0.936750}},
        {{0.895720, 0.133330, -0.029050}, {0.029997, 0.945400, 0.024603}, {0.013027, 0.104707, 0.882266}},
        {{0.905871, 0.127791, -0.033662}, {0.026856, 0.941251, 0.031893}, {0.013410, 0.148296, 0.838294}},
        {{0.948035, 0.089490, -0.037526}, {0.014364, 0.946792, 0.038844}, {0.010853, 0.193991, 0.795156}},
        {{1.017277, 0.027029, -0.044306}, {-0.006113, 0.958479, 0.047634}, {0.006379, 0.248708, 0.744913}},
        {{1.104996, -0.046633, -0.058363}, {-0.032137, 0.971635, 0.060503}, {0.001336, 0.317922, 0.680742}},
        {{1.193214, -0.109812, -0.083402}, {-0.058496, 0.979410, 0.079086}, {-0.002346, 0.403492, 0.598854}},
        {{1.257728, -0.139648, -0.118081}, {-0.078003, 0.975409, 0.102594}, {-0.003316, 0.501214, 0.502102}},
        {{1.278864, -0.125333, -0.153531}, {-0.084748, 0.957674, 0.127074}, {-0.000989, 0.601151, 0.399838}},
        {{1.255528, -0.076749, -0.178779}, {-0.078411, 0.930809, 0.147602}, {0.004733, 0.691367, 0.303900}},
    },
};

int DeficiencyIndex(Deficiency deficiency)
{
    switch (deficiency) {
    case Deficiency::Protan: return 0;
    case Deficiency::Deutan: return 1;
    case Deficiency::Tritan: return 2;
    }
    return 0;
}

// Machado's matrices are published at every 0.1 of severity; between two steps the
// authors interpolate linearly.
void MachadoMatrix(Deficiency deficiency, double severity, Matrix& out)
{
    const Matrix* steps = kMachado[DeficiencyIndex(deficiency)];
    const double scaled = std::clamp(severity, 0.0, 1.0) * 10.0;
    const int lower = std::min(static_cast<int>(std::floor(scaled)), 9);
    const double t = scaled - lower;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            out[i][j] = (1.0 - t) * steps[lower][i][j] + t * steps[lower + 1][i][j];
}

double Clip(double value)
{
    return std::clamp(value, 0.0, 1.0);
}

double LabF(double t)
{
    const double delta = 6.0 / 29.0;
    return t > delta * delta * delta ? std::cbrt(t) : t / (3.0 * delta * delta) + 4.0 / 29.0;
}

double LabFInverse(double f)
{
    const double delta = 6.0 / 29.0;
    return f > delta ? f * f * f : 3.0 * delta * delta * (f - 4.0 / 29.0);
}

// XYZ to linear sRGB: the inverse of kRgbToXyz, by cofactors. Taking each minor's rows and
// columns in cyclic order gives it its cofactor sign.
struct XyzToRgb {
    Matrix m;
    XyzToRgb()
    {
        const Matrix& a = kRgbToXyz;
        const double det = a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) -
                           a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
                           a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j) {
                const int r0 = (j + 1) % 3, r1 = (j + 2) % 3, c0 = (i + 1) % 3, c1 = (i + 2) % 3;
                m[i][j] = (a[r0][c0] * a[r1][c1] - a[r0][c1] * a[r1][c0]) / det;
            }
        }
    }
};

double Degrees(double radians)
{
    return radians * 180.0 / kPi;
}

double Radians(double degrees)
{
    return degrees * kPi / 180.0;
}

// x^7 by multiplication: std::pow is several times slower, and the optimiser evaluates
// CIEDE2000 hundreds of millions of times.
double Seventh(double x)
{
    const double x2 = x * x;
    return x2 * x2 * x2 * x;
}

struct LinearTable {
    double values[256];
    LinearTable()
    {
        for (int i = 0; i < 256; ++i)
            values[i] = SrgbToLinear(i / 255.0);
    }
};

}  // namespace

double SrgbToLinear(double c)
{
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double LinearToSrgb(double l)
{
    return l <= 0.0031308 ? 12.92 * l : 1.055 * std::pow(l, 1.0 / 2.4) - 0.055;
}

double LinearOfByte(unsigned value)
{
    static const LinearTable table;
    return table.values[value & 0xFF];
}

Lab LinearRgbToLab(const Rgb& linear)
{
    static const Rgb white = Apply(kRgbToXyz, {1.0, 1.0, 1.0});
    const Rgb xyz = Apply(kRgbToXyz, linear);
    const double fx = LabF(xyz.r / white.r);
    const double fy = LabF(xyz.g / white.g);
    const double fz = LabF(xyz.b / white.b);
    return {116.0 * fy - 16.0, 500.0 * (fx - fy), 200.0 * (fy - fz)};
}

Rgb LabToLinearRgb(const Lab& lab)
{
    static const Rgb white = Apply(kRgbToXyz, {1.0, 1.0, 1.0});
    static const XyzToRgb xyzToRgb;
    const double fy = (lab.L + 16.0) / 116.0;
    const Rgb xyz = {white.r * LabFInverse(fy + lab.a / 500.0), white.g * LabFInverse(fy),
                     white.b * LabFInverse(fy - lab.b / 200.0)};
    return Apply(xyzToRgb.m, xyz);
}

double Ciede2000(const Lab& first, const Lab& second)
{
    const double pow25To7 = 6103515625.0;  // 25^7
    // sqrt rather than std::hypot, which guards against overflow that CIELAB values
    // cannot reach and costs several times as much.
    const double c1 = std::sqrt(first.a * first.a + first.b * first.b);
    const double c2 = std::sqrt(second.a * second.a + second.b * second.b);
    const double cMean = (c1 + c2) / 2.0;
    const double cMean7 = Seventh(cMean);
    const double g = 0.5 * (1.0 - std::sqrt(cMean7 / (cMean7 + pow25To7)));

    const double a1 = (1.0 + g) * first.a;
    const double a2 = (1.0 + g) * second.a;
    const double c1p = std::sqrt(a1 * a1 + first.b * first.b);
    const double c2p = std::sqrt(a2 * a2 + second.b * second.b);
    auto hue = [](double b, double a) {
        if (a == 0.0 && b == 0.0)
            return 0.0;
        const double h = Degrees(std::atan2(b, a));
        return h < 0.0 ? h + 360.0 : h;
    };
    const double h1p = hue(first.b, a1);
    const double h2p = hue(second.b, a2);

    const double deltaL = second.L - first.L;
    const double deltaC = c2p - c1p;
    double deltaH = 0.0;
    if (c1p * c2p != 0.0) {
        deltaH = h2p - h1p;
        if (deltaH > 180.0)
            deltaH -= 360.0;
        else if (deltaH < -180.0)
            deltaH += 360.0;
    }
    const double deltaHBig = 2.0 * std::sqrt(c1p * c2p) * std::sin(Radians(deltaH) / 2.0);

    const double lMean = (first.L + second.L) / 2.0;
    const double cpMean = (c1p + c2p) / 2.0;
    double hMean = h1p + h2p;
    if (c1p * c2p != 0.0) {
        if (std::fabs(h1p - h2p) <= 180.0)
            hMean = (h1p + h2p) / 2.0;
        else if (h1p + h2p < 360.0)
            hMean = (h1p + h2p + 360.0) / 2.0;
        else
            hMean = (h1p + h2p - 360.0) / 2.0;
    }

    // T = 1 - 0.17 cos(h - 30) + 0.24 cos(2h) + 0.32 cos(3h + 6) - 0.20 cos(4h - 63), with
    // the multiple angles built from one cosine and sine of h.
    const double cos1 = std::cos(Radians(hMean));
    const double sin1 = std::sin(Radians(hMean));
    const double cos2 = 2.0 * cos1 * cos1 - 1.0;
    const double sin2 = 2.0 * sin1 * cos1;
    const double cos3 = cos1 * cos2 - sin1 * sin2;
    const double sin3 = sin1 * cos2 + cos1 * sin2;
    const double cos4 = 2.0 * cos2 * cos2 - 1.0;
    const double sin4 = 2.0 * sin2 * cos2;
    const double t = 1.0 - 0.17 * (cos1 * kCos30 + sin1 * kSin30) + 0.24 * cos2 +
                     0.32 * (cos3 * kCos6 - sin3 * kSin6) - 0.20 * (cos4 * kCos63 + sin4 * kSin63);
    const double hueOffset = (hMean - 275.0) / 25.0;
    const double deltaTheta = 30.0 * std::exp(-hueOffset * hueOffset);
    const double cpMean7 = Seventh(cpMean);
    const double rc = 2.0 * std::sqrt(cpMean7 / (cpMean7 + pow25To7));
    const double lOffset = (lMean - 50.0) * (lMean - 50.0);
    const double sl = 1.0 + 0.015 * lOffset / std::sqrt(20.0 + lOffset);
    const double sc = 1.0 + 0.045 * cpMean;
    const double sh = 1.0 + 0.015 * cpMean * t;
    const double rt = -std::sin(Radians(2.0 * deltaTheta)) * rc;

    const double l = deltaL / sl;
    const double c = deltaC / sc;
    const double h = deltaHBig / sh;
    return std::sqrt(l * l + c * c + h * h + rt * c * h);
}

bool IsKnownModel(const CvdModel& model)
{
    if (!(model.severity >= 0.0 && model.severity <= 1.0))
        return false;
    return !(model.kind == CvdModelKind::Vienot1999 && model.deficiency == Deficiency::Tritan);
}

Rgb SimulateLinear(const CvdModel& model, const Rgb& linear)
{
    switch (model.kind) {
    case CvdModelKind::Vienot1999:
        return Apply(model.deficiency == Deficiency::Deutan ? kVienotDeutan : kVienotProtan,
                     linear);
    case CvdModelKind::Brettel1997: {
        const BrettelModel& brettel = kBrettel[DeficiencyIndex(model.deficiency)];
        const double side = linear.r * brettel.normal[0] + linear.g * brettel.normal[1] +
                            linear.b * brettel.normal[2];
        return Apply(side >= 0.0 ? brettel.first : brettel.second, linear);
    }
    case CvdModelKind::Machado2009: {
        Matrix matrix;
        MachadoMatrix(model.deficiency, model.severity, matrix);
        return Apply(matrix, linear);
    }
    }
    return linear;
}

Rgb SimulateSrgb(const CvdModel& model, const Rgb& encoded)
{
    const Rgb linear = {SrgbToLinear(encoded.r), SrgbToLinear(encoded.g), SrgbToLinear(encoded.b)};
    const Rgb seen = SimulateLinear(model, linear);
    return {LinearToSrgb(Clip(seen.r)), LinearToSrgb(Clip(seen.g)), LinearToSrgb(Clip(seen.b))};
}
