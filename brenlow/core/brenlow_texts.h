// The fixed texts that brenlow shows in its message boxes and status line.
#pragma once

namespace Texts
{
inline constexpr char DriverNotLoaded[] = "The DFU driver has not been loaded yet";
inline constexpr char CannotGetConfiguration[] = "Cannot get the configuration";
inline constexpr char CannotSetConfiguration[] = "Cannot set the configuration";
inline constexpr char CannotResetAp[] = "Cannot Reset AP";
inline constexpr char CannotRestoreDefaults[] = "Cannot Restore Default Values";
inline constexpr char ResetCompleted[] = "Reset AP Completed!";
inline constexpr char RestoreCompleted[] = "Restore Default Values Completed!";
inline constexpr char CantSaveConfiguration[] = "Can't save configuration!";
inline constexpr char SaveQuestion[] = "Do you want to Save Configuration?";
inline constexpr char ReadOnlyField[] = "Read-only access to this field";
inline constexpr char WrongValue[] = "Wrong value";
inline constexpr char PositiveInteger[] = "Please enter a positive integer.";
inline constexpr char CommunityTooLong[] = "Community should be 16 characters maximum!";
inline constexpr char BrenlowVersion[] = "0.0.5.4";
} // namespace Texts
