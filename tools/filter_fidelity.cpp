// Measuring a filter against its model, through LookupColor as the program filters.

#include "tools/filter_fidelity.h"

#include <algorithm>
#include <cmath>
#include <vector>

const ColorRef kChartColors[] = {
    // Primaries and secondaries (0x00BBGGRR).
    0x000000FF, 0x0000FF00, 0x00FF0000, 0x0000FFFF, 0x00FFFF00, 0x00FF00FF,
    // Greys from black to white.
    0x00000000, 0x00202020, 0x00404040, 0x00808080, 0x00A0A0A0, 0x00C0C0C0, 0x00E0E0E0,
    0x00FFFFFF,
    // A common chart palette, RGB 1f77b4 ff7f0e 2ca02c d62728 9467bd 8c564b e377c2 7f7f7f
    // bcbd22 17becf.
    0x00B4771F, 0x000E7FFF, 0x002CA02C, 0x002827D6, 0x00BD6794, 0x004B568C, 0x00C277E3,
    0x007F7F7F, 0x0022BDBC, 0x00CFBE17,
    // Skin tones, light to dark: RGB ffe0bd ffcd94 eac086 c68642 8d5524 4a312c.
    0x00BDE0FF, 0x0094CDFF, 0x0086C0EA, 0x004286C6, 0x0024558D, 0x002C314A,
    // Interface accents: system blues (0078d7 0067c0 0066cc 3399ff), web framework
    // primary, success, danger, warning and info (0d6efd 198754 dc3545 ffc107 0dcaf0),
    // material red, green, purple, teal, orange, indigo (f44336 4caf50 9c27b0 009688
    // ff9800 3f51b5), and system red, green, yellow, purple, teal (e81123 107c10 ffb900
    // 5c2d91 00b7c3).
    0x00D77800, 0x00C06700, 0x00CC6600, 0x00FF9933, 0x00FD6E0D, 0x00548719, 0x004535DC,
    0x0007C1FF, 0x00F0CA0D, 0x003643F4, 0x0050AF4C, 0x00B0279C, 0x00889600, 0x000098FF,
    0x00B5513F, 0x002311E8, 0x00107C10, 0x0000B9FF, 0x00912D5C, 0x00C3B700,
};
const int kChartColorCount = sizeof kChartColors / sizeof kChartColors[0];

namespace {

Rgb EncodedOf(ColorRef color)
{
    return {RedOf(color) / 255.0, GreenOf(color) / 255.0, BlueOf(color) / 255.0};
}

unsigned RoundToByte(double value)
{
    return static_cast<unsigned>(std::lround(std::clamp(value, 0.0, 1.0) * 255.0));
}

}  // namespace

Lab ColorRefLab(ColorRef color)
{
    return LinearRgbToLab(
        {LinearOfByte(RedOf(color)), LinearOfByte(GreenOf(color)), LinearOfByte(BlueOf(color))});
}

Lab ModelLab(const CvdModel& model, ColorRef color)
{
    const Rgb seen = SimulateSrgb(model, EncodedOf(color));
    return LinearRgbToLab({SrgbToLinear(seen.r), SrgbToLinear(seen.g), SrgbToLinear(seen.b)});
}

ColorRef ModelColorRef(const CvdModel& model, ColorRef color)
{
    const Rgb seen = SimulateSrgb(model, EncodedOf(color));
    return MakeColorRef(RoundToByte(seen.r), RoundToByte(seen.g), RoundToByte(seen.b));
}

FidelityFigures MeasureFidelity(const FilterRecord& record, const CvdModel& model)
{
    std::vector<double> differences(kGridSize);
    double sum = 0.0;
    for (int i = 0; i < kGridSize; ++i) {
        const ColorRef color = GridColor(i);
        differences[i] =
            Ciede2000(ColorRefLab(LookupColor(color, record)), ModelLab(model, color));
        sum += differences[i];
    }
    FidelityFigures figures{};
    figures.gridMean = sum / kGridSize;
    const size_t rank = static_cast<size_t>(std::ceil(0.95 * kGridSize)) - 1;
    std::nth_element(differences.begin(), differences.begin() + rank, differences.end());
    figures.gridP95 = differences[rank];

    double chartSum = 0.0;
    for (int i = 0; i < kChartColorCount; ++i) {
        const ColorRef color = kChartColors[i];
        const double difference =
            Ciede2000(ColorRefLab(LookupColor(color, record)), ModelLab(model, color));
        chartSum += difference;
        figures.chartMax = std::max(figures.chartMax, difference);
    }
    figures.chartMean = chartSum / kChartColorCount;
    return figures;
}

namespace {

// Groups the model's CIELAB of `count` colours by the cell each falls in.
void GroupByCell(const CvdModel& model, int count, ColorRef (*colorOf)(int),
                 std::vector<int>& start, std::vector<Lab>& labs)
{
    std::vector<int> cellOf(count);
    start.assign(kColorCubeSize + 1, 0);
    for (int i = 0; i < count; ++i) {
        cellOf[i] = ColorCubeIndex(colorOf(i));
        ++start[cellOf[i] + 1];
    }
    for (int cell = 0; cell < kColorCubeSize; ++cell)
        start[cell + 1] += start[cell];
    std::vector<int> next(start.begin(), start.end() - 1);
    labs.resize(count);
    for (int i = 0; i < count; ++i)
        labs[next[cellOf[i]]++] = ModelLab(model, colorOf(i));
}

ColorRef ChartColor(int index)
{
    return kChartColors[index];
}

}  // namespace

void CollectCellTargets(const CvdModel& model, CellTargets& targets)
{
    GroupByCell(model, kGridSize, GridColor, targets.start, targets.labs);
    GroupByCell(model, kChartColorCount, ChartColor, targets.chartStart, targets.chartLabs);
}
