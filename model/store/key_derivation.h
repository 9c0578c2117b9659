#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vpl::store {

// PBKDF2 with HMAC-SHA1 (RFC 8018), as SQLCipher derives a file's key from its password.
std::vector<std::uint8_t> Pbkdf2HmacSha1(std::string_view password,
                                         const std::vector<std::uint8_t>& salt, int iterations,
                                         std::size_t length);

// The key SQLCipher derives for `file` from `password` with the cipher settings every file
// is written with, in the x'..' form that opens the file without deriving it again. Nothing
// for a file too short to hold its salt.
std::optional<std::string> RawKeyOf(const std::filesystem::path& file, std::string_view password);

}  // namespace vpl::store
