#pragma once

namespace host::qt {

/// Gives the running application its name, version, desktop entry and
/// window icon. Call once the application object exists, before any window.
void SetApplicationIdentity();

}  // namespace host::qt
