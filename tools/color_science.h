// Colour science for making and measuring filter files: the sRGB transfer curve, the
// published colour-vision-deficiency models, CIELAB and the CIEDE2000 colour difference.
// Floating point throughout; used by the filter generator and by the tests, never by the
// program itself.
#pragma once

struct Rgb {
    double r, g, b;  // 0 to 1, linear or sRGB-encoded as the function says
};

struct Lab {
    double L, a, b;
};

// The sRGB transfer curve (IEC 61966-2-1) of one channel, values 0 to 1.
double SrgbToLinear(double encoded);
double LinearToSrgb(double linear);

// An 8-bit sRGB channel value (0-255) as linear light, from a table.
double LinearOfByte(unsigned value);

// CIELAB of a linear sRGB colour, D65 white.
Lab LinearRgbToLab(const Rgb& linear);

// The linear sRGB colour of a CIELAB colour, D65 white; out of 0-1 where the colour is
// outside the sRGB gamut.
Rgb LabToLinearRgb(const Lab& lab);

// CIEDE2000 with kL = kC = kH = 1.
double Ciede2000(const Lab& first, const Lab& second);

enum class CvdModelKind {
    Vienot1999,   // dichromats: protanopia and deuteranopia
    Brettel1997,  // dichromats, tritanopia included: two half-planes
    Machado2009,  // anomalous trichromacy at a severity from 0 to 1
};

enum class Deficiency {
    Protan,  // red cones missing or shifted
    Deutan,  // green cones
    Tritan,  // blue cones
};

struct CvdModel {
    CvdModelKind kind;
    Deficiency deficiency;
    double severity;  // Machado2009 only: 0 (normal vision) to 1 (dichromacy)
};

// False for a combination no published model covers here (Vienot1999 for tritans) or a
// severity outside 0 to 1.
bool IsKnownModel(const CvdModel& model);

// The model applied to a linear sRGB colour; the result is not clipped.
Rgb SimulateLinear(const CvdModel& model, const Rgb& linear);

// What a person with the deficiency sees for an sRGB colour, as the models are meant to be
// used: decode, simulate, clip to 0-1, encode.
Rgb SimulateSrgb(const CvdModel& model, const Rgb& encoded);
