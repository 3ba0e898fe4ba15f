// Descent over the control colours. Every grid colour falls into one cube cell, so the
// grid's total CIEDE2000 is a sum over cells, and a cell's share depends only on the
// colour the expansion gives it. A control colour reaches only the cells within two cells
// of its lattice point on each axis, so a candidate is judged by re-expanding the cube with
// the program's ExpandColorCube and re-measuring just the cells that changed. A cell's
// share is remembered per colour: the descent meets the same cell colours again and again.
//
// A cell serves every colour within half a level (8 or 9 values) of it, and where a model
// changes fast a colour at the edge of a cell can end far from the cell's best compromise.
// So the typical colours of the chart list take part as well: each counts as much as
// kChartWeight grid colours, and one that would differ by more than kChartLimit is pushed
// back hard, which keeps the colours users see most from being sacrificed to the average.
// (Dropping the chart colours for the last passes, with every chart colour merely held
// within kChartLimit, left the grid mean no better and the chart mean 0.05 to 0.11 worse.)
//
// Moves of one control colour at a time end where the truncating expansion makes every
// single step cost more than it gains, while a few control colours moved at once would
// still gain. So the descent also moves pairs of neighbours together, and then kicks:
// it moves one control colour at random, descends around it, and keeps the result only
// when the whole is better.

#include "tools/cube_optimizer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "tools/filter_fidelity.h"

namespace {

const double kChartWeight = 16.0;
const double kChartLimit = 4.0;
const double kChartPenalty = 1000.0;  // per unit of CIEDE2000 beyond kChartLimit
const int kMaxMoved = 2;               // control colours that one move changes together

// The grid's summed CIEDE2000 in one cell for one colour, by cell and colour: an open
// addressing table that doubles when half full.
class CellCostCache {
public:
    CellCostCache() : keys_(kInitialSlots, kEmpty), values_(kInitialSlots) {}

    bool Find(int cell, ColorRef color, double* value) const
    {
        const uint64_t key = Key(cell, color);
        for (size_t slot = Slot(key);; slot = (slot + 1) & (keys_.size() - 1)) {
            if (keys_[slot] == key) {
                *value = values_[slot];
                return true;
            }
            if (keys_[slot] == kEmpty)
                return false;
        }
    }

    void Insert(int cell, ColorRef color, double value)
    {
        if (2 * (count_ + 1) > keys_.size())
            Grow();
        Place(Key(cell, color), value);
        ++count_;
    }

private:
    static constexpr size_t kInitialSlots = size_t(1) << 20;
    static constexpr uint64_t kEmpty = ~uint64_t(0);

    static uint64_t Key(int cell, ColorRef color)
    {
        return static_cast<uint64_t>(cell) << 24 | (color & 0xFFFFFF);
    }

    size_t Slot(uint64_t key) const
    {
        return static_cast<size_t>((key * 0x9E3779B97F4A7C15ull) >> 32) & (keys_.size() - 1);
    }

    void Place(uint64_t key, double value)
    {
        size_t slot = Slot(key);
        while (keys_[slot] != kEmpty)
            slot = (slot + 1) & (keys_.size() - 1);
        keys_[slot] = key;
        values_[slot] = value;
    }

    void Grow()
    {
        std::vector<uint64_t> keys(2 * keys_.size(), kEmpty);
        std::vector<double> values(2 * keys_.size());
        keys.swap(keys_);
        values.swap(values_);
        for (size_t i = 0; i < keys.size(); ++i)
            if (keys[i] != kEmpty)
                Place(keys[i], values[i]);
    }

    std::vector<uint64_t> keys_;
    std::vector<double> values_;
    size_t count_ = 0;
};

// Where the descent stands: the colour cube of the control colours accepted so far and
// what its cells cost. Small enough to copy for a trial that may be undone.
struct DescentState {
    ColorCube accepted;
    double cellGrid[kColorCubeSize];  // each cell's grid cost
    std::vector<double> chart;        // each chart colour's difference, in cell order
    double gridTotal;                 // the grid's summed CIEDE2000
    double total;                     // the objective: gridTotal and the chart's cost
};

class Descent {
public:
    Descent(const CellTargets& targets, FilterRecord& record) : targets_(targets), record_(record)
    {
        ExpandColorCube(record_);
        std::memcpy(state_.accepted, record_.colorCube, sizeof state_.accepted);
        state_.chart.resize(targets_.chartLabs.size());
        state_.gridTotal = 0.0;
        for (int cell = 0; cell < kColorCubeSize; ++cell) {
            state_.cellGrid[cell] = GridCost(cell, state_.accepted[cell]);
            state_.gridTotal += state_.cellGrid[cell];
            ChartDifferences(cell, state_.accepted[cell], &state_.chart[targets_.chartStart[cell]]);
        }
        state_.total = state_.gridTotal;
        for (double difference : state_.chart)
            state_.total += ChartCost(difference);
    }

    double GridMean() const { return state_.gridTotal / kGridSize; }
    long Evaluations() const { return evaluations_; }
    const DescentState& State() const { return state_; }

    // Returns to a state saved from this descent, with the control colours it had then.
    void Restore(const DescentState& state, const ControlCube& controls)
    {
        state_ = state;
        std::memcpy(record_.controlCube, controls, sizeof record_.controlCube);
        std::memcpy(record_.colorCube, state_.accepted, sizeof record_.colorCube);
    }

    // Keeps `candidates` as the control colours `indices` (at most kMaxMoved) when that is
    // better under the objective, or in any case when `force` is set.
    bool TryControlColors(int count, const int* indices, const ColorRef* candidates,
                          bool force = false)
    {
        ++evaluations_;
        ColorRef previous[kMaxMoved];
        for (int i = 0; i < count; ++i) {
            previous[i] = record_.controlCube[indices[i]];
            record_.controlCube[indices[i]] = candidates[i];
        }
        if (Judge(force))
            return true;
        for (int i = count - 1; i >= 0; --i)
            record_.controlCube[indices[i]] = previous[i];
        std::memcpy(record_.colorCube, state_.accepted, sizeof state_.accepted);
        return false;
    }

private:
    // Expands the control colours as they now stand and keeps the result when it is better
    // than the accepted cube, or in any case when `force` is set.
    bool Judge(bool force)
    {
        ExpandColorCube(record_);

        changed_.clear();
        newChart_.clear();
        double delta = 0.0;
        for (int cell = 0; cell < kColorCubeSize; ++cell) {
            const ColorRef color = record_.colorCube[cell];
            if (color == state_.accepted[cell])
                continue;
            const double grid = GridCost(cell, color);
            changed_.push_back({cell, grid});
            delta += grid - state_.cellGrid[cell];
            const int first = targets_.chartStart[cell];
            const int count = targets_.chartStart[cell + 1] - first;
            if (count == 0)
                continue;
            const size_t at = newChart_.size();
            newChart_.resize(at + count);
            ChartDifferences(cell, color, &newChart_[at]);
            for (int i = 0; i < count; ++i)
                delta += ChartCost(newChart_[at + i]) - ChartCost(state_.chart[first + i]);
        }
        // Ignore changes lost in rounding, so that the descent cannot cycle.
        if (force || delta < -1e-9) {
            state_.total += delta;
            size_t at = 0;
            for (const Change& change : changed_) {
                state_.accepted[change.cell] = record_.colorCube[change.cell];
                state_.gridTotal += change.grid - state_.cellGrid[change.cell];
                state_.cellGrid[change.cell] = change.grid;
                for (int i = targets_.chartStart[change.cell];
                     i < targets_.chartStart[change.cell + 1]; ++i)
                    state_.chart[i] = newChart_[at++];
            }
            return true;
        }
        return false;
    }

    struct Change {
        int cell;
        double grid;
    };

    double GridCost(int cell, ColorRef color)
    {
        double cost = 0.0;
        if (cache_.Find(cell, color, &cost))
            return cost;
        const Lab shown = ColorRefLab(color);
        for (int i = targets_.start[cell]; i < targets_.start[cell + 1]; ++i)
            cost += Ciede2000(shown, targets_.labs[i]);
        cache_.Insert(cell, color, cost);
        return cost;
    }

    void ChartDifferences(int cell, ColorRef color, double* differences) const
    {
        const Lab shown = ColorRefLab(color);
        for (int i = targets_.chartStart[cell]; i < targets_.chartStart[cell + 1]; ++i)
            *differences++ = Ciede2000(shown, targets_.chartLabs[i]);
    }

    static double ChartCost(double difference)
    {
        return kChartWeight * difference + kChartPenalty * std::max(0.0, difference - kChartLimit);
    }

    const CellTargets& targets_;
    FilterRecord& record_;
    DescentState state_;
    std::vector<Change> changed_;
    std::vector<double> newChart_;  // the changed cells' chart differences, in cell order
    CellCostCache cache_;
    long evaluations_ = 0;
};

// The directions a control colour may move in: along one channel (the first
// kChannelDirections, in opposite pairs), or along any diagonal of two or three channels.
const int kChannelDirections = 6;
const int kAllDirections = 26;

struct Directions {
    int d[kAllDirections][3];
    Directions()
    {
        int n = 0;
        for (int axis = 0; axis < 3; ++axis)
            for (int sign : {+1, -1}) {
                d[n][0] = d[n][1] = d[n][2] = 0;
                d[n++][axis] = sign;
            }
        for (int r = -1; r <= 1; ++r)
            for (int g = -1; g <= 1; ++g)
                for (int b = -1; b <= 1; ++b)
                    if ((r != 0) + (g != 0) + (b != 0) >= 2) {
                        d[n][0] = r;
                        d[n][1] = g;
                        d[n++][2] = b;
                    }
    }
};

const Directions kDirections;

// `color` moved by `offset` times `scale`; false when that leaves 0-255.
bool Moved(ColorRef color, const int offset[3], int scale, ColorRef* moved)
{
    const int r = static_cast<int>(RedOf(color)) + offset[0] * scale;
    const int g = static_cast<int>(GreenOf(color)) + offset[1] * scale;
    const int b = static_cast<int>(BlueOf(color)) + offset[2] * scale;
    *moved = MakeColorRef(r, g, b);
    return r >= 0 && r <= 255 && g >= 0 && g <= 255 && b >= 0 && b <= 255;
}

// Moves the `count` control colours `indices` together by `offset` times `scale`, when
// that is better or `force` is set.
bool MoveControlColors(Descent& descent, const FilterRecord& record, int count,
                       const int* indices, const int offset[3], int scale, bool force = false)
{
    ColorRef candidates[kMaxMoved];
    for (int i = 0; i < count; ++i)
        if (!Moved(record.controlCube[indices[i]], offset, scale, &candidates[i]))
            return false;
    return descent.TryControlColors(count, indices, candidates, force);
}

// Moves a control colour, alone or together with the one beside it on one axis, by `step`
// along each of the first `directionCount` directions for as long as that helps. True when
// anything moved.
bool MoveAlong(Descent& descent, const FilterRecord& record, int count, const int* indices,
               int step, int directionCount)
{
    bool moved = false;
    for (int k = 0; k < directionCount; ++k) {
        bool movedThisWay = false;
        while (MoveControlColors(descent, record, count, indices, kDirections.d[k], step))
            movedThisWay = true;
        moved = moved || movedThisWay;
        // After a move along one channel there is no use trying back the way it came.
        if (movedThisWay && k < kChannelDirections && k % 2 == 0)
            ++k;
    }
    return moved;
}

uint32_t NextRandom(uint32_t& seed)
{
    seed = seed * 1664525u + 1013904223u;
    return seed >> 8;
}

// The control colours whose lattice points lie within one step of `index` on every axis,
// `index` included.
int LatticeNeighbours(int index, int (&out)[27])
{
    const int a = index / 36, b = index / 6 % 6, c = index % 6;
    int n = 0;
    for (int i = std::max(a - 1, 0); i <= std::min(a + 1, kControlLevels - 1); ++i)
        for (int j = std::max(b - 1, 0); j <= std::min(b + 1, kControlLevels - 1); ++j)
            for (int k = std::max(c - 1, 0); k <= std::min(c + 1, kControlLevels - 1); ++k)
                out[n++] = ControlCubeIndex(i, j, k);
    return n;
}

class Queue {
public:
    void Push(int index)
    {
        if (!queued_[index]) {
            queued_[index] = true;
            indices_.push_back(index);
        }
    }

    void PushNeighbours(int index)
    {
        int neighbours[27];
        const int count = LatticeNeighbours(index, neighbours);
        for (int i = 0; i < count; ++i)
            Push(neighbours[i]);
    }

    bool Empty() const { return indices_.empty(); }

    // Any queued control colour, chosen by `seed`.
    int Pop(uint32_t& seed)
    {
        const size_t pick = NextRandom(seed) % indices_.size();
        const int index = indices_[pick];
        indices_[pick] = indices_.back();
        indices_.pop_back();
        queued_[index] = false;
        return index;
    }

private:
    std::vector<int> indices_;
    bool queued_[kControlCubeSize] = {};
};

// Moves the queued control colours by `step` along each of the first `directionCount`
// directions for as long as that helps, and with `pairs` each also together with each
// of its neighbours on the axes. A control colour's share of the objective depends on its
// lattice neighbours, so when one moves they are queued again. The queue is worked in a
// pseudo-random order fixed by `seed`, so that no corner of the cube always moves first
// and every run gives the same files.
void Polish(Descent& descent, const FilterRecord& record, Queue& queue, int step,
            int directionCount, bool pairs, uint32_t& seed)
{
    while (!queue.Empty()) {
        const int index = queue.Pop(seed);
        bool moved = MoveAlong(descent, record, 1, &index, step, directionCount);
        for (int axis = 0; pairs && axis < 3; ++axis) {
            for (int side : {-1, +1}) {
                int at[3] = {index / 36, index / 6 % 6, index % 6};
                at[axis] += side;
                if (at[axis] < 0 || at[axis] >= kControlLevels)
                    continue;
                const int both[2] = {index, ControlCubeIndex(at[0], at[1], at[2])};
                if (MoveAlong(descent, record, 2, both, step, kChannelDirections))
                    moved = true;
            }
        }
        if (moved)
            queue.PushNeighbours(index);
    }
}

void PolishAll(Descent& descent, const FilterRecord& record, int step, int directionCount,
               bool pairs, uint32_t& seed)
{
    Queue queue;
    for (int i = 0; i < kControlCubeSize; ++i)
        queue.Push(i);
    Polish(descent, record, queue, step, directionCount, pairs, seed);
}

// Moves one control colour by a random offset of up to kKickReach in each channel,
// whatever it costs, descends around it, and keeps the result only when the objective
// went down.
void Kick(Descent& descent, FilterRecord& record, uint32_t& seed)
{
    const int kKickReach = 2;
    static DescentState saved;
    static ControlCube savedControls;
    saved = descent.State();
    std::memcpy(savedControls, record.controlCube, sizeof savedControls);

    const int index = static_cast<int>(NextRandom(seed) % kControlCubeSize);
    int offset[3];
    for (int& o : offset)
        o = static_cast<int>(NextRandom(seed) % (2 * kKickReach + 1)) - kKickReach;
    if (!MoveControlColors(descent, record, 1, &index, offset, 1, true))
        return;
    Queue queue;
    queue.PushNeighbours(index);
    Polish(descent, record, queue, 1, kChannelDirections, false, seed);
    if (!(descent.State().total < saved.total - 1e-9))
        descent.Restore(saved, savedControls);
}

}  // namespace

OptimizerResult OptimizeControlCube(const CvdModel& model, FilterRecord& record,
                                    void (*progress)(const char* stage, double gridMean))
{
    CellTargets targets;
    CollectCellTargets(model, targets);

    for (int a = 0; a < kControlLevels; ++a)
        for (int b = 0; b < kControlLevels; ++b)
            for (int c = 0; c < kControlLevels; ++c)
                record.controlCube[ControlCubeIndex(a, b, c)] =
                    ModelColorRef(model, MakeColorRef(51 * a, 51 * b, 51 * c));

    Descent descent(targets, record);
    OptimizerResult result{};
    result.sampledMean = descent.GridMean();
    auto report = [&](const char* stage) {
        if (progress != nullptr)
            progress(stage, descent.GridMean());
    };
    uint32_t seed = 1;

    // Coarse to fine along single channels, then along the diagonals as well.
    const struct {
        const char* stage;
        int step;
    } coarseToFine[] = {
        {"channel steps of 16", 16}, {"channel steps of 8", 8}, {"channel steps of 4", 4},
        {"channel steps of 2", 2},   {"channel steps of 1", 1},
    };
    for (const auto& pass : coarseToFine) {
        PolishAll(descent, record, pass.step, kChannelDirections, false, seed);
        report(pass.stage);
    }
    PolishAll(descent, record, 1, kAllDirections, false, seed);
    report("diagonal steps of 1");

    PolishAll(descent, record, 1, kAllDirections, true, seed);
    report("pairs of steps of 1");

    const int kKicks = 4000;
    for (int kick = 1; kick <= kKicks; ++kick) {
        Kick(descent, record, seed);
        if (kick % 1000 == 0)
            report("kicks, 1000 more");
    }
    result.optimizedMean = descent.GridMean();
    result.evaluations = descent.Evaluations();
    return result;
}
