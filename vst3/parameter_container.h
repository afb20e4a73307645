#pragma once

#include "vst3/host_parameter.h"

#include <map>
#include <vector>

namespace vst {

// The host-visible parameters in insertion order, with a lookup by id. Owns one reference on
// each parameter.
class ParameterContainer {
  public:
    ParameterContainer() = default;
    ParameterContainer(const ParameterContainer&) = delete;
    ParameterContainer& operator=(const ParameterContainer&) = delete;
    ~ParameterContainer() { RemoveAll(); }

    // Takes over the caller's reference; returns the parameter.
    HostParameter* Add(HostParameter* p);
    int32 Count() const { return static_cast<int32>(params.size()); }
    HostParameter* AtIndex(int32 index) const;
    HostParameter* ById(ParamID id) const;
    void RemoveAll();

  private:
    std::vector<HostParameter*> params;
    std::map<ParamID, std::size_t> byId;
};

} // namespace vst
