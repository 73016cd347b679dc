// The service's token replies: "name=value&name=value", not percent-decoded.
#pragma once

#include <string>

#include "web/OAuthParams.h"

namespace KYR {

// Pieces without "=" are ignored; a value keeps every "=" after the first; a later piece
// replaces an earlier one of the same name. Any text is accepted.
OAuthParams ParseFormReply(const std::string& body);

}  // namespace KYR
