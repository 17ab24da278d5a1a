// Command-line options of the devserver executable.
#ifndef BREVALT_TOOLS_DEVSERVER_SERVER_OPTIONS_H
#define BREVALT_TOOLS_DEVSERVER_SERVER_OPTIONS_H

#include <span>
#include <string>

#include "devserver/dev_server.h"

namespace brevalt::devserver {

// Reads the options that HelpText lists (each with its value, as
// "--opt VALUE" or "--opt=VALUE") into *out; --help and --version are
// passed over. args excludes the program name. False with *error set on an
// unknown option or word, a missing or malformed value, or only one of
// --tsa-cert and --tsa-key.
bool ParseServerOptions(std::span<const char* const> args, ServerOptions* out, std::string* error);

// True when args ask for the help text (--help or -h anywhere).
bool WantsHelp(std::span<const char* const> args);

// True when args ask for the version (--version or -V anywhere).
bool WantsVersion(std::span<const char* const> args);

// Usage and one line of explanation per option.
std::string HelpText();

}  // namespace brevalt::devserver

#endif  // BREVALT_TOOLS_DEVSERVER_SERVER_OPTIONS_H
