#pragma once

// The update check's exchange through WinHTTP: the same GET as the socket
// client in UpdateCheck.h, but through the proxy the system is set up for,
// which a socket of our own cannot know.

#include "about/UpdateCheck.h"

#include <string>
#include <vector>

// One HTTP/1.0 GET of path from host on options.Port, judged as
// HTTPGetReply judges it: a proxy's or failing server's status is no reply,
// redirects are followed by the same rules, any other status gives the lines
// of its body. Blocks; call it off the window's thread.
THttpGetResult WinHttpGetReply(const std::string& host, const std::string& path, std::vector<std::string>& lines,
                               const TAnsiTextDecoder& decodeAnsi, const THttpGetOptions& options = {});
