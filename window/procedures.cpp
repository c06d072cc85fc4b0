#include "window/procedures.h"

namespace window {

std::unique_ptr<host::Form> CreateJSONfrm(host::Window& me, const host::ObjectInterfaces& interfaces) {
  return std::make_unique<JSONfrm>(me, interfaces);
}

}  // namespace window
