#pragma once

// The controller side: parameters, units and programs, the host's component handler and the
// connection point between processor and controller.

#include "vst3/abi/unknown.h"

namespace vst {

class IPlugView;

struct ParameterInfo {
    enum ParameterFlags : int32 {
        kNoFlags = 0,
        kCanAutomate = 1,
        kIsReadOnly = 2,
        kIsWrapAround = 4,
        kIsList = 8,
        kIsHidden = 16,
        kIsProgramChange = 0x8000,
        kIsBypass = 0x10000,
    };
    ParamID id;
    String128 title;
    String128 shortTitle;
    String128 units;
    int32 stepCount;
    ParamValue defaultNormalizedValue;
    UnitID unitId;
    int32 flags;
};

enum RestartFlags : int32 { kLatencyChanged = 8, kParamValuesChanged = 4, kIoChanged = 2 };

class IComponentHandler : public FUnknown {
  public:
    static constexpr Uid iid{0x93A0BEA3, 0x0BD045DB, 0x8E890B0C, 0xC1E46AC6};
    virtual tresult beginEdit(ParamID id) = 0;
    virtual tresult performEdit(ParamID id, ParamValue valueNormalized) = 0;
    virtual tresult endEdit(ParamID id) = 0;
    virtual tresult restartComponent(int32 flags) = 0;
};

class IComponentHandler2 : public FUnknown {
  public:
    static constexpr Uid iid{0xF040B4B3, 0xA36045EC, 0xABCDC045, 0xB4D5A2CC};
    virtual tresult setDirty(TBool state) = 0;
    virtual tresult requestOpenEditor(FIDString name) = 0;
    virtual tresult startGroupEdit() = 0;
    virtual tresult finishGroupEdit() = 0;
};

struct IContextMenuItem {
    String128 name;
    int32 tag;
    int32 flags;
};

class IContextMenuTarget : public FUnknown {
  public:
    static constexpr Uid iid{0x3CDF2E75, 0x85D34144, 0xBF86D36B, 0xD7C4894D};
    virtual tresult executeMenuItem(int32 tag) = 0;
};

class IContextMenu : public FUnknown {
  public:
    static constexpr Uid iid{0x2E93C863, 0x0C9C4588, 0x97DBECF5, 0xAD17817D};
    virtual int32 getItemCount() = 0;
    virtual tresult getItem(int32 index, IContextMenuItem& item, IContextMenuTarget** target) = 0;
    virtual tresult addItem(const IContextMenuItem& item, IContextMenuTarget* target) = 0;
    virtual tresult removeItem(const IContextMenuItem& item, IContextMenuTarget* target) = 0;
    virtual tresult popup(UCoord x, UCoord y) = 0;
};

class IComponentHandler3 : public FUnknown {
  public:
    static constexpr Uid iid{0x69F11617, 0xD26B400D, 0xA4B6B964, 0x7B6EBBAB};
    virtual IContextMenu* createContextMenu(IPlugView* plugView, const ParamID* paramID) = 0;
};

class IEditController : public IPluginBase {
  public:
    static constexpr Uid iid{0xDCD7BBE3, 0x7742448D, 0xA874AACC, 0x979C759E};
    virtual tresult setComponentState(IBStream* state) = 0;
    virtual tresult setState(IBStream* state) = 0;
    virtual tresult getState(IBStream* state) = 0;
    virtual int32 getParameterCount() = 0;
    virtual tresult getParameterInfo(int32 paramIndex, ParameterInfo& info) = 0;
    virtual tresult getParamStringByValue(ParamID id, ParamValue valueNormalized, String128 string) = 0;
    virtual tresult getParamValueByString(ParamID id, TChar* string, ParamValue& valueNormalized) = 0;
    virtual ParamValue normalizedParamToPlain(ParamID id, ParamValue valueNormalized) = 0;
    virtual ParamValue plainParamToNormalized(ParamID id, ParamValue plainValue) = 0;
    virtual ParamValue getParamNormalized(ParamID id) = 0;
    virtual tresult setParamNormalized(ParamID id, ParamValue value) = 0;
    virtual tresult setComponentHandler(IComponentHandler* handler) = 0;
    virtual IPlugView* createView(FIDString name) = 0;
};

class IEditController2 : public FUnknown {
  public:
    static constexpr Uid iid{0x7F4EFE59, 0xF3204967, 0xAC27A3AE, 0xAFB63038};
    virtual tresult setKnobMode(KnobMode mode) = 0;
    virtual tresult openHelp(TBool onlyCheck) = 0;
    virtual tresult openAboutBox(TBool onlyCheck) = 0;
};

inline constexpr UnitID kRootUnitId = 0;
inline constexpr UnitID kNoParentUnitId = -1;
inline constexpr ProgramListID kNoProgramListId = -1;

struct UnitInfo {
    UnitID id;
    UnitID parentUnitId;
    String128 name;
    ProgramListID programListId;
};

struct ProgramListInfo {
    ProgramListID id;
    String128 name;
    int32 programCount;
};

class IUnitInfo : public FUnknown {
  public:
    static constexpr Uid iid{0x3D4BD6B5, 0x913A4FD2, 0xA886E768, 0xA5EB92C1};
    virtual int32 getUnitCount() = 0;
    virtual tresult getUnitInfo(int32 unitIndex, UnitInfo& info) = 0;
    virtual int32 getProgramListCount() = 0;
    virtual tresult getProgramListInfo(int32 listIndex, ProgramListInfo& info) = 0;
    virtual tresult getProgramName(ProgramListID listId, int32 programIndex, String128 name) = 0;
    virtual tresult getProgramInfo(ProgramListID listId, int32 programIndex, CString attributeId,
                                   String128 attributeValue) = 0;
    virtual tresult hasProgramPitchNames(ProgramListID listId, int32 programIndex) = 0;
    virtual tresult getProgramPitchName(ProgramListID listId, int32 programIndex, int16 midiPitch,
                                        String128 name) = 0;
    virtual UnitID getSelectedUnit() = 0;
    virtual tresult selectUnit(UnitID unitId) = 0;
    virtual tresult getUnitByBus(MediaType type, BusDirection dir, int32 busIndex, int32 channel,
                                 UnitID& unitId) = 0;
    virtual tresult setUnitProgramData(int32 listOrUnitId, int32 programIndex, IBStream* data) = 0;
};

class IAttributeList : public FUnknown {
  public:
    static constexpr Uid iid{0x1E5F0AEB, 0xCC7F4533, 0xA2544011, 0x38AD5EE4};
    using AttrID = const char*;
    virtual tresult setInt(AttrID id, int64 value) = 0;
    virtual tresult getInt(AttrID id, int64& value) = 0;
    virtual tresult setFloat(AttrID id, double value) = 0;
    virtual tresult getFloat(AttrID id, double& value) = 0;
    virtual tresult setString(AttrID id, const TChar* string) = 0;
    virtual tresult getString(AttrID id, TChar* string, uint32 sizeInBytes) = 0;
    virtual tresult setBinary(AttrID id, const void* data, uint32 sizeInBytes) = 0;
    virtual tresult getBinary(AttrID id, const void*& data, uint32& sizeInBytes) = 0;
};

class IMessage : public FUnknown {
  public:
    static constexpr Uid iid{0x936F033B, 0xC6C047DB, 0xBB0882F8, 0x13C1E613};
    virtual FIDString getMessageID() = 0;
    virtual void setMessageID(FIDString id) = 0;
    virtual IAttributeList* getAttributes() = 0;
};

class IConnectionPoint : public FUnknown {
  public:
    static constexpr Uid iid{0x70A4156F, 0x6E6E4026, 0x989148BF, 0xAA60D8D1};
    virtual tresult connect(IConnectionPoint* other) = 0;
    virtual tresult disconnect(IConnectionPoint* other) = 0;
    virtual tresult notify(IMessage* message) = 0;
};

class IHostApplication : public FUnknown {
  public:
    static constexpr Uid iid{0x58E595CC, 0xDB2D4969, 0x8B6AAF8C, 0x36A664E5};
    virtual tresult getName(String128 name) = 0;
    virtual tresult createInstance(TUID cid, TUID iid, void** obj) = 0;
};

// Interfaces a host may ask for that this module does not offer; named so tests can ask for them.
namespace unoffered {
inline constexpr Uid kMidiMapping{0xDF0FF9F7, 0x49B74669, 0xB63AB732, 0x7ADBF5E5};
inline constexpr Uid kAudioPresentationLatency{0x309ECE78, 0xEB7D4FAE, 0x8B2225D9, 0x09FD08B6};
inline constexpr Uid kNoteExpressionController{0xB7F8F859, 0x41234872, 0x91169581, 0x4F3721A3};
inline constexpr Uid kKeyswitchController{0x1F2F76D3, 0xBFFB4B96, 0xB99527A5, 0x5EBCCEF4};
inline constexpr Uid kProgramListData{0x8683B01F, 0x7B354F70, 0xA2651DEC, 0x353AF4FF};
inline constexpr Uid kUnitData{0x6C389611, 0xD391455D, 0xB870B833, 0x94A0EFDD};
inline constexpr Uid kEditControllerHostEditing{0xC1271208, 0x70594098, 0xB9DD34B3, 0x6BB0195E};
} // namespace unoffered

static_assert(sizeof(ParameterInfo) == 792 && alignof(ParameterInfo) == 8);
static_assert(offsetof(ParameterInfo, stepCount) == 772 &&
              offsetof(ParameterInfo, defaultNormalizedValue) == 776);
static_assert(offsetof(ParameterInfo, flags) == 788);
static_assert(sizeof(UnitInfo) == 268 && offsetof(UnitInfo, programListId) == 264);
static_assert(sizeof(ProgramListInfo) == 264 && offsetof(ProgramListInfo, programCount) == 260);
static_assert(sizeof(IContextMenuItem) == 264);

} // namespace vst
