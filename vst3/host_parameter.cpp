#include "vst3/host_parameter.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vst {

void CopyText16(char16* field, std::size_t units, const char16* text) {
    if (!field || units == 0) return;
    std::size_t i = 0;
    if (text)
        for (; i + 1 < units && text[i] != 0; ++i)
            field[i] = text[i];
    for (; i < units; ++i)
        field[i] = 0;
}

void WidenText(char16* field, std::size_t units, const char* text) {
    if (!field || units == 0) return;
    std::size_t i = 0;
    if (text)
        for (; i + 1 < units && text[i] != 0; ++i)
            field[i] = static_cast<unsigned char>(text[i]);
    for (; i < units; ++i)
        field[i] = 0;
}

HostParameter::HostParameter() {
    std::memset(&info, 0, sizeof(info));
}

HostParameter::HostParameter(const char16* title, ParamID id, const char16* units,
                             ParamValue defaultNormalized, int32 stepCount, int32 flags, UnitID unitId)
    : HostParameter() {
    info.id = id;
    CopyText16(info.title, 128, title);
    CopyText16(info.units, 128, units);
    info.stepCount = stepCount;
    info.defaultNormalizedValue = defaultNormalized;
    info.unitId = unitId;
    info.flags = flags;
    valueNormalized = defaultNormalized;
}

void HostParameter::SetNormalized(ParamValue v) {
    if (std::isnan(v)) return;
    valueNormalized = v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v);
}

void HostParameter::toString(ParamValue v, String128 string) const {
    char text[64];
    if (info.stepCount == 1)
        std::snprintf(text, sizeof text, "%s", v > 0.5 ? "On" : "Off");
    else
        std::snprintf(text, sizeof text, "%.*f", precision < 0 ? 0 : (precision > 16 ? 16 : precision), v);
    WidenText(string, 128, text);
}

bool HostParameter::fromString(const TChar* string, ParamValue& v) const {
    if (!string) return false;
    char text[128];
    std::size_t i = 0;
    for (; i + 1 < sizeof text && string[i] != 0; ++i)
        text[i] = string[i] < 128 ? static_cast<char>(string[i]) : '?';
    text[i] = 0;
    char* end = nullptr;
    const double parsed = std::strtod(text, &end);
    if (end == text) return false;
    v = parsed;
    return true;
}

bool HostParameter::IsTypeOf(const char* name, bool askBaseClasses) const {
    return SameClassName(name, "Parameter") || (askBaseClasses && RefCountedObject::IsTypeOf(name, true));
}

StringListParameter::StringListParameter(const char16* title, ParamID id, const char16* units, int32 flags,
                                         UnitID unitId)
    : HostParameter(title, id, units, 0.0, -1, flags, unitId) {}

void StringListParameter::AppendString(const char16* text) {
    strings.emplace_back(text ? text : u"");
    info.stepCount++;
}

int32 StringListParameter::Index(ParamValue v) const {
    if (info.stepCount <= 0 || !(v > 0.0)) return 0;
    const double scaled = std::floor(v * (info.stepCount + 1));
    return scaled >= info.stepCount ? info.stepCount : static_cast<int32>(scaled);
}

void StringListParameter::toString(ParamValue v, String128 string) const {
    const int32 index = Index(v);
    CopyText16(string, 128, index < static_cast<int32>(strings.size()) ? strings[index].c_str() : u"");
}

bool StringListParameter::fromString(const TChar* string, ParamValue& v) const {
    if (!string) return false;
    for (std::size_t i = 0; i < strings.size(); ++i)
        if (strings[i] == string) {
            v = info.stepCount <= 0 ? 0.0 : static_cast<double>(i) / info.stepCount;
            return true;
        }
    return false;
}

ParamValue StringListParameter::toPlain(ParamValue v) const {
    return Index(v);
}

ParamValue StringListParameter::toNormalized(ParamValue plain) const {
    if (info.stepCount <= 0 || std::isnan(plain)) return 0.0;
    const double n = plain / info.stepCount;
    return n < 0.0 ? 0.0 : (n > 1.0 ? 1.0 : n);
}

bool StringListParameter::IsTypeOf(const char* name, bool askBaseClasses) const {
    return SameClassName(name, "StringListParameter") ||
           (askBaseClasses && HostParameter::IsTypeOf(name, true));
}

} // namespace vst
