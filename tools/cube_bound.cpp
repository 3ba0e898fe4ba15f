// Finding one cell's best colour. The summed CIEDE2000 from one colour to the compact set
// of a cell's targets has a single basin around the set's middle, but seen over the 8-bit
// lattice it often lies along a valley narrower than one step that runs at a slant to
// every axis (two channels that trade off against each other, or a channel near 0 that
// hardly matters). A walk over neighbouring 8-bit colours stops short in such a valley.
// So the search first finds the basin's floor in continuous sRGB by Newton steps, fits
// the sum there by a quadratic, and tries the 8-bit colours that the quadratic ranks best
// around the floor; a walk over neighbours then finishes from the best of them.

#include "tools/cube_bound.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <utility>
#include <vector>

#include "tools/filter_fidelity.h"

namespace {

struct Point {
    double v[3];  // sRGB channels in units of 1/255, continuous and possibly out of range
};

Lab LabOfPoint(const Point& p)
{
    return LinearRgbToLab(
        {SrgbToLinear(p.v[0] / 255.0), SrgbToLinear(p.v[1] / 255.0), SrgbToLinear(p.v[2] / 255.0)});
}

// The sum near a point: its value there, gradient and Hessian (by central differences).
struct Quadratic {
    double value;
    double gradient[3];
    double hessian[3][3];
};

// The Newton step s of (H + lambda I) s = -g, for H the Hessian and g the gradient, by
// Cholesky, with the first lambda of 0, 1e-3 * trace, ten times that, ... that makes the
// matrix positive definite: a plain Newton step in the basin, a shorter one along the
// gradient where the sum curves the wrong way.
bool NewtonStep(const Quadratic& q, double step[3])
{
    const double trace = std::fabs(q.hessian[0][0]) + std::fabs(q.hessian[1][1]) +
                         std::fabs(q.hessian[2][2]);
    for (double lambda = 0.0; lambda < 1e6 * (trace + 1.0);
         lambda = lambda == 0.0 ? 1e-3 * (trace + 1.0) : 10.0 * lambda) {
        double l[3][3] = {};
        bool positive = true;
        for (int i = 0; i < 3 && positive; ++i) {
            for (int j = 0; j <= i; ++j) {
                double sum = q.hessian[i][j] + (i == j ? lambda : 0.0);
                for (int k = 0; k < j; ++k)
                    sum -= l[i][k] * l[j][k];
                if (i == j) {
                    positive = sum > 0.0;
                    if (!positive)
                        break;
                    l[i][i] = std::sqrt(sum);
                } else {
                    l[i][j] = sum / l[j][j];
                }
            }
        }
        if (!positive)
            continue;
        double y[3];
        for (int i = 0; i < 3; ++i) {
            y[i] = -q.gradient[i];
            for (int k = 0; k < i; ++k)
                y[i] -= l[i][k] * y[k];
            y[i] /= l[i][i];
        }
        for (int i = 2; i >= 0; --i) {
            step[i] = y[i];
            for (int k = i + 1; k < 3; ++k)
                step[i] -= l[k][i] * step[k];
            step[i] /= l[i][i];
        }
        return true;
    }
    return false;
}

class ConstantColorSearch {
public:
    ConstantColorSearch(const Lab* targets, int count) : targets_(targets), count_(count) {}

    // The summed difference from a continuous colour.
    double SumAt(const Point& p) const { return SumFrom(LabOfPoint(p)); }

    Quadratic FitAt(const Point& p) const
    {
        const double h = 0.5;
        Quadratic q{};
        q.value = SumAt(p);
        for (int i = 0; i < 3; ++i) {
            const double plus = SumAt(Moved(p, i, h));
            const double minus = SumAt(Moved(p, i, -h));
            q.gradient[i] = (plus - minus) / (2.0 * h);
            q.hessian[i][i] = (plus - 2.0 * q.value + minus) / (h * h);
            for (int j = 0; j < i; ++j) {
                const double pp = SumAt(Moved(Moved(p, i, h), j, h));
                const double pm = SumAt(Moved(Moved(p, i, h), j, -h));
                const double mp = SumAt(Moved(Moved(p, i, -h), j, h));
                const double mm = SumAt(Moved(Moved(p, i, -h), j, -h));
                q.hessian[i][j] = q.hessian[j][i] = (pp - pm - mp + mm) / (4.0 * h * h);
            }
        }
        return q;
    }

    // The summed difference from an 8-bit colour, remembered: the walk looks at the same
    // colours again.
    double Sum(ColorRef color)
    {
        const auto found = sums_.find(color);
        if (found != sums_.end())
            return found->second;
        const double sum = SumFrom(ColorRefLab(color));
        sums_.emplace(color, sum);
        return sum;
    }

    // Moves `current` to the best colour that differs from it by at most one in every
    // channel, for as long as there is a better one.
    void Walk(ColorRef& current, double& currentSum)
    {
        for (;;) {
            ColorRef best = current;
            double bestSum = currentSum;
            for (int dr = -1; dr <= 1; ++dr)
                for (int dg = -1; dg <= 1; ++dg)
                    for (int db = -1; db <= 1; ++db) {
                        const int r = static_cast<int>(RedOf(current)) + dr;
                        const int g = static_cast<int>(GreenOf(current)) + dg;
                        const int b = static_cast<int>(BlueOf(current)) + db;
                        if (r < 0 || r > 255 || g < 0 || g > 255 || b < 0 || b > 255)
                            continue;
                        const ColorRef neighbour = MakeColorRef(r, g, b);
                        const double sum = Sum(neighbour);
                        if (sum < bestSum) {
                            best = neighbour;
                            bestSum = sum;
                        }
                    }
            if (best == current)
                return;
            current = best;
            currentSum = bestSum;
        }
    }

private:
    static Point Moved(Point p, int channel, double by)
    {
        p.v[channel] += by;
        return p;
    }

    double SumFrom(const Lab& lab) const
    {
        double sum = 0.0;
        for (int i = 0; i < count_; ++i)
            sum += Ciede2000(lab, targets_[i]);
        return sum;
    }

    const Lab* targets_;
    int count_;
    std::unordered_map<ColorRef, double> sums_;
};

// Damped Newton steps from `p` until they move it by less than a hundredth of a step.
Quadratic FindFloor(const ConstantColorSearch& search, Point& p)
{
    Quadratic q = search.FitAt(p);
    for (int iteration = 0; iteration < 40; ++iteration) {
        double step[3];
        if (!NewtonStep(q, step))
            break;
        double length = std::sqrt(step[0] * step[0] + step[1] * step[1] + step[2] * step[2]);
        // The floor lies near the targets, all within the gamut: no step need go far.
        if (length > 64.0) {
            for (double& s : step)
                s *= 64.0 / length;
            length = 64.0;
        }
        Point next = p;
        bool lower = false;
        for (; length > 1e-3; length /= 2.0) {
            for (int i = 0; i < 3; ++i)
                next.v[i] = std::clamp(p.v[i] + step[i], -0.5, 255.5);
            if (search.SumAt(next) < q.value) {
                lower = true;
                break;
            }
            for (double& s : step)
                s /= 2.0;
        }
        if (!lower)
            break;
        p = next;
        q = search.FitAt(p);
        if (length < 0.01)
            break;
    }
    return q;
}

ColorRef NearestByte(const Lab& lab, Point& p)
{
    const Rgb linear = LabToLinearRgb(lab);
    const double channels[3] = {linear.r, linear.g, linear.b};
    for (int i = 0; i < 3; ++i)
        p.v[i] = 255.0 * LinearToSrgb(std::clamp(channels[i], 0.0, 1.0));
    return MakeColorRef(static_cast<unsigned>(std::lround(p.v[0])),
                        static_cast<unsigned>(std::lround(p.v[1])),
                        static_cast<unsigned>(std::lround(p.v[2])));
}

}  // namespace

ColorRef BestConstantColor(const Lab* targets, int count, double* sum)
{
    Lab mean = {0.0, 0.0, 0.0};
    for (int i = 0; i < count; ++i) {
        mean.L += targets[i].L / count;
        mean.a += targets[i].a / count;
        mean.b += targets[i].b / count;
    }
    ConstantColorSearch search(targets, count);
    Point floor;
    ColorRef best = NearestByte(mean, floor);
    double bestSum = search.Sum(best);
    const Quadratic q = FindFloor(search, floor);

    // 8-bit colours around the floor, ranked by the quadratic; the few it ranks best are
    // measured.
    const int kReach = 4;
    const int kMeasured = 12;
    std::vector<std::pair<double, ColorRef>> ranked;
    int base[3];
    for (int i = 0; i < 3; ++i)
        base[i] = static_cast<int>(std::lround(floor.v[i]));
    for (int dr = -kReach; dr <= kReach; ++dr)
        for (int dg = -kReach; dg <= kReach; ++dg)
            for (int db = -kReach; db <= kReach; ++db) {
                const int channel[3] = {base[0] + dr, base[1] + dg, base[2] + db};
                double d[3];
                bool inside = true;
                for (int i = 0; i < 3; ++i) {
                    inside = inside && channel[i] >= 0 && channel[i] <= 255;
                    d[i] = channel[i] - floor.v[i];
                }
                if (!inside)
                    continue;
                double predicted = 0.0;
                for (int i = 0; i < 3; ++i) {
                    predicted += q.gradient[i] * d[i];
                    for (int j = 0; j < 3; ++j)
                        predicted += 0.5 * d[i] * q.hessian[i][j] * d[j];
                }
                ranked.emplace_back(predicted, MakeColorRef(channel[0], channel[1], channel[2]));
            }
    const size_t measured = std::min<size_t>(kMeasured, ranked.size());
    std::partial_sort(ranked.begin(), ranked.begin() + measured, ranked.end());
    for (size_t i = 0; i < measured; ++i) {
        const double candidateSum = search.Sum(ranked[i].second);
        if (candidateSum < bestSum) {
            best = ranked[i].second;
            bestSum = candidateSum;
        }
    }
    search.Walk(best, bestSum);
    *sum = bestSum;
    return best;
}

void ComputeCubeBound(const CvdModel& model, CubeBound& bound)
{
    CellTargets targets;
    CollectCellTargets(model, targets);
    double total = 0.0;
    for (int cell = 0; cell < kColorCubeSize; ++cell) {
        double sum = 0.0;
        bound.cells[cell] = BestConstantColor(&targets.labs[targets.start[cell]],
                                              targets.start[cell + 1] - targets.start[cell], &sum);
        total += sum;
    }
    bound.gridMean = total / kGridSize;
}
