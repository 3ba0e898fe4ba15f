// Writes filter files that simulate colour-vision deficiencies by published models: the
// six that ship with the program and the four that name the built-in filters (--shipped),
// or one of the user's choosing. Each file's
// control colours are chosen by optimisation through the program's own cube expansion
// (tools/cube_optimizer.h), and its fidelity is printed as a Markdown table row, with the
// least grid mean any filter file could reach for that model (tools/cube_bound.h).

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "filter/filter_table.h"
#include "tools/color_science.h"
#include "tools/cube_bound.h"
#include "tools/cube_optimizer.h"
#include "tools/filter_fidelity.h"
#include "tools/shipped_filters.h"

namespace {

const char kUsage[] =
    "usage: make_filters --shipped FOLDER\n"
    "       make_filters --model vienot|brettel|machado --deficiency protan|deutan|tritan\n"
    "                    [--severity S] [--name TEXT] [--localized LCID TEXT]... FILE.plf\n"
    "\n"
    "--shipped writes the six filter files that ship with the program, and the four that\n"
    "name the built-in filters in its languages, into FOLDER.\n"
    "Otherwise one file is written: vienot (Vienot, Brettel & Mollon 1999) covers protan\n"
    "and deutan dichromacy, brettel (Brettel, Vienot & Mollon 1997) all three\n"
    "dichromacies, machado (Machado, Oliveira & Fernandes 2009) anomalous trichromacy at a\n"
    "severity from 0 to 1 (default 1). --name gives the display name (default: the file's\n"
    "base name); --localized adds the display name for users of one locale identifier\n"
    "(1031 German, 1036 French, ...), as bytes of that locale's ANSI code page.\n"
    "\n"
    "Each file is printed as a Markdown table row: its grid mean and 95th percentile, its\n"
    "chart mean and largest difference (CIEDE2000 against the model), and the least grid\n"
    "mean any filter file could reach for that model.\n";

struct FilterFileText {
    std::string path;
    std::string source;  // what the file simulates, by which model
    std::string displayName;
    std::vector<std::pair<unsigned, std::string>> localized;
};

const char* ModelTitle(CvdModelKind kind)
{
    switch (kind) {
    case CvdModelKind::Vienot1999: return "Vienot, Brettel & Mollon 1999";
    case CvdModelKind::Brettel1997: return "Brettel, Vienot & Mollon 1997";
    case CvdModelKind::Machado2009: return "Machado, Oliveira & Fernandes 2009";
    }
    return "";
}

const char* DeficiencyTitle(Deficiency deficiency, bool anomalous)
{
    switch (deficiency) {
    case Deficiency::Protan: return anomalous ? "Protanomaly" : "Protanopia";
    case Deficiency::Deutan: return anomalous ? "Deuteranomaly" : "Deuteranopia";
    case Deficiency::Tritan: return anomalous ? "Tritanomaly" : "Tritanopia";
    }
    return "";
}

bool WriteFilterFile(const FilterFileText& text, const FilterRecord& record)
{
    // Binary mode with CRLF written out, so that the files are the same bytes whichever
    // system makes them, and read well in any Windows editor.
    std::FILE* file = std::fopen(text.path.c_str(), "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "make_filters: cannot write %s\n", text.path.c_str());
        return false;
    }
    std::fprintf(file, "[Prismolenteer filter]\r\n");
    std::fprintf(file, "; %s, on linear sRGB.\r\n", text.source.c_str());
    std::fprintf(file, "; Made by tools/make_filters, which chooses the control colours so that the\r\n");
    std::fprintf(file, "; program's 16-level cube comes as close as it can to the model (CIEDE2000).\r\n");
    std::fprintf(file, "name: %s\r\n", text.displayName.c_str());
    for (const auto& localized : text.localized)
        std::fprintf(file, "name(%u): %s\r\n", localized.first, localized.second.c_str());
    std::fprintf(file, "; 216 colours for the input levels 0, 51, 102, 153, 204, 255:\r\n");
    std::fprintf(file, "; red slowest, then green, blue fastest.\r\n");
    for (const ColorRef color : record.controlCube)
        std::fprintf(file, "#%02X%02X%02X\r\n", RedOf(color), GreenOf(color), BlueOf(color));
    const bool written = std::ferror(file) == 0;
    return std::fclose(file) == 0 && written;
}

void PrintProgress(const char* stage, double gridMean)
{
    std::fprintf(stderr, "  %-24s grid mean %.4f\n", stage, gridMean);
}

bool MakeFilter(const FilterFileText& text, const CvdModel& model)
{
    std::fprintf(stderr, "%s: %s\n", text.path.c_str(), text.source.c_str());
    static FilterRecord record;
    const OptimizerResult result = OptimizeControlCube(model, record, PrintProgress);
    if (!WriteFilterFile(text, record))
        return false;
    const FidelityFigures figures = MeasureFidelity(record, model);
    static CubeBound bound;
    ComputeCubeBound(model, bound);
    const char* slash = std::strrchr(text.path.c_str(), '/');
    std::fprintf(stderr, "  sampled at the lattice: %.4f; optimised: %.4f (%ld tries)\n",
                 result.sampledMean, result.optimizedMean, result.evaluations);
    // The bound is rounded down, the figures up or down: it is a floor.
    std::printf("| %s | %.3f | %.3f | %.3f | %.3f | %.3f |\n",
                slash ? slash + 1 : text.path.c_str(), figures.gridMean, figures.gridP95,
                figures.chartMean, figures.chartMax, std::floor(bound.gridMean * 1000.0) / 1000.0);
    std::fflush(stdout);
    return true;
}

// A file that only renames a built-in filter: its names and no colours.
bool WriteRenameFile(const std::string& folder, const ShippedRename& rename)
{
    const std::string path = folder + "/" + rename.fileName;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "make_filters: cannot write %s\n", path.c_str());
        return false;
    }
    std::fprintf(file, "[Prismolenteer filter]\r\n");
    std::fprintf(file, "; The names of the built-in filter %s.\r\n", rename.what);
    std::fprintf(file, "; A file named after a built-in filter only renames it: it needs no colours.\r\n");
    std::fprintf(file, "name: %s\r\n", rename.displayName);
    for (const LocalizedName& name : rename.localized)
        std::fprintf(file, "name(%u): %s\r\n", name.locale, name.text);
    const bool written = std::ferror(file) == 0;
    return std::fclose(file) == 0 && written;
}

int MakeShipped(const std::string& folder)
{
    for (const ShippedRename& rename : kShippedRenames)
        if (!WriteRenameFile(folder, rename))
            return 1;
    for (const ShippedFilter& shipped : kShippedFilters) {
        FilterFileText text;
        text.path = folder + "/" + shipped.fileName;
        text.source = shipped.source;
        text.displayName = shipped.displayName;
        for (const LocalizedName& name : shipped.localized)
            text.localized.emplace_back(name.locale, name.text);
        if (!MakeFilter(text, shipped.model))
            return 1;
    }
    return 0;
}

bool ParseModel(const char* text, CvdModelKind* kind)
{
    const struct {
        const char* name;
        CvdModelKind kind;
    } models[] = {{"vienot", CvdModelKind::Vienot1999},
                  {"brettel", CvdModelKind::Brettel1997},
                  {"machado", CvdModelKind::Machado2009}};
    for (const auto& model : models) {
        if (std::strcmp(text, model.name) == 0) {
            *kind = model.kind;
            return true;
        }
    }
    return false;
}

bool ParseDeficiency(const char* text, Deficiency* deficiency)
{
    const struct {
        const char* name;
        Deficiency deficiency;
    } deficiencies[] = {{"protan", Deficiency::Protan},
                        {"deutan", Deficiency::Deutan},
                        {"tritan", Deficiency::Tritan}};
    for (const auto& entry : deficiencies) {
        if (std::strcmp(text, entry.name) == 0) {
            *deficiency = entry.deficiency;
            return true;
        }
    }
    return false;
}

int Usage()
{
    std::fputs(kUsage, stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--shipped") == 0)
        return MakeShipped(argv[2]);

    CvdModel model{CvdModelKind::Vienot1999, Deficiency::Protan, 1.0};
    bool haveModel = false, haveDeficiency = false;
    FilterFileText text;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const bool hasValue = i + 1 < argc;
        if (option == "--model" && hasValue) {
            haveModel = ParseModel(argv[++i], &model.kind);
            if (!haveModel)
                return Usage();
        } else if (option == "--deficiency" && hasValue) {
            haveDeficiency = ParseDeficiency(argv[++i], &model.deficiency);
            if (!haveDeficiency)
                return Usage();
        } else if (option == "--severity" && hasValue) {
            char* end = nullptr;
            model.severity = std::strtod(argv[++i], &end);
            if (end == argv[i] || *end != '\0')
                return Usage();
        } else if (option == "--name" && hasValue) {
            text.displayName = argv[++i];
        } else if (option == "--localized" && i + 2 < argc) {
            const unsigned long locale = std::strtoul(argv[i + 1], nullptr, 10);
            text.localized.emplace_back(static_cast<unsigned>(locale), argv[i + 2]);
            i += 2;
        } else if (option.size() > 0 && option[0] != '-' && text.path.empty()) {
            text.path = option;
        } else {
            return Usage();
        }
    }
    if (!haveModel || !haveDeficiency || text.path.empty())
        return Usage();
    if (!IsKnownModel(model)) {
        std::fprintf(stderr, "make_filters: %s does not cover that deficiency or severity\n",
                     ModelTitle(model.kind));
        return 2;
    }

    const bool anomalous = model.kind == CvdModelKind::Machado2009 && model.severity < 1.0;
    char source[160];
    if (model.kind == CvdModelKind::Machado2009)
        std::snprintf(source, sizeof source, "%s at severity %.2f: %s",
                      DeficiencyTitle(model.deficiency, anomalous), model.severity,
                      ModelTitle(model.kind));
    else
        std::snprintf(source, sizeof source, "%s: %s", DeficiencyTitle(model.deficiency, false),
                      ModelTitle(model.kind));
    text.source = source;
    if (text.displayName.empty()) {
        const size_t slash = text.path.find_last_of("/\\");
        const std::string fileName = text.path.substr(slash == std::string::npos ? 0 : slash + 1);
        text.displayName = fileName.substr(0, fileName.find('.'));
    }
    return MakeFilter(text, model) ? 0 : 1;
}
