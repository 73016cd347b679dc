// An ordered set of OAuth parameters: one value per name, names in ascending byte order,
// which is the order the signature base string needs. Both are unencoded byte strings.
#pragma once

#include <map>
#include <string>

namespace KYR {

// std::string compares through char_traits<char>, which orders as unsigned char: byte order.
using OAuthParams = std::map<std::string, std::string>;

}  // namespace KYR
