#include "tools/engine/EngineTimeline.h"

#include <cmath>

namespace engine {

namespace {

constexpr double kMaxSeconds = 1e6;
constexpr double kMaxMagnitude = 10;
constexpr size_t kMaxItems = 4096;

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' ||
                             text.back() == '\n')) {
        text.remove_suffix(1);
    }
    return text;
}

// A plain decimal number; strtod would also take hex, "inf" and exponents,
// which a typo in a test should not silently turn into.
bool ParseNumber(std::string_view text, bool allowSign, double& out) {
    text = Trim(text);
    bool negative = false;
    if (allowSign && !text.empty() && text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    if (text.empty()) return false;
    double whole = 0;
    double scale = 0;  // 0 until the point is seen
    bool digits = false;
    for (char c : text) {
        if (c == '.') {
            if (scale != 0) return false;
            scale = 1;
        } else if (c >= '0' && c <= '9') {
            digits = true;
            if (scale == 0) {
                whole = whole * 10 + (c - '0');
                if (whole > kMaxSeconds * 10) return false;
            } else {
                scale /= 10;
                whole += (c - '0') * scale;
            }
        } else {
            return false;
        }
    }
    if (!digits) return false;
    out = negative ? -whole : whole;
    return true;
}

std::vector<std::string_view> SplitItems(std::string_view text) {
    std::vector<std::string_view> items;
    size_t start = 0;
    while (true) {
        const size_t comma = text.find(',', start);
        items.push_back(text.substr(start, comma == std::string_view::npos ? text.npos : comma - start));
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return items;
}

bool ParseValue(std::string_view text, float& out) {
    double value = 0;
    if (!ParseNumber(text, true, value) || std::fabs(value) > kMaxMagnitude) return false;
    out = static_cast<float>(value);
    return true;
}

bool ParseTime(std::string_view text, double& out) {
    return ParseNumber(text, false, out) && out <= kMaxSeconds;
}

}  // namespace

Timeline Timeline::Default() {
    Timeline timeline;
    std::string ignored;
    Parse("rise:4", timeline, ignored);
    return timeline;
}

bool Timeline::Parse(std::string_view text, Timeline& out, std::string& error) {
    text = Trim(text);
    Timeline parsed;
    auto fail = [&error](std::string message) {
        error = std::move(message);
        return false;
    };
    auto constant = [&parsed](float value) { parsed.points_.push_back({0, value}); };

    if (text.empty()) return fail("empty timeline");
    if (text == "never") {
        constant(-1);
    } else if (text == "zero") {
        constant(0);
    } else if (text == "stick") {
        constant(0.99f);
    } else if (text.substr(0, 5) == "hold:") {
        float value = 0;
        if (!ParseValue(text.substr(5), value)) return fail("hold: needs a value within [-10, 10]");
        constant(value);
    } else if (text.substr(0, 5) == "rise:") {
        double seconds = 0;
        if (!ParseTime(text.substr(5), seconds)) return fail("rise: needs seconds within [0, 1e6]");
        parsed.points_.push_back({0, 0});
        parsed.points_.push_back({seconds, 1});
    } else if (text.substr(0, 6) == "calls:") {
        parsed.perCall_ = true;
        const auto items = SplitItems(text.substr(6));
        if (items.size() > kMaxItems) return fail("too many values");
        for (size_t i = 0; i < items.size(); ++i) {
            float value = 0;
            if (!ParseValue(items[i], value)) {
                return fail("calls: value " + std::to_string(i + 1) + " is not a number within [-10, 10]");
            }
            parsed.points_.push_back({static_cast<double>(i), value});
        }
    } else {
        const auto items = SplitItems(text);
        if (items.size() > kMaxItems) return fail("too many points");
        for (size_t i = 0; i < items.size(); ++i) {
            const size_t colon = items[i].find(':');
            double time = 0;
            float value = 0;
            if (colon == std::string_view::npos || !ParseTime(items[i].substr(0, colon), time) ||
                !ParseValue(items[i].substr(colon + 1), value)) {
                return fail("point " + std::to_string(i + 1) +
                            " is not seconds:value (or an unknown word)");
            }
            if (!parsed.points_.empty() && time < parsed.points_.back().time) {
                return fail("point " + std::to_string(i + 1) + " goes back in time");
            }
            parsed.points_.push_back({time, value});
        }
    }
    out = std::move(parsed);
    error.clear();
    return true;
}

float Timeline::ProgressAt(double seconds, uint64_t call) const {
    if (points_.empty()) return -1;
    if (perCall_) {
        const uint64_t index = call < points_.size() ? call : points_.size() - 1;
        return points_[static_cast<size_t>(index)].value;
    }
    if (!(seconds > points_.front().time)) return points_.front().value;
    for (size_t i = 1; i < points_.size(); ++i) {
        const Point& a = points_[i - 1];
        const Point& b = points_[i];
        if (seconds < b.time) {
            const double share = (seconds - a.time) / (b.time - a.time);
            return static_cast<float>(a.value + (b.value - a.value) * share);
        }
    }
    return points_.back().value;
}

}  // namespace engine
