#pragma once

// What the plug-in base needs from its editor. The editor core implements it; the base owns the
// editor through this interface and deletes it first when the plug-in goes away.
class IEditorLink {
  public:
    virtual ~IEditorLink() = default;

    // Hands a parameter's normalised value to every control bound to it and to the first auxiliary
    // binding of each control that names it, without echoing the value back to the plug-in.
    virtual void ApplyHostValueToControls(int paramIdx, double normalized) = 0;
    // Makes the drawing surfaces ready once the controls have their values.
    virtual void PrepareSurfaces() = 0;
    // Shows a parameter's current plain value on every control bound to it.
    virtual void PushParamToControls(int paramIdx, double plainValue) = 0;
    // Marks every control for repainting with its current value, pushing nothing to the plug-in.
    virtual void MarkAllControlsDirty() = 0;
};
