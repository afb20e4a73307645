#pragma once

#include "framework/param_record.h"
#include "vst3/host_parameter.h"

// The host's view of one plug-in parameter: filled once from its record, every conversion
// forwarded to the record. A record that was never defined only carries an editor control: hosts
// get it hidden and not automatable, under `untitledName` since every listed parameter needs a title.
class IHostParameter : public vst::HostParameter {
  public:
    IHostParameter(IParamRecord* record, vst::ParamID id, vst::UnitID unitId, const char* untitledName = "");

    static bool IsEditorOnly(const IParamRecord& record) {
        return record.type == IParamRecord::kTypeNone && record.name[0] == '\0';
    }

    void toString(vst::ParamValue valueNormalized, vst::String128 string) const override;
    bool fromString(const vst::TChar* string, vst::ParamValue& valueNormalized) const override;
    vst::ParamValue toPlain(vst::ParamValue valueNormalized) const override;
    vst::ParamValue toNormalized(vst::ParamValue plainValue) const override;

    const char* ClassName() const override { return "IHostParameter"; }
    bool IsTypeOf(const char* name, bool askBaseClasses) const override;

    IParamRecord* Record() const { return record; }

  private:
    IParamRecord* record; // owned by the plug-in base
};
