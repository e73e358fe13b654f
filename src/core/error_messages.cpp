#include "core/error_messages.h"

#include <iterator>

#include "forms/messages.h"

namespace core {

std::string FileErrorMessage(int error) {
  // Messages 2000 to 2011 in this order.
  static constexpr int kNumbered[] = {52, 53, 54, 55, 57, 58, 61, 67, 68, 70, 71, 75};
  for (std::size_t i = 0; i < std::size(kNumbered); ++i)
    if (kNumbered[i] == error) return forms::loadResString(2000 + static_cast<int>(i));
  return "";
}

}  // namespace core
