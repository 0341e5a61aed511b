// The formula engine, the preset template table and the path evaluator of shape geometry.

#include "render/ShapeGeometry.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <map>
#include <mutex>
#include <sstream>

namespace render {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kAngleUnit = 65536.0;  // angles are degrees * 65536

double Radians(double fixedDegrees) { return fixedDegrees / kAngleUnit * kPi / 180.0; }
double FixedDegrees(double radians) { return radians * 180.0 / kPi * kAngleUnit; }

void SetError(std::string* error, const std::string& text) {
    if (error) *error = text;
}

// ---- Formula evaluation ---------------------------------------------------------------------

class CEvaluator {
public:
    CEvaluator(const std::vector<Formula>& formulas, const FormulaContext& context)
        : m_formulas(formulas), m_context(context), m_state(formulas.size(), 0), m_values(formulas.size(), 0) {}

    bool Run(std::vector<double>& results, std::string* error) {
        for (std::size_t i = 0; i < m_formulas.size(); ++i)
            if (!Get(static_cast<int>(i), 0)) {
                SetError(error, m_error);
                return false;
            }
        results = m_values;
        return true;
    }

    bool Value(const Operand& o, int depth, double& out) {
        switch (o.kind) {
        case Operand::Constant:
            out = o.value;
            return true;
        case Operand::Adjust:
            if (o.index < 0 || o.index >= static_cast<int>(m_context.adjust.size()))
                return Fail("adjust value " + std::to_string(o.index) + " does not exist");
            out = m_context.adjust[static_cast<std::size_t>(o.index)];
            return true;
        case Operand::Formula:
            if (!Get(o.index, depth + 1)) return false;
            out = m_values[static_cast<std::size_t>(o.index)];
            return true;
        case Operand::Width:
            out = m_context.geoRight - m_context.geoLeft;
            return true;
        case Operand::Height:
            out = m_context.geoBottom - m_context.geoTop;
            return true;
        case Operand::XCenter:
            out = (m_context.geoLeft + m_context.geoRight) / 2;
            return true;
        case Operand::YCenter:
            out = (m_context.geoTop + m_context.geoBottom) / 2;
            return true;
        case Operand::GeoLeft:
            out = m_context.geoLeft;
            return true;
        case Operand::GeoTop:
            out = m_context.geoTop;
            return true;
        case Operand::GeoRight:
            out = m_context.geoRight;
            return true;
        case Operand::GeoBottom:
            out = m_context.geoBottom;
            return true;
        case Operand::PixelWidth:
            out = m_context.pixelWidth;
            return true;
        case Operand::PixelHeight:
            out = m_context.pixelHeight;
            return true;
        case Operand::LineWidth:
            out = m_context.lineWidth;
            return true;
        case Operand::HasFill:
            out = m_context.hasFill ? 1 : 0;
            return true;
        case Operand::HasStroke:
            out = m_context.hasStroke ? 1 : 0;
            return true;
        }
        return Fail("unknown operand");
    }

private:
    bool Fail(const std::string& text) {
        if (m_error.empty()) m_error = text;
        return false;
    }

    bool Get(int index, int depth) {
        if (index < 0 || index >= static_cast<int>(m_formulas.size()))
            return Fail("formula " + std::to_string(index) + " does not exist");
        const std::size_t i = static_cast<std::size_t>(index);
        if (m_state[i] == 2) return true;
        if (m_state[i] == 1) return Fail("formula " + std::to_string(index) + " refers to itself");
        if (depth > kMaxFormulaDepth) return Fail("formulas refer to each other too deeply");
        m_state[i] = 1;
        const Formula& f = m_formulas[i];
        double a = 0, b = 0, c = 0;
        if (!Value(f.a, depth, a) || !Value(f.b, depth, b) || !Value(f.c, depth, c)) return false;
        const double v = ApplyFormula(f.op, a, b, c);
        if (!std::isfinite(v)) return Fail("formula " + std::to_string(index) + " has no finite value");
        m_values[i] = v;
        m_state[i] = 2;
        return true;
    }

    const std::vector<Formula>& m_formulas;
    const FormulaContext& m_context;
    std::vector<std::uint8_t> m_state;  // 0 not yet, 1 in progress, 2 done
    std::vector<double> m_values;
    std::string m_error;
};

// ---- Templates ---------------------------------------------------------------------------------

enum TemplateFlags : unsigned { kNotFilled = 1, kNotStroked = 2 };

struct TemplateRow {
    int type;
    const char* name;
    const char* adjust;
    const char* path;
    const char* formulas;
    const char* textRects;
    const char* sites;
    unsigned flags;
};

const TemplateRow kTemplates[] = {
#include "ShapeTemplates.inc"
};

struct AdjustRow {
    int type;
    const char* defaults;
    const char* formulas;
    const char* out;
};

#define SHAPE_ADJUST_MAPS
const AdjustRow kAdjustMaps[] = {
#include "ShapeTemplates.inc"
};
#undef SHAPE_ADJUST_MAPS

const TemplateRow* FindTemplate(int type) {
    for (const TemplateRow& row : kTemplates)
        if (row.type == type) return &row;
    return nullptr;
}

// Splits on `sep`, keeping empty fields.
std::vector<std::string> Split(const std::string& s, char sep) {
    std::vector<std::string> out;
    std::string cur;
    for (char ch : s) {
        if (ch == sep) {
            out.push_back(cur);
            cur.clear();
        } else {
            cur += ch;
        }
    }
    out.push_back(cur);
    return out;
}

bool ParseNumber(const std::string& t, double& out) {
    if (t.empty()) return false;
    char* end = nullptr;
    out = std::strtod(t.c_str(), &end);
    return end && *end == '\0' && std::isfinite(out);
}

// One argument of a template formula or path: a number, "#n", "@n" or a named value.
bool ParseOperand(const std::string& t, Operand& out) {
    if (t.empty()) {
        out = Operand::Of(0);
        return true;
    }
    if (t[0] == '#' || t[0] == '@') {
        double n = 0;
        if (!ParseNumber(t.substr(1), n) || n < 0 || n >= static_cast<double>(kMaxFormulas)) return false;
        out.kind = t[0] == '#' ? Operand::Adjust : Operand::Formula;
        out.index = static_cast<int>(n);
        return true;
    }
    static const std::map<std::string, Operand::Kind> kNames = {
        {"width", Operand::Width},
        {"height", Operand::Height},
        {"xcenter", Operand::XCenter},
        {"ycenter", Operand::YCenter},
        {"pixelwidth", Operand::PixelWidth},
        {"pixelheight", Operand::PixelHeight},
        {"pixellinewidth", Operand::LineWidth},
        {"linedrawn", Operand::HasStroke},
        {"hasfill", Operand::HasFill},
        {"hasstroke", Operand::HasStroke},
    };
    std::string lower;
    for (char ch : t) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    auto it = kNames.find(lower);
    if (it != kNames.end()) {
        out = Operand{it->second, 0, 0};
        return true;
    }
    double v = 0;
    if (!ParseNumber(t, v)) return false;
    out = Operand::Of(v);
    return true;
}

// Tokens of a template path: command letters and arguments (an empty argument between two
// commas is 0).
struct PathToken {
    bool command = false;
    std::string text;
};

std::vector<PathToken> TokenizePath(const std::string& path) {
    std::vector<PathToken> out;
    std::size_t i = 0;
    bool argPending = false;  // a comma was seen since the last argument or command
    while (i < path.size()) {
        const char ch = path[i];
        if (std::isalpha(static_cast<unsigned char>(ch))) {
            if (argPending) out.push_back({false, ""});
            argPending = false;
            std::string name(1, ch);
            // Two-letter commands.
            static const char* kTwo[] = {"nf", "ns", "ae", "al", "at", "ar", "wa", "wr", "qx", "qy", "qb"};
            if (i + 1 < path.size())
                for (const char* two : kTwo)
                    if (path[i] == two[0] && path[i + 1] == two[1]) name = two;
            out.push_back({true, name});
            i += name.size();
        } else if (ch == ',') {
            if (argPending || out.empty() || out.back().command) out.push_back({false, ""});
            argPending = true;
            ++i;
        } else if (ch == ' ') {
            ++i;
        } else {
            std::size_t j = i + 1;
            while (j < path.size() && (std::isdigit(static_cast<unsigned char>(path[j])) || path[j] == '.')) ++j;
            out.push_back({false, path.substr(i, j - i)});
            argPending = false;
            i = j;
        }
    }
    if (argPending) out.push_back({false, ""});
    return out;
}

bool ParsePath(const std::string& path, std::vector<GeometryCommand>& out) {
    static const std::map<std::string, GeometryCommand::Kind> kCommands = {
        {"m", GeometryCommand::MoveTo},
        {"l", GeometryCommand::LineTo},
        {"c", GeometryCommand::CurveTo},
        {"x", GeometryCommand::Close},
        {"e", GeometryCommand::End},
        {"t", GeometryCommand::RelMoveTo},
        {"r", GeometryCommand::RelLineTo},
        {"v", GeometryCommand::RelCurveTo},
        {"nf", GeometryCommand::NoFill},
        {"ns", GeometryCommand::NoStroke},
        {"ae", GeometryCommand::AngleEllipseTo},
        {"al", GeometryCommand::AngleEllipse},
        {"at", GeometryCommand::ArcTo},
        {"ar", GeometryCommand::Arc},
        {"wa", GeometryCommand::ClockwiseArcTo},
        {"wr", GeometryCommand::ClockwiseArc},
        {"qx", GeometryCommand::QuadrantX},
        {"qy", GeometryCommand::QuadrantY},
        {"qb", GeometryCommand::QuadBezier},
    };
    for (const PathToken& t : TokenizePath(path)) {
        if (t.command) {
            auto it = kCommands.find(t.text);
            if (it == kCommands.end()) return false;
            GeometryCommand c;
            c.kind = it->second;
            out.push_back(c);
        } else {
            if (out.empty()) return false;
            Operand o;
            if (!ParseOperand(t.text, o)) return false;
            out.back().args.push_back(o);
        }
    }
    return true;
}

bool ParsePoints(const std::string& text, std::vector<Operand>& out) {
    if (text.empty()) return true;
    for (const std::string& part : Split(text, ',')) {
        Operand o;
        if (!ParseOperand(part, o)) return false;
        out.push_back(o);
    }
    return true;
}

bool BuildTemplate(const TemplateRow& row, ShapeGeometry& g) {
    g = ShapeGeometry();
    if (!ParsePath(row.path, g.commands)) return false;
    if (*row.formulas)
        for (const std::string& f : Split(row.formulas, ';')) {
            Formula formula;
            if (!ParseFormula(f, formula)) return false;
            g.formulas.push_back(formula);
        }
    if (*row.adjust)
        for (const std::string& a : Split(row.adjust, ',')) {
            double v = 0;
            if (!a.empty() && !ParseNumber(a, v)) return false;
            g.adjustDefaults.push_back(v);
        }
    if (*row.textRects)
        for (const std::string& r : Split(row.textRects, ';')) {
            std::vector<Operand> o;
            if (!ParsePoints(r, o) || o.size() != 4) return false;
            g.textRects.push_back({o[0], o[1], o[2], o[3]});
        }
    if (*row.sites)
        for (const std::string& s : Split(row.sites, ';')) {
            std::vector<Operand> o;
            if (!ParsePoints(s, o) || o.size() != 2) return false;
            g.connectionSites.push_back({o[0], o[1]});
        }
    g.filled = !(row.flags & kNotFilled);
    g.stroked = !(row.flags & kNotStroked);
    return true;
}

// Parsed once, then shared.
const std::map<int, ShapeGeometry>& Templates() {
    static const std::map<int, ShapeGeometry> table = [] {
        std::map<int, ShapeGeometry> t;
        for (const TemplateRow& row : kTemplates) {
            ShapeGeometry g;
            if (BuildTemplate(row, g)) t.emplace(row.type, std::move(g));
        }
        return t;
    }();
    return table;
}

// The object model's AutoShape numbers and the file's shape types, pairwise.
const int kAutoShapeTypes[][2] = {
    {1, 1},     {2, 7},     {3, 8},     {4, 4},     {5, 2},     {6, 10},    {7, 5},     {8, 6},     {9, 3},
    {10, 9},    {11, 11},   {12, 56},   {13, 22},   {14, 16},   {15, 84},   {16, 65},   {17, 96},   {18, 23},
    {19, 57},   {20, 95},   {21, 74},   {22, 73},   {23, 183},  {24, 184},  {25, 19},   {26, 185},  {27, 186},
    {28, 21},   {29, 85},   {30, 86},   {31, 87},   {32, 88},   {33, 13},   {34, 66},   {35, 68},   {36, 67},
    {37, 69},   {38, 70},   {39, 76},   {40, 182},  {41, 91},   {42, 101},  {43, 89},   {44, 90},   {45, 102},
    {46, 103},  {47, 104},  {48, 105},  {49, 93},   {50, 94},   {51, 15},   {52, 55},   {53, 78},   {54, 77},
    {55, 79},   {56, 80},   {57, 81},   {58, 82},   {59, 83},   {60, 99},   {61, 109},  {62, 176},  {63, 110},
    {64, 111},  {65, 112},  {66, 113},  {67, 114},  {68, 115},  {69, 116},  {70, 117},  {71, 118},  {72, 119},
    {73, 120},  {74, 177},  {75, 121},  {76, 122},  {77, 123},  {78, 124},  {79, 125},  {80, 126},  {81, 127},
    {82, 128},  {83, 130},  {84, 135},  {85, 131},  {86, 132},  {87, 133},  {88, 134},  {89, 71},   {90, 72},
    {91, 187},  {92, 12},   {93, 58},   {94, 59},   {95, 92},   {96, 60},   {97, 54},   {98, 53},   {99, 108},
    {100, 107}, {101, 97},  {102, 98},  {103, 64},  {104, 188}, {105, 61},  {106, 62},  {107, 63},  {108, 106},
    {109, 47},  {110, 48},  {111, 49},  {112, 180}, {113, 44},  {114, 45},  {115, 46},  {116, 179}, {117, 41},
    {118, 42},  {119, 43},  {120, 178}, {121, 50},  {122, 51},  {123, 52},  {124, 181}, {125, 189}, {126, 190},
    {127, 191}, {128, 192}, {129, 194}, {130, 193}, {131, 196}, {132, 195}, {133, 197}, {134, 198}, {135, 199},
    {136, 200}, {137, 17},
};

// ---- Evaluation of paths ----------------------------------------------------------------------

class CPathWriter {
public:
    CPathWriter(const ShapeGeometry& g, double width, double height, Outline& out)
        : m_out(out),
          m_sx(g.geoRight != g.geoLeft ? width / (g.geoRight - g.geoLeft) : 0),
          m_sy(g.geoBottom != g.geoTop ? height / (g.geoBottom - g.geoTop) : 0),
          m_ox(g.geoLeft),
          m_oy(g.geoTop) {}

    // Coordinates here are in the geometry's units.
    void MoveTo(double x, double y) {
        Path().segs.push_back(Seg(OutlineSeg::Move, x, y));
        m_x = m_startX = x;
        m_y = m_startY = y;
        m_open = true;
    }
    void LineTo(double x, double y) {
        if (!m_open) MoveTo(m_x, m_y);
        Path().segs.push_back(Seg(OutlineSeg::Line, x, y));
        m_x = x;
        m_y = y;
    }
    void CurveTo(double x1, double y1, double x2, double y2, double x, double y) {
        if (!m_open) MoveTo(m_x, m_y);
        OutlineSeg s = Seg(OutlineSeg::Curve, x1, y1);
        s.x[1] = (x2 - m_ox) * m_sx;
        s.y[1] = (y2 - m_oy) * m_sy;
        s.x[2] = (x - m_ox) * m_sx;
        s.y[2] = (y - m_oy) * m_sy;
        Path().segs.push_back(s);
        m_x = x;
        m_y = y;
    }
    void Close() {
        if (m_open) Path().segs.push_back(OutlineSeg{OutlineSeg::Close, {0, 0, 0}, {0, 0, 0}});
        m_open = false;
        m_x = m_startX;
        m_y = m_startY;
    }
    void End() {
        m_pathOpen = false;
        m_open = false;
    }
    void NoFill() { Path().filled = false; }
    void NoStroke() { Path().stroked = false; }
    double X() const { return m_x; }
    double Y() const { return m_y; }
    bool Open() const { return m_open; }

    // Elliptic arc about (cx, cy) with radii rx, ry from parameter angle t0 to t1 (radians, y down).
    void ArcPart(double cx, double cy, double rx, double ry, double t0, double t1, bool moveFirst) {
        const double sx = cx + rx * std::cos(t0), sy = cy + ry * std::sin(t0);
        if (moveFirst || !m_open)
            MoveTo(sx, sy);
        else
            LineTo(sx, sy);
        const int n = std::max(1, static_cast<int>(std::ceil(std::fabs(t1 - t0) / (kPi / 2) - 1e-9)));
        const double step = (t1 - t0) / n, k = 4.0 / 3.0 * std::tan(step / 4);
        for (int i = 0; i < n; ++i) {
            const double u0 = t0 + step * i, u1 = u0 + step;
            const double c0 = std::cos(u0), s0 = std::sin(u0), c1 = std::cos(u1), s1 = std::sin(u1);
            CurveTo(cx + rx * (c0 - k * s0), cy + ry * (s0 + k * c0), cx + rx * (c1 + k * s1), cy + ry * (s1 - k * c1),
                    cx + rx * c1, cy + ry * s1);
        }
    }

private:
    OutlineSeg Seg(OutlineSeg::Kind k, double x, double y) const {
        OutlineSeg s;
        s.kind = k;
        s.x[0] = (x - m_ox) * m_sx;
        s.y[0] = (y - m_oy) * m_sy;
        return s;
    }
    OutlinePath& Path() {
        if (!m_pathOpen || m_out.paths.empty()) {
            m_out.paths.emplace_back();
            m_pathOpen = true;
        }
        return m_out.paths.back();
    }

    Outline& m_out;
    double m_sx, m_sy, m_ox, m_oy;
    double m_x = 0, m_y = 0, m_startX = 0, m_startY = 0;
    bool m_open = false, m_pathOpen = false;
};

// Parameter angle on the ellipse (cx, cy, rx, ry) of the ray from its centre through (px, py).
double RayAngle(double cx, double cy, double rx, double ry, double px, double py) {
    const double dx = rx != 0 ? (px - cx) / rx : 0, dy = ry != 0 ? (py - cy) / ry : 0;
    return std::atan2(dy, dx);
}

}  // namespace

double ApplyFormula(FormulaOp op, double a, double b, double c) {
    switch (op) {
    case FormulaOp::Sum:
        return a + b - c;
    case FormulaOp::Product:
        return c != 0 ? a * b / c : 0;
    case FormulaOp::Mid:
        return (a + b) / 2;
    case FormulaOp::Abs:
        return std::fabs(a);
    case FormulaOp::Min:
        return std::min(a, b);
    case FormulaOp::Max:
        return std::max(a, b);
    case FormulaOp::If:
        return a > 0 ? b : c;
    case FormulaOp::Mod:
        return std::sqrt(a * a + b * b + c * c);
    case FormulaOp::Atan2:
        return FixedDegrees(std::atan2(b, a));
    case FormulaOp::Sin:
        return a * std::sin(Radians(b));
    case FormulaOp::Cos:
        return a * std::cos(Radians(b));
    case FormulaOp::CosAtan2:
        return a * std::cos(std::atan2(c, b));
    case FormulaOp::SinAtan2:
        return a * std::sin(std::atan2(c, b));
    case FormulaOp::Sqrt:
        return a >= 0 ? std::sqrt(a) : 0;
    case FormulaOp::SumAngle:
        return a + (b - c) * kAngleUnit;
    case FormulaOp::Ellipse: {
        if (b == 0) return 0;
        const double r = a / b;
        return r * r < 1 ? c * std::sqrt(1 - r * r) : 0;
    }
    case FormulaOp::Tan:
        return a * std::tan(Radians(b));
    case FormulaOp::Value:
        return a;
    }
    return 0;
}

bool EvaluateFormulas(const std::vector<Formula>& formulas, const FormulaContext& context, std::vector<double>& results,
                      std::string* error) {
    if (formulas.size() > kMaxFormulas) {
        SetError(error, "more than " + std::to_string(kMaxFormulas) + " formulas");
        return false;
    }
    CEvaluator e(formulas, context);
    return e.Run(results, error);
}

bool ParseFormula(const std::string& text, Formula& out) {
    static const std::map<std::string, FormulaOp> kOps = {
        {"val", FormulaOp::Value},       {"sum", FormulaOp::Sum},           {"prod", FormulaOp::Product},
        {"product", FormulaOp::Product}, {"mid", FormulaOp::Mid},           {"abs", FormulaOp::Abs},
        {"min", FormulaOp::Min},         {"max", FormulaOp::Max},           {"if", FormulaOp::If},
        {"mod", FormulaOp::Mod},         {"atan2", FormulaOp::Atan2},       {"sin", FormulaOp::Sin},
        {"cos", FormulaOp::Cos},         {"cosatan2", FormulaOp::CosAtan2}, {"sinatan2", FormulaOp::SinAtan2},
        {"sqrt", FormulaOp::Sqrt},       {"sumangle", FormulaOp::SumAngle}, {"ellipse", FormulaOp::Ellipse},
        {"tan", FormulaOp::Tan},
    };
    std::istringstream in(text);
    std::string name;
    if (!(in >> name)) return false;
    auto it = kOps.find(name);
    if (it == kOps.end()) return false;
    out = Formula();
    out.op = it->second;
    Operand* args[3] = {&out.a, &out.b, &out.c};
    std::string word;
    int n = 0;
    while (in >> word) {
        if (n == 3 || !ParseOperand(word, *args[n])) return false;
        ++n;
    }
    return n > 0;
}

bool PresetGeometry(int shapeType, ShapeGeometry& out) {
    const auto& table = Templates();
    auto it = table.find(shapeType);
    if (it == table.end()) return false;
    out = it->second;
    return true;
}

bool PresetAdjust(int shapeType, const std::vector<double>& fileAdjust, std::vector<double>& out) {
    const AdjustRow* row = nullptr;
    for (const AdjustRow& r : kAdjustMaps)
        if (r.type == shapeType) row = &r;
    if (!row) {
        out = fileAdjust;
        return true;
    }
    FormulaContext ctx;
    for (const std::string& d : Split(row->defaults, ',')) {
        double v = 0;
        ParseNumber(d, v);
        ctx.adjust.push_back(v);
    }
    for (std::size_t i = 0; i < fileAdjust.size() && i < ctx.adjust.size(); ++i)
        if (std::isfinite(fileAdjust[i])) ctx.adjust[i] = fileAdjust[i];
    std::vector<Formula> formulas;
    for (const std::string& f : Split(row->formulas, ';')) {
        Formula formula;
        if (!ParseFormula(f, formula)) return false;
        formulas.push_back(formula);
    }
    std::vector<double> results;
    if (!EvaluateFormulas(formulas, ctx, results)) return false;
    out.clear();
    for (const std::string& o : Split(row->out, ',')) {
        double i = -1;
        if (!ParseNumber(o, i) || i < 0 || i >= static_cast<double>(results.size())) return false;
        out.push_back(results[static_cast<std::size_t>(i)]);
    }
    return true;
}

std::string PresetName(int shapeType) {
    const TemplateRow* row = FindTemplate(shapeType);
    return row ? row->name : std::string();
}

int ShapeTypeOfAutoShape(int autoShapeType) {
    for (const auto& pair : kAutoShapeTypes)
        if (pair[0] == autoShapeType) return pair[1];
    return 0;
}

int AutoShapeOfShapeType(int shapeType) {
    if (shapeType == 202) return 1;  // a text box is a rectangle
    for (const auto& pair : kAutoShapeTypes)
        if (pair[1] == shapeType) return pair[0];
    return 0;
}

bool FreeformGeometry(const FreeformData& data, ShapeGeometry& out, std::string* error) {
    out = ShapeGeometry();
    if (data.vertices.size() % 2 != 0 || data.vertices.size() / 2 > kMaxVertices ||
        data.segments.size() > kMaxSegments || data.guides.size() > kMaxFormulas) {
        SetError(error, "vertex, segment or guide count out of range");
        return false;
    }
    for (double v : {data.geoLeft, data.geoTop, data.geoRight, data.geoBottom})
        if (!std::isfinite(v) || std::fabs(v) > kMaxCoordinate) {
            SetError(error, "geometry box out of range");
            return false;
        }
    out.geoLeft = data.geoLeft;
    out.geoTop = data.geoTop;
    out.geoRight = data.geoRight;
    out.geoBottom = data.geoBottom;

    auto param = [&](std::uint16_t v, bool calculated, Operand& o) {
        if (!calculated) {
            o = Operand::Of(static_cast<std::int16_t>(v));
            return true;
        }
        if (v >= 0x0400 && v < 0x0400 + kMaxFormulas) {
            o = Operand{Operand::Formula, 0, v - 0x0400};
            return v - 0x0400u < data.guides.size();
        }
        if (v >= 0x0147 && v <= 0x0150) {
            o = Operand{Operand::Adjust, 0, v - 0x0147};
            return true;
        }
        switch (v) {
        case 0x0140:
            o = Operand{Operand::GeoLeft, 0, 0};
            return true;
        case 0x0141:
            o = Operand{Operand::GeoTop, 0, 0};
            return true;
        case 0x0142:
            o = Operand{Operand::GeoRight, 0, 0};
            return true;
        case 0x0143:
            o = Operand{Operand::GeoBottom, 0, 0};
            return true;
        case 0x01FF:
            o = Operand{Operand::HasStroke, 0, 0};
            return true;
        case 0x01BF:
            o = Operand{Operand::HasFill, 0, 0};
            return true;
        case 0x04F7:
            o = Operand{Operand::LineWidth, 0, 0};
            return true;
        default:
            return false;
        }
    };
    if (data.guides.empty()) {
        out.formulas = data.presetFormulas;
        out.adjustDefaults = data.presetAdjust;
    }
    const std::size_t guideCount = data.guides.empty() ? out.formulas.size() : data.guides.size();
    for (const FreeformData::Guide& g : data.guides) {
        Formula f;
        const unsigned op = g.opAndFlags & 0x1FFF;
        if (op > static_cast<unsigned>(FormulaOp::Tan)) {
            SetError(error, "unknown guide operation " + std::to_string(op));
            return false;
        }
        f.op = static_cast<FormulaOp>(op);
        if (!param(g.p1, (g.opAndFlags & 0x2000) != 0, f.a) || !param(g.p2, (g.opAndFlags & 0x4000) != 0, f.b) ||
            !param(g.p3, (g.opAndFlags & 0x8000) != 0, f.c)) {
            SetError(error, "a guide refers to a value the shape does not have");
            return false;
        }
        out.formulas.push_back(f);
    }

    const std::size_t points = data.vertices.size() / 2;
    std::size_t next = 0;
    auto take = [&](GeometryCommand& c, std::size_t count) {
        if (count > points - next) return false;
        for (std::size_t k = 0; k < count; ++k, ++next)
            for (int axis = 0; axis < 2; ++axis) {
                const std::int32_t v = data.vertices[next * 2 + axis];
                if ((static_cast<std::uint32_t>(v) & 0xFFFF0000u) == 0x80000000u) {
                    const std::uint32_t guide = static_cast<std::uint32_t>(v) & 0xFFFF;
                    if (guide >= guideCount) return false;
                    c.args.push_back(Operand{Operand::Formula, 0, static_cast<int>(guide)});
                } else {
                    c.args.push_back(Operand::Of(v));
                }
            }
        return true;
    };
    auto add = [&](GeometryCommand::Kind kind, std::size_t count) {
        GeometryCommand c;
        c.kind = kind;
        if (!take(c, count)) return false;
        out.commands.push_back(std::move(c));
        return true;
    };

    if (data.segments.empty()) {
        // Without segment information the vertices are one line from the first to the last.
        if (points == 0) return true;
        bool ok = add(GeometryCommand::MoveTo, 1) && add(GeometryCommand::LineTo, points - 1);
        out.commands.push_back(GeometryCommand{GeometryCommand::End, {}});
        if (!ok) SetError(error, "a vertex refers to a guide the shape does not have");
        return ok;
    }
    for (std::uint16_t seg : data.segments) {
        const unsigned type = seg >> 13;
        std::size_t count = seg & 0x1FFF;
        bool ok = true;
        switch (type) {
        case 0:  // lines
            ok = add(GeometryCommand::LineTo, std::max<std::size_t>(count, 1));
            break;
        case 1:  // curves
            ok = add(GeometryCommand::CurveTo, std::max<std::size_t>(count, 1) * 3);
            break;
        case 2:
            ok = add(GeometryCommand::MoveTo, 1);
            break;
        case 3:
            out.commands.push_back(GeometryCommand{GeometryCommand::Close, {}});
            break;
        case 4:
            out.commands.push_back(GeometryCommand{GeometryCommand::End, {}});
            break;
        case 5: {  // escapes: code and the vertices they take
            const unsigned code = (seg >> 8) & 0x1F;
            count = seg & 0xFF;
            static const GeometryCommand::Kind kEscapes[] = {
                GeometryCommand::End,          GeometryCommand::AngleEllipseTo,
                GeometryCommand::AngleEllipse, GeometryCommand::ArcTo,
                GeometryCommand::Arc,          GeometryCommand::ClockwiseArcTo,
                GeometryCommand::ClockwiseArc, GeometryCommand::QuadrantX,
                GeometryCommand::QuadrantY,    GeometryCommand::QuadBezier,
                GeometryCommand::NoFill,       GeometryCommand::NoStroke};
            if (code >= 1 && code <= 9)
                ok = add(kEscapes[code], count);
            else if (code == 10 || code == 11)
                out.commands.push_back(GeometryCommand{kEscapes[code], {}});
            else
                ok = count <= points - next && (next += count, true);  // drawing hints without geometry
            break;
        }
        default:  // client escapes carry no geometry
            break;
        }
        if (!ok) {
            SetError(error, "a segment runs past the vertices");
            return false;
        }
    }
    return true;
}

bool EvaluateGeometry(const ShapeGeometry& g, const std::vector<double>& adjust, double width, double height,
                      double lineWidth, Outline& out, std::string* error) {
    out = Outline();
    FormulaContext ctx;
    ctx.adjust = g.adjustDefaults;
    for (std::size_t i = 0; i < adjust.size() && i < 10; ++i) {
        if (i >= ctx.adjust.size()) ctx.adjust.resize(i + 1, 0);
        if (std::isfinite(adjust[i])) ctx.adjust[i] = adjust[i];
    }
    ctx.adjust.resize(std::max<std::size_t>(ctx.adjust.size(), 10), 0);
    ctx.geoLeft = g.geoLeft;
    ctx.geoTop = g.geoTop;
    ctx.geoRight = g.geoRight;
    ctx.geoBottom = g.geoBottom;
    ctx.pixelWidth = width > 0 ? width : 1;
    ctx.pixelHeight = height > 0 ? height : 1;
    ctx.lineWidth = lineWidth;
    std::vector<double> f;
    if (!EvaluateFormulas(g.formulas, ctx, f, error)) return false;
    CEvaluator values(g.formulas, ctx);
    bool bad = false;
    auto V = [&](const Operand& o) {
        double v = 0;
        if (o.kind == Operand::Formula) {
            if (o.index < 0 || o.index >= static_cast<int>(f.size()))
                bad = true;
            else
                v = f[static_cast<std::size_t>(o.index)];
        } else if (!values.Value(o, 0, v)) {
            bad = true;
        }
        if (!std::isfinite(v) || std::fabs(v) > kMaxCoordinate) bad = true;
        return v;
    };

    CPathWriter w(g, width, height, out);
    for (const GeometryCommand& c : g.commands) {
        const std::size_t n = c.args.size();
        const auto& a = c.args;
        switch (c.kind) {
        case GeometryCommand::MoveTo:
            for (std::size_t i = 0; i + 1 < n; i += 2) {
                if (i == 0)
                    w.MoveTo(V(a[i]), V(a[i + 1]));
                else
                    w.LineTo(V(a[i]), V(a[i + 1]));
            }
            break;
        case GeometryCommand::RelMoveTo:
            if (n >= 2) w.MoveTo(w.X() + V(a[0]), w.Y() + V(a[1]));
            break;
        case GeometryCommand::LineTo:
            for (std::size_t i = 0; i + 1 < n; i += 2) w.LineTo(V(a[i]), V(a[i + 1]));
            break;
        case GeometryCommand::RelLineTo:
            for (std::size_t i = 0; i + 1 < n; i += 2) w.LineTo(w.X() + V(a[i]), w.Y() + V(a[i + 1]));
            break;
        case GeometryCommand::CurveTo:
            for (std::size_t i = 0; i + 5 < n; i += 6)
                w.CurveTo(V(a[i]), V(a[i + 1]), V(a[i + 2]), V(a[i + 3]), V(a[i + 4]), V(a[i + 5]));
            break;
        case GeometryCommand::RelCurveTo:
            for (std::size_t i = 0; i + 5 < n; i += 6) {
                const double x = w.X(), y = w.Y();
                w.CurveTo(x + V(a[i]), y + V(a[i + 1]), x + V(a[i + 2]), y + V(a[i + 3]), x + V(a[i + 4]),
                          y + V(a[i + 5]));
            }
            break;
        case GeometryCommand::QuadBezier:
            for (std::size_t i = 0; i + 3 < n; i += 4) {
                const double x0 = w.X(), y0 = w.Y(), cx = V(a[i]), cy = V(a[i + 1]), x = V(a[i + 2]), y = V(a[i + 3]);
                w.CurveTo(x0 + 2.0 / 3 * (cx - x0), y0 + 2.0 / 3 * (cy - y0), x + 2.0 / 3 * (cx - x),
                          y + 2.0 / 3 * (cy - y), x, y);
            }
            break;
        case GeometryCommand::QuadrantX:
        case GeometryCommand::QuadrantY: {
            bool alongX = c.kind == GeometryCommand::QuadrantX;
            const double k = 0.5522847498;
            for (std::size_t i = 0; i + 1 < n; i += 2) {
                const double x0 = w.X(), y0 = w.Y(), x1 = V(a[i]), y1 = V(a[i + 1]);
                if (alongX)
                    w.CurveTo(x0 + k * (x1 - x0), y0, x1, y1 - k * (y1 - y0), x1, y1);
                else
                    w.CurveTo(x0, y0 + k * (y1 - y0), x1 - k * (x1 - x0), y1, x1, y1);
                alongX = !alongX;
            }
            break;
        }
        case GeometryCommand::ArcTo:
        case GeometryCommand::Arc:
        case GeometryCommand::ClockwiseArcTo:
        case GeometryCommand::ClockwiseArc:
            for (std::size_t i = 0; i + 7 < n; i += 8) {
                const double l = V(a[i]), t = V(a[i + 1]), r = V(a[i + 2]), b = V(a[i + 3]);
                const double cx = (l + r) / 2, cy = (t + b) / 2, rx = std::fabs(r - l) / 2, ry = std::fabs(b - t) / 2;
                const double t0 = RayAngle(cx, cy, rx, ry, V(a[i + 4]), V(a[i + 5]));
                double t1 = RayAngle(cx, cy, rx, ry, V(a[i + 6]), V(a[i + 7]));
                const bool clockwise =
                    c.kind == GeometryCommand::ClockwiseArcTo || c.kind == GeometryCommand::ClockwiseArc;
                if (clockwise) {
                    while (t1 <= t0 + 1e-12) t1 += 2 * kPi;
                } else {
                    while (t1 >= t0 - 1e-12) t1 -= 2 * kPi;
                }
                const bool move = c.kind == GeometryCommand::Arc || c.kind == GeometryCommand::ClockwiseArc;
                w.ArcPart(cx, cy, rx, ry, t0, t1, move && i == 0);
            }
            break;
        case GeometryCommand::AngleEllipseTo:
        case GeometryCommand::AngleEllipse:
            for (std::size_t i = 0; i + 5 < n; i += 6) {
                const double cx = V(a[i]), cy = V(a[i + 1]), rx = V(a[i + 2]), ry = V(a[i + 3]);
                // Angles count counter-clockwise on the page, so y flips.
                const double t0 = -Radians(V(a[i + 4])), sweep = -Radians(V(a[i + 5]));
                w.ArcPart(cx, cy, rx, ry, t0, t0 + std::clamp(sweep, -2 * kPi, 2 * kPi),
                          c.kind == GeometryCommand::AngleEllipse && i == 0);
            }
            break;
        case GeometryCommand::Close:
            w.Close();
            break;
        case GeometryCommand::End:
            w.End();
            break;
        case GeometryCommand::NoFill:
            w.NoFill();
            break;
        case GeometryCommand::NoStroke:
            w.NoStroke();
            break;
        }
        if (bad) break;
    }
    if (bad) {
        SetError(error, "a coordinate is out of range");
        out = Outline();
        return false;
    }
    if (!g.filled)
        for (OutlinePath& p : out.paths) p.filled = false;
    if (!g.stroked)
        for (OutlinePath& p : out.paths) p.stroked = false;
    const double sx = g.geoRight != g.geoLeft ? width / (g.geoRight - g.geoLeft) : 0;
    const double sy = g.geoBottom != g.geoTop ? height / (g.geoBottom - g.geoTop) : 0;
    for (const GeometryRect& r : g.textRects)
        out.textRects.push_back({(V(r.left) - g.geoLeft) * sx, (V(r.top) - g.geoTop) * sy,
                                 (V(r.right) - g.geoLeft) * sx, (V(r.bottom) - g.geoTop) * sy});
    for (const auto& s : g.connectionSites)
        out.connectionSites.push_back({(V(s.first) - g.geoLeft) * sx, (V(s.second) - g.geoTop) * sy});
    return !bad;
}

}  // namespace render
