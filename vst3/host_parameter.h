#pragma once

#include "vst3/abi/controller.h"
#include "vst3/ref_counted_object.h"

#include <string>
#include <vector>

namespace vst {

// One parameter as the host sees it: an information block and a normalised value. The plain
// value is the normalised one unless a derived class says otherwise.
class HostParameter : public RefCountedObject {
  public:
    HostParameter();
    HostParameter(const char16* title, ParamID id, const char16* units, ParamValue defaultNormalized,
                  int32 stepCount, int32 flags, UnitID unitId);

    const ParameterInfo& Info() const { return info; }
    ParameterInfo& Info() { return info; }

    virtual ParamValue GetNormalized() const { return valueNormalized; }
    // Stores the value clamped into [0, 1]; a value that is not a number is ignored.
    virtual void SetNormalized(ParamValue v);

    virtual void toString(ParamValue valueNormalized, String128 string) const;
    virtual bool fromString(const TChar* string, ParamValue& valueNormalized) const;
    virtual ParamValue toPlain(ParamValue valueNormalized) const { return valueNormalized; }
    virtual ParamValue toNormalized(ParamValue plainValue) const { return plainValue; }

    int32 Precision() const { return precision; }
    void SetPrecision(int32 digits) { precision = digits; }

    const char* ClassName() const override { return "Parameter"; }
    bool IsTypeOf(const char* name, bool askBaseClasses) const override;

  protected:
    ParameterInfo info;
    ParamValue valueNormalized = 0.0;
    int32 precision = 4;
};

// A parameter choosing among texts: N texts give N - 1 steps.
class StringListParameter : public HostParameter {
  public:
    StringListParameter(const char16* title, ParamID id, const char16* units, int32 flags, UnitID unitId);

    void AppendString(const char16* text);
    int32 Index(ParamValue valueNormalized) const;

    void toString(ParamValue valueNormalized, String128 string) const override;
    bool fromString(const TChar* string, ParamValue& valueNormalized) const override;
    ParamValue toPlain(ParamValue valueNormalized) const override;
    ParamValue toNormalized(ParamValue plainValue) const override;

    const char* ClassName() const override { return "StringListParameter"; }
    bool IsTypeOf(const char* name, bool askBaseClasses) const override;

  private:
    std::vector<std::u16string> strings;
};

// Copies a 0-terminated UTF-16 text into a fixed field of `units` units, always terminated.
void CopyText16(char16* field, std::size_t units, const char16* text);
// Widens 8-bit text byte by byte into a fixed UTF-16 field, always terminated.
void WidenText(char16* field, std::size_t units, const char* text);

} // namespace vst
