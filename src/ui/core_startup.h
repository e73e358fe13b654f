#pragma once
// The core services the start-up and the main window's frame call: the
// settings writer, the core start-up and the orderly exit.
namespace core {
void SaveSettings();
void InitProgram();
void ExitProgram();
}  // namespace core
