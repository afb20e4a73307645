#include "framework/param_record.h"

#include "platform/text_conversion.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

int32_t TruncateToInt32(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (v <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

void CopyFixedText(char* field, std::size_t fieldSize, const char* text) {
    if (fieldSize == 0) return;
    std::size_t n = text ? std::strlen(text) : 0;
    n = std::min(n, fieldSize - 1);
    if (n) std::memcpy(field, text, n);
    field[n] = '\0';
}

void IParamRecord::InitContinuous(const char* newName, double newDefault, double newMin, double newMax,
                                  double newStep, const char* newLabel, const char* newGroup,
                                  double newShape) {
    if (type == kTypeNone) type = kTypeContinuous;
    CopyFixedText(name, sizeof name, newName);
    CopyFixedText(label, sizeof label, newLabel);
    CopyFixedText(group, sizeof group, newGroup);
    value = newDefault;
    min = newMin;
    max = newMax;
    step = newStep;
    defaultValue = newDefault;

    // Digits after the decimal point: as many as the step needs, at most 6.
    double x = newStep;
    displayPrecision = 0;
    while (std::floor(x) != x && displayPrecision < 6) {
        ++displayPrecision;
        x *= 10.0;
    }
    shape = newShape;
}

double IParamRecord::ToNormalized(double plain) const {
    if (std::isnan(plain) || !(max > min)) return 0.0;
    double p = std::clamp(plain, min, max);
    return std::pow((p - min) / (max - min), 1.0 / shape);
}

double IParamRecord::FromNormalized(double normalized) const {
    return std::pow(normalized, shape) * (max - min) + min;
}

void IParamRecord::SetNormalized(double normalized) {
    // Host and editor values outside 0..1 are clamped and NaN is ignored, so the record never holds a
    // value outside its range or a non-finite one.
    if (std::isnan(normalized)) return;
    double p = FromNormalized(std::clamp(normalized, 0.0, 1.0));
    if (type != kTypeContinuous) p = std::floor(p / step + 0.5) * step;
    if (std::isnan(p)) return;
    value = std::min(p, max);
}

void IParamRecord::SetClamped(double plain) {
    if (std::isnan(plain)) return;
    value = plain < min ? min : std::min(plain, max);
}

void IParamRecord::AddDisplayText(int32_t k, const char* text) {
    DisplayText entry;
    entry.value = k;
    CopyFixedText(entry.text, sizeof entry.text, text);
    displayTexts.push_back(entry);
}

const char* IParamRecord::FindDisplayText(int32_t k) const {
    for (const DisplayText& entry : displayTexts)
        if (entry.value == k) return entry.text;
    return "";
}

std::string IParamRecord::FormatForHost(double v, bool normalized) const {
    double p = normalized ? FromNormalized(v) : v;
    const char* text = FindDisplayText(TruncateToInt32(p));
    if (*text) return text;

    if (negateDisplay) p = -p;
    char buffer[32];
    if (displayPrecision != 0)
        std::snprintf(buffer, sizeof buffer, "%.*f", static_cast<int>(displayPrecision), p);
    else
        std::snprintf(buffer, sizeof buffer, "%d", static_cast<int>(TruncateToInt32(p)));
    return buffer;
}

double IParamRecord::ParseFromHost(const char16_t* text) const {
    std::string narrow = NarrowToAnsi(text, 128);
    double v = std::atof(narrow.c_str());
    if (std::isnan(v)) v = 0.0;
    if (!(max > min)) return 0.0;
    v = std::clamp(v, min, max);
    return std::pow((v - min) / (max - min), 1.0 / shape);
}

const char* IParamRecord::HostLabel() const {
    return *FindDisplayText(TruncateToInt32(value)) ? "" : label;
}
