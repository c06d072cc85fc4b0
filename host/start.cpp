#include "host/start.h"

#include "host/dispatch.h"

namespace host {

int Start(Backend& backend, const Program& program) {
  Dispatcher dispatcher(backend, program.title);
  NativeWindow& window = backend.CreateWindow(*program.design, dispatcher);
  const std::unique_ptr<Form> form = program.create_form(window);
  dispatcher.Attach(*form);
  dispatcher.Raise(program.design->name, Event::kLoad);
  if (dispatcher.Failure() != 0) return dispatcher.Failure();
  window.Show();
  const int status = backend.Run();
  return dispatcher.Failure() != 0 ? dispatcher.Failure() : status;
}

}  // namespace host
