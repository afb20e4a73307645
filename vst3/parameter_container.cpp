#include "vst3/parameter_container.h"

namespace vst {

HostParameter* ParameterContainer::Add(HostParameter* p) {
    if (!p) return nullptr;
    byId[p->Info().id] = params.size();
    params.push_back(p);
    return p;
}

HostParameter* ParameterContainer::AtIndex(int32 index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return params[static_cast<std::size_t>(index)];
}

HostParameter* ParameterContainer::ById(ParamID id) const {
    const auto it = byId.find(id);
    return it == byId.end() ? nullptr : params[it->second];
}

void ParameterContainer::RemoveAll() {
    for (HostParameter* p : params)
        p->ReleaseReference();
    params.clear();
    byId.clear();
}

} // namespace vst
