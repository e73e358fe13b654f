#pragma once
// A fixed array with the index range of the runtime's Dim a(First To Last):
// an index outside First..Last raises error 9 (subscript out of range).
#include <array>
#include <cstddef>

#include "platform/error.h"

namespace core {

template <typename T, int First, int Last>
class VArray {
  static_assert(First <= Last);

 public:
  static constexpr int lbound() { return First; }
  static constexpr int ubound() { return Last; }
  static constexpr bool valid(int index) { return index >= First && index <= Last; }

  T& operator()(int index) { return items_[offset(index)]; }
  const T& operator()(int index) const { return items_[offset(index)]; }
  T& operator[](int index) { return items_[offset(index)]; }
  const T& operator[](int index) const { return items_[offset(index)]; }

  void fill(const T& value) { items_.fill(value); }
  auto begin() { return items_.begin(); }
  auto end() { return items_.end(); }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }
  bool operator==(const VArray&) const = default;

 private:
  static std::size_t offset(int index) {
    if (!valid(index)) platform::raise(platform::kSubscriptOutOfRange);
    return static_cast<std::size_t>(index - First);
  }
  std::array<T, Last - First + 1> items_{};
};

}  // namespace core
