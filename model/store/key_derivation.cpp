#include "store/key_derivation.h"

// The SHA-1 block functions, which OpenSSL 3 keeps but marks as old: they are what lets
// the two HMAC states be prepared once instead of at every one of the 64000 iterations,
// where the library's own PBKDF2 spends most of its time.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <fcntl.h>
#include <openssl/sha.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <fstream>

namespace vpl::store {

namespace {

constexpr int kIterations = 64000;  // SQLCipher 3's, fixed for every file
constexpr std::size_t kKeyLength = 32;
constexpr std::size_t kSaltLength = 16;

void finish(SHA_CTX state, const std::uint8_t* data, std::size_t size, std::uint8_t* digest) {
    SHA1_Update(&state, data, size);
    SHA1_Final(digest, &state);
}

// One HMAC step over a digest: each hash has one block left, the digest with its padding,
// so the prepared state takes that block alone.
class DigestBlock {
  public:
    DigestBlock() {
        block_[SHA_DIGEST_LENGTH] = 0x80;
        const std::uint32_t bits = (SHA_CBLOCK + SHA_DIGEST_LENGTH) * 8;
        block_[SHA_CBLOCK - 2] = static_cast<std::uint8_t>(bits >> 8);
        block_[SHA_CBLOCK - 1] = static_cast<std::uint8_t>(bits);
    }
    // The hash of `prepared` followed by `digest`, written over `digest`.
    void hash(const SHA_CTX& prepared, std::uint8_t* digest) {
        std::copy(digest, digest + SHA_DIGEST_LENGTH, block_);
        SHA_CTX state = prepared;
        SHA1_Transform(&state, block_);
        const SHA_LONG words[5] = {state.h0, state.h1, state.h2, state.h3, state.h4};
        for (int w = 0; w < 5; ++w)
            for (int b = 0; b < 4; ++b)
                digest[4 * w + b] = static_cast<std::uint8_t>(words[w] >> (24 - 8 * b));
    }

  private:
    std::uint8_t block_[SHA_CBLOCK] = {};
};

std::string hexOf(const std::vector<std::uint8_t>& bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (const std::uint8_t byte : bytes) {
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0x0f];
    }
    return hex;
}

}  // namespace

std::vector<std::uint8_t> Pbkdf2HmacSha1(std::string_view password,
                                         const std::vector<std::uint8_t>& salt, int iterations,
                                         std::size_t length) {
    std::uint8_t key[SHA_CBLOCK] = {};
    if (password.size() > SHA_CBLOCK)
        SHA1(reinterpret_cast<const unsigned char*>(password.data()), password.size(), key);
    else
        std::copy(password.begin(), password.end(), key);
    std::uint8_t innerPad[SHA_CBLOCK];
    std::uint8_t outerPad[SHA_CBLOCK];
    for (int i = 0; i < SHA_CBLOCK; ++i) {
        innerPad[i] = key[i] ^ 0x36;
        outerPad[i] = key[i] ^ 0x5c;
    }
    SHA_CTX inner;
    SHA_CTX outer;
    SHA1_Init(&inner);
    SHA1_Update(&inner, innerPad, SHA_CBLOCK);
    SHA1_Init(&outer);
    SHA1_Update(&outer, outerPad, SHA_CBLOCK);

    std::vector<std::uint8_t> derived;
    for (std::uint32_t block = 1; derived.size() < length; ++block) {
        std::vector<std::uint8_t> first(salt);
        for (int shift = 24; shift >= 0; shift -= 8) first.push_back((block >> shift) & 0xff);
        std::uint8_t u[SHA_DIGEST_LENGTH];
        finish(inner, first.data(), first.size(), u);
        finish(outer, u, sizeof u, u);
        std::uint8_t t[SHA_DIGEST_LENGTH];
        std::copy(std::begin(u), std::end(u), t);
        DigestBlock step;
        for (int i = 1; i < iterations; ++i) {
            step.hash(inner, u);
            step.hash(outer, u);
            for (int k = 0; k < SHA_DIGEST_LENGTH; ++k) t[k] ^= u[k];
        }
        derived.insert(derived.end(), std::begin(t), std::end(t));
    }
    derived.resize(length);
    return derived;
}

std::optional<std::vector<std::uint8_t>> SaltOf(const std::filesystem::path& file) {
    std::vector<std::uint8_t> salt(kSaltLength);
    // Never blocks: a FIFO opens at once and, like a device or a folder, gives no salt.
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return std::nullopt;
    struct stat status {};
    std::size_t got = 0;
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
        while (got < kSaltLength) {
            const ssize_t n = ::read(fd, salt.data() + got, kSaltLength - got);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            got += static_cast<std::size_t>(n);
        }
    }
    ::close(fd);
    if (got < kSaltLength) return std::nullopt;
    return salt;
}

std::string RawKeyFor(std::string_view password, const std::vector<std::uint8_t>& salt) {
    return "x'" + hexOf(Pbkdf2HmacSha1(password, salt, kIterations, kKeyLength)) + "'";
}

std::optional<std::string> RawKeyOf(const std::filesystem::path& file, std::string_view password) {
    const std::optional<std::vector<std::uint8_t>> salt = SaltOf(file);
    if (!salt) return std::nullopt;
    return RawKeyFor(password, *salt);
}

std::filesystem::path KeptKeys::entry(std::string_view password,
                                      const std::vector<std::uint8_t>& salt) const {
    SHA_CTX state;
    SHA1_Init(&state);
    SHA1_Update(&state, password.data(), password.size());
    SHA1_Update(&state, salt.data(), salt.size());
    std::vector<std::uint8_t> digest(SHA_DIGEST_LENGTH);
    SHA1_Final(digest.data(), &state);
    return folder_ / hexOf(digest);
}

std::optional<std::string> KeptKeys::find(std::string_view password,
                                          const std::vector<std::uint8_t>& salt) const {
    if (folder_.empty()) return std::nullopt;
    std::ifstream in(entry(password, salt), std::ios::binary);
    std::string key;
    if (!std::getline(in, key)) return std::nullopt;
    // Anything but a raw key of the right length is no kept key.
    const bool wellFormed = key.size() == 2 * kKeyLength + 3 && key.rfind("x'", 0) == 0 &&
                            key.back() == '\'' &&
                            std::all_of(key.begin() + 2, key.end() - 1, [](char c) {
                                return std::isxdigit(static_cast<unsigned char>(c));
                            });
    if (!wellFormed) return std::nullopt;
    return key;
}

void KeptKeys::keep(std::string_view password, const std::vector<std::uint8_t>& salt,
                    const std::string& rawKey) const {
    if (folder_.empty()) return;
    std::error_code ignored;  // a key not kept is derived again next time
    std::filesystem::create_directories(folder_, ignored);
    const std::filesystem::path target = entry(password, salt);
    std::filesystem::path part = target;
    part += ".part";
    {
        std::ofstream out(part, std::ios::binary | std::ios::trunc);
        out << rawKey << '\n';
        if (!out.flush()) {
            std::filesystem::remove(part, ignored);
            return;
        }
    }
    // Whole or not at all: a reader never sees half an entry.
    std::filesystem::rename(part, target, ignored);
    if (ignored) std::filesystem::remove(part, ignored);
    forgetTheOldest();
}

void KeptKeys::forgetTheOldest() const {
    // Every new file adds an entry: the least recently kept go beyond a few dozen.
    std::vector<std::pair<std::filesystem::file_time_type, std::filesystem::path>> entries;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder_, error)) {
        std::error_code noTime;
        const auto time = entry.last_write_time(noTime);
        if (!noTime) entries.emplace_back(time, entry.path());
    }
    if (entries.size() <= kKeptEntries) return;
    std::sort(entries.begin(), entries.end());
    for (std::size_t i = 0; i + kKeptEntries < entries.size(); ++i)
        std::filesystem::remove(entries[i].second, error);
}

}  // namespace vpl::store
