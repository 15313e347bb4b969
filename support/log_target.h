// Where code below the plug-in's logic sends its log lines; the logic object is one.
#pragma once

class SLogTarget {
  public:
    virtual ~SLogTarget() = default;
    virtual void LogError(const char* text) = 0;
    virtual void LogDebug(const char* text) = 0;
    virtual void LogInfo(const char* text) = 0;
};
