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

// The first bytes of a data file, from which its key is derived; nothing for what is no
// regular file or is too short to hold them.
std::optional<std::vector<std::uint8_t>> SaltOf(const std::filesystem::path& file);
// The raw key (x'..') SQLCipher derives from `password` and a file's salt.
std::string RawKeyFor(std::string_view password, const std::vector<std::uint8_t>& salt);

// Keys derived before, kept in a folder of the user's own: deriving takes a good part of
// the program's start, and the next start opens the same file. The program's password is
// written in the program, so a kept key tells nothing the program does not; an entry is
// named by a hash of the password and the salt, and holds the raw key only.
class KeptKeys {
  public:
    explicit KeptKeys(std::filesystem::path folder) : folder_(std::move(folder)) {}
    // The key kept for this password and salt, when there is one that reads as a key.
    std::optional<std::string> find(std::string_view password,
                                    const std::vector<std::uint8_t>& salt) const;
    // Keeps a key that opened a file; a folder that cannot be written keeps nothing.
    void keep(std::string_view password, const std::vector<std::uint8_t>& salt,
              const std::string& rawKey) const;

    static constexpr std::size_t kKeptEntries = 64;

  private:
    void forgetTheOldest() const;
    std::filesystem::path entry(std::string_view password,
                                const std::vector<std::uint8_t>& salt) const;
    std::filesystem::path folder_;
};

}  // namespace vpl::store
