#include "vst3/ihost_parameter.h"

#include "framework/host_text.h"

#include <cmath>
#include <limits>

namespace {

// The default as a normalised value; a degenerate range gives 0 instead of a division by zero.
double DefaultNormalized(const IParamRecord& r) {
    const double span = r.max - r.min;
    if (!(span != 0.0) || !std::isfinite(span)) return 0.0;
    const double n = std::pow((r.defaultValue - r.min) / span, 1.0 / r.shape);
    return std::isfinite(n) ? n : 0.0;
}

vst::int32 StepCount(const IParamRecord& r) {
    if (r.type == IParamRecord::kTypeContinuous) return 0;
    const double span = r.max - r.min;
    if (!(span >= 0.0)) return 0;
    if (span >= static_cast<double>(std::numeric_limits<vst::int32>::max()))
        return std::numeric_limits<vst::int32>::max();
    return static_cast<vst::int32>(span);
}

} // namespace

IHostParameter::IHostParameter(IParamRecord* r, vst::ParamID id, vst::UnitID unitId, const char* untitledName)
    : record(r) {
    const bool editorOnly = IsEditorOnly(*r);
    info.id = id;
    WidenForHost(editorOnly ? untitledName : r->name, info.title);
    WidenForHost("", info.shortTitle);
    WidenForHost(r->HostLabel(), info.units);
    info.stepCount = StepCount(*r);
    info.defaultNormalizedValue = DefaultNormalized(*r);
    info.unitId = unitId;
    if (editorOnly)
        info.flags = vst::ParameterInfo::kIsHidden;
    else
        info.flags = r->canAutomate ? vst::ParameterInfo::kCanAutomate : 0;
    valueNormalized = info.defaultNormalizedValue;
    precision = r->displayPrecision;
}

void IHostParameter::toString(vst::ParamValue v, vst::String128 string) const {
    WidenForHost(record->FormatForHost(v, true).c_str(), string);
}

bool IHostParameter::fromString(const vst::TChar* string, vst::ParamValue& v) const {
    v = record->ParseFromHost(string);
    return true;
}

vst::ParamValue IHostParameter::toPlain(vst::ParamValue v) const {
    return record->FromNormalized(v);
}

vst::ParamValue IHostParameter::toNormalized(vst::ParamValue plain) const {
    return record->ToNormalized(plain);
}

bool IHostParameter::IsTypeOf(const char* name, bool askBaseClasses) const {
    return vst::SameClassName(name, "IHostParameter") ||
           (askBaseClasses && vst::HostParameter::IsTypeOf(name, true));
}
