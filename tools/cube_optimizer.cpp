// Coordinate descent over the control colours. Every grid colour falls into one cube cell,
// so the grid's total CIEDE2000 is a sum over cells, and a cell's share depends only on
// the colour the expansion gives it. A control colour reaches only the cells within two
// cells of its lattice point on each axis, so a candidate is judged by re-expanding the
// cube with the program's ExpandColorCube and re-measuring just the cells that changed.
//
// A cell serves every colour within half a level (8 or 9 values) of it, and where a model
// changes fast a colour at the edge of a cell can end far from the cell's best compromise.
// So the typical colours of the chart list take part as well: each counts as much as
// kChartWeight grid colours, and one that would differ by more than kChartLimit is pushed
// back hard, which keeps the colours users see most from being sacrificed to the average.

#include "tools/cube_optimizer.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "tools/filter_fidelity.h"

namespace {

const double kChartWeight = 16.0;
const double kChartLimit = 4.0;
const double kChartPenalty = 1000.0;  // per unit of CIEDE2000 beyond kChartLimit

// The model's CIELAB for every grid colour, grouped by the cube cell the colour falls in,
// and the same for the chart colours.
struct CellTargets {
    std::vector<int> start;  // targets of cell i: labs[start[i]] to labs[start[i + 1] - 1]
    std::vector<Lab> labs;
    std::vector<std::vector<Lab>> chart;  // per cell
};

void CollectTargets(const CvdModel& model, CellTargets& targets)
{
    targets.chart.assign(kColorCubeSize, {});
    for (int i = 0; i < kChartColorCount; ++i)
        targets.chart[ColorCubeIndex(kChartColors[i])].push_back(ModelLab(model, kChartColors[i]));

    std::vector<int> cellOf(kGridSize);
    targets.start.assign(kColorCubeSize + 1, 0);
    for (int i = 0; i < kGridSize; ++i) {
        cellOf[i] = ColorCubeIndex(GridColor(i));
        ++targets.start[cellOf[i] + 1];
    }
    for (int cell = 0; cell < kColorCubeSize; ++cell)
        targets.start[cell + 1] += targets.start[cell];
    std::vector<int> next(targets.start.begin(), targets.start.end() - 1);
    targets.labs.resize(kGridSize);
    for (int i = 0; i < kGridSize; ++i)
        targets.labs[next[cellOf[i]]++] = ModelLab(model, GridColor(i));
}

class Descent {
public:
    Descent(const CellTargets& targets, FilterRecord& record)
        : targets_(targets), record_(record), cellCost_(kColorCubeSize)
    {
        ExpandColorCube(record_);
        std::memcpy(accepted_, record_.colorCube, sizeof accepted_);
        total_ = 0.0;
        for (int cell = 0; cell < kColorCubeSize; ++cell) {
            cellCost_[cell] = CellCost(cell, record_.colorCube[cell]);
            total_ += cellCost_[cell];
        }
    }

    double Mean() const { return total_ / kGridSize; }
    long Evaluations() const { return evaluations_; }

    // Keeps `candidate` as control colour `index` when it lowers the total.
    bool TryControlColor(int index, ColorRef candidate)
    {
        ++evaluations_;
        const ColorRef previous = record_.controlCube[index];
        record_.controlCube[index] = candidate;
        ExpandColorCube(record_);

        changed_.clear();
        double delta = 0.0;
        for (int cell = 0; cell < kColorCubeSize; ++cell) {
            if (record_.colorCube[cell] == accepted_[cell])
                continue;
            const double cost = CellCost(cell, record_.colorCube[cell]);
            changed_.push_back({cell, cost});
            delta += cost - cellCost_[cell];
        }
        // Ignore changes lost in rounding, so that the descent cannot cycle.
        if (delta < -1e-9) {
            for (const Change& change : changed_) {
                accepted_[change.cell] = record_.colorCube[change.cell];
                cellCost_[change.cell] = change.cost;
            }
            total_ += delta;
            return true;
        }
        record_.controlCube[index] = previous;
        for (const Change& change : changed_)
            record_.colorCube[change.cell] = accepted_[change.cell];
        return false;
    }

private:
    struct Change {
        int cell;
        double cost;
    };

    double CellCost(int cell, ColorRef color) const
    {
        const Lab shown = ColorRefLab(color);
        double cost = 0.0;
        for (int i = targets_.start[cell]; i < targets_.start[cell + 1]; ++i)
            cost += Ciede2000(shown, targets_.labs[i]);
        for (const Lab& chart : targets_.chart[cell]) {
            const double difference = Ciede2000(shown, chart);
            cost += kChartWeight * difference +
                    kChartPenalty * std::max(0.0, difference - kChartLimit);
        }
        return cost;
    }

    const CellTargets& targets_;
    FilterRecord& record_;
    ColorCube accepted_;  // the colour cube of the control colours accepted so far
    std::vector<double> cellCost_;
    std::vector<Change> changed_;
    double total_ = 0.0;
    long evaluations_ = 0;
};

ColorRef WithChannel(ColorRef color, int channel, int value)
{
    const int shift = 8 * channel;
    return (color & ~(0xFFu << shift)) | static_cast<ColorRef>(value) << shift;
}

int ChannelOf(ColorRef color, int channel)
{
    return static_cast<int>((color >> (8 * channel)) & 0xFF);
}

// One round over every channel of every control colour: moves each one by `step` in
// whichever direction helps, for as long as it helps. True when anything moved.
bool DescendOnce(Descent& descent, FilterRecord& record, int step)
{
    bool moved = false;
    for (int index = 0; index < kControlCubeSize; ++index) {
        for (int channel = 0; channel < 3; ++channel) {
            for (int direction : {+1, -1}) {
                bool movedThisWay = false;
                for (;;) {
                    const int value = ChannelOf(record.controlCube[index], channel) + direction * step;
                    if (value < 0 || value > 255)
                        break;
                    if (!descent.TryControlColor(index,
                                                 WithChannel(record.controlCube[index], channel, value)))
                        break;
                    movedThisWay = true;
                }
                if (movedThisWay) {
                    moved = true;
                    break;  // no use trying back the way it came
                }
            }
        }
    }
    return moved;
}

}  // namespace

OptimizerResult OptimizeControlCube(const CvdModel& model, FilterRecord& record,
                                    void (*progress)(int step, double mean))
{
    CellTargets targets;
    CollectTargets(model, targets);

    for (int a = 0; a < kControlLevels; ++a)
        for (int b = 0; b < kControlLevels; ++b)
            for (int c = 0; c < kControlLevels; ++c)
                record.controlCube[ControlCubeIndex(a, b, c)] =
                    ModelColorRef(model, MakeColorRef(51 * a, 51 * b, 51 * c));

    Descent descent(targets, record);
    OptimizerResult result{};
    result.sampledMean = descent.Mean();
    const int kMaxRoundsPerStep = 12;
    for (int step : {16, 8, 4, 2, 1}) {
        for (int round = 0; round < kMaxRoundsPerStep; ++round) {
            const bool moved = DescendOnce(descent, record, step);
            if (progress != nullptr)
                progress(step, descent.Mean());
            if (!moved)
                break;
        }
    }
    result.optimizedMean = descent.Mean();
    result.evaluations = descent.Evaluations();
    return result;
}
