#include "core/state.h"

namespace core {

State& state() {
  static State instance;
  return instance;
}

void resetState() { state() = State{}; }

void State::setMachinePaths(const MachinePaths& own) {
  machine = own;
  useMachinePaths();
}

void State::useMachinePaths() {
  SystemPath = machine.SystemPath;
  PathStartmenue = machine.PathStartmenue;
  PathFavorites = machine.PathFavorites;
  PathNetscape = machine.PathNetscape;
}

}  // namespace core
