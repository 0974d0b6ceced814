// The runtime folder for runs whose environment gives none (a scheduler, a
// service), where Qt looks for it; and the system's temporary folder.

#ifndef HX_QT_RUNTIME_FOLDER_H_
#define HX_QT_RUNTIME_FOLDER_H_

#include <string>

namespace hx {

// The system's folder for temporary files, shared by all its users: TMPDIR,
// else /tmp; without a trailing separator.
std::string TemporaryFolder();

// A folder private to the user that runs the program, the same on every run
// of that user: "HX_RPT-<user id>" in TemporaryFolder(), made when missing.  It is taken only when
// it is a real folder (not a link) owned by the user and open to nobody else; a folder left open by
// the user is closed again.  Empty when no such folder can be had.
std::string PrivateRuntimeFolder();

}  // namespace hx

#endif  // HX_QT_RUNTIME_FOLDER_H_
