#pragma once

// What the application's own controls call after they have taken a new value: the plug-in carries
// out what the control stands for (start a recording, save, load, show the About box...).
class IParameterActionTarget {
  public:
    virtual ~IParameterActionTarget() = default;
    virtual void DoParameterAction(int paramIdx) = 0;
};
