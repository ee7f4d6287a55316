// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "backup/backup_decryptor.h"

#include <fcntl.h>
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

#include "backup/aes_gcm.h"
#include "backup/backup_format.h"
#include "backup/backup_header.h"
#include "backup/key_derivation.h"

namespace talvio::backup {
namespace {

constexpr std::size_t kCrypt12TrailerSize = 20;  // an MD5 and the tail of the phone number
constexpr std::size_t kMd5Size = 16;
constexpr std::size_t kMinChunkSize = 64;
constexpr std::size_t kMaxChunkSize = std::size_t{64} << 20;

using Step = std::optional<BackupOutcome>;  // nothing: carry on

// zlib's window holds recent plaintext, so its memory is wiped before it is freed; each block
// keeps its size in front of it.
constexpr std::size_t kBlockHeader = alignof(std::max_align_t);

voidpf wipedAlloc(voidpf, uInt items, uInt size) {
    if (size != 0 && items > (SIZE_MAX - kBlockHeader) / size)
        return Z_NULL;
    const std::size_t bytes = std::size_t{items} * size;
    auto* block = static_cast<std::uint8_t*>(std::malloc(bytes + kBlockHeader));
    if (block == nullptr)
        return Z_NULL;
    std::memcpy(block, &bytes, sizeof bytes);
    return block + kBlockHeader;
}

void wipedFree(voidpf, voidpf address) {
    auto* block = static_cast<std::uint8_t*>(address) - kBlockHeader;
    std::size_t bytes = 0;
    std::memcpy(&bytes, block, sizeof bytes);
    OPENSSL_cleanse(address, bytes);
    std::free(block);
}

struct WipedBuffer {
    explicit WipedBuffer(std::size_t size) : bytes(size) {}
    ~WipedBuffer() { wipe(bytes.data(), bytes.size()); }
    std::vector<std::uint8_t> bytes;
};

BackupOutcome readFailed(int error) {
    return {BackupStatus::ReadFailed, "The backup file cannot be read (" + std::string(std::strerror(error)) +
                                          "). Check that it is still there and that you may read it."};
}

BackupOutcome writeFailed() {
    return {BackupStatus::WriteFailed,
            "The decrypted database could not be kept: there may be no room left in the temporary folder."};
}

// Reads exactly out.size() bytes at `offset`; the error number, 0 for a file that became shorter.
std::optional<int> readAt(int fd, std::uint64_t offset, std::span<std::uint8_t> out) {
    while (!out.empty()) {
        const ssize_t got = ::pread(fd, out.data(), out.size(), static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return errno;
        if (got == 0)
            return 0;
        out = out.subspan(static_cast<std::size_t>(got));
        offset += static_cast<std::uint64_t>(got);
    }
    return std::nullopt;
}

Step checkKeyKind(BackupFormat format, KeyKind kind) {
    if (format == BackupFormat::Crypt15 && kind == KeyKind::BackupKeyFile) {
        return BackupOutcome{
            BackupStatus::WrongKeyKind,
            "This is a `key` file, which opens crypt12 and crypt14 backups. A crypt15 backup "
            "opens with its encrypted_backup.key file or the 64-digit key shown when "
            "end-to-end backup was turned on."};
    }
    if (format != BackupFormat::Crypt15 && kind == KeyKind::RootKeyFile) {
        return BackupOutcome{BackupStatus::WrongKeyKind,
                             "This is an encrypted_backup.key file, which opens crypt15 backups. A " +
                                 std::string(formatName(format)) +
                                 " backup opens with the `key` file from the phone's "
                                 "/data/data/com.whatsapp/files folder."};
    }
    return std::nullopt;
}

// One pass over the file: decrypt a chunk, check how the plaintext starts, inflate it into the
// sink, report progress. Memory is the chunk read, its plaintext and one inflated chunk.
class Decryption {
public:
    Decryption(int fd, std::uint64_t fileSize, const BackupHeader& header, const KeyMaterial& key,
               PlainSink& sink, const DecryptOptions& options)
        : m_fd(fd),
          m_fileSize(fileSize),
          m_header(header),
          m_cipher(AesGcm::Direction::Decrypt, key, header.nonce),
          m_sink(sink),
          m_options(options),
          m_chunkSize(std::clamp(options.chunkSize, kMinChunkSize, kMaxChunkSize)),
          m_input(m_chunkSize),
          m_plain(m_chunkSize),
          m_output(m_chunkSize),
          m_md5(EVP_MD_CTX_new()) {}

    ~Decryption() {
        if (m_inflating)
            inflateEnd(&m_zlib);
        EVP_MD_CTX_free(m_md5);
    }

    BackupOutcome run() {
        m_zlib.zalloc = wipedAlloc;
        m_zlib.zfree = wipedFree;
        if (!m_cipher.ready() || m_md5 == nullptr || EVP_DigestInit_ex(m_md5, EVP_md5(), nullptr) != 1 ||
            inflateInit(&m_zlib) != Z_OK)
            return {BackupStatus::ReadFailed, "The decryption could not be set up (out of memory?)."};
        m_inflating = true;
        const Step step = m_header.format == BackupFormat::Crypt12 ? runCrypt12() : runPrefixed();
        if (step)
            return *step;
        if (!m_streamEnded)
            return damaged("the compressed database ends early");
        if (m_options.progress && !m_options.progress(m_fileSize, m_fileSize))
            return cancelled();
        return decrypted();
    }

private:
    Step runCrypt12() {
        const std::uint64_t tail = kGcmTagSize + kCrypt12TrailerSize;
        if (m_fileSize < m_header.size + tail)
            return damaged("the file is shorter than its header and trailer");
        const std::uint64_t tagAt = m_fileSize - tail;
        if (Step step = decryptRange(m_header.size, tagAt))
            return step;
        std::array<std::uint8_t, kGcmTagSize> tag{};
        if (const auto error = readAt(m_fd, tagAt, tag))
            return *error ? readFailed(*error) : damaged("the file shrank");
        return verify(tag);
    }

    // The last 32 bytes are either the tag and an MD5 of everything before it, or the last 16 bytes
    // of ciphertext and the tag; the MD5, computed on the way, tells which.
    Step runPrefixed() {
        const std::uint64_t tail = kGcmTagSize + kMd5Size;
        if (m_fileSize < m_header.size + tail)
            return damaged("the file is shorter than its header and checksum");
        std::array<std::uint8_t, kMaxHeaderSize> head{};
        const auto headBytes = std::span(head).first(m_header.size);
        if (const auto error = readAt(m_fd, 0, headBytes))
            return *error ? readFailed(*error) : damaged("the file shrank");
        EVP_DigestUpdate(m_md5, headBytes.data(), headBytes.size());
        m_hashed = m_header.size;

        const std::uint64_t lastAt = m_fileSize - tail;
        if (Step step = decryptRange(m_header.size, lastAt))
            return explain(step);
        std::array<std::uint8_t, kGcmTagSize + kMd5Size> last{};
        if (const auto error = readAt(m_fd, lastAt, last))
            return *error ? readFailed(*error) : damaged("the file shrank");
        std::array<std::uint8_t, EVP_MAX_MD_SIZE> md5{};
        unsigned int md5Size = 0;
        EVP_DigestUpdate(m_md5, last.data(), kGcmTagSize);
        EVP_DigestFinal_ex(m_md5, md5.data(), &md5Size);
        const auto first = std::span<const std::uint8_t>(last).first<kGcmTagSize>();
        const auto second = std::span<const std::uint8_t>(last).last<kMd5Size>();
        // The file is as the phone wrote it, so a tag that does not match means another key.
        if (md5Size == kMd5Size && std::equal(second.begin(), second.end(), md5.begin()))
            return verify(first) ? Step(wrongKey()) : std::nullopt;
        if (Step step = decryptPiece(first))
            return step;
        return verify(second);
    }

    Step verify(std::span<const std::uint8_t, kGcmTagSize> tag) {
        if (!m_cipher.verify(tag))
            return damaged("its contents do not match their authentication tag");
        return std::nullopt;
    }

    // Plaintext that goes wrong mid-way in a file whose MD5 trailer matches was decrypted with
    // another key (a wrong key's first bytes pass for zlib's about once in 500); else it is damage.
    Step explain(Step failure) {
        if (!failure || failure->status != BackupStatus::Damaged)
            return failure;
        const std::uint64_t md5At = m_fileSize - kMd5Size;
        for (std::uint64_t offset = m_hashed; offset < md5At;) {
            const auto size = static_cast<std::size_t>(std::min<std::uint64_t>(m_chunkSize, md5At - offset));
            const auto chunk = std::span(m_input.bytes).first(size);
            if (readAt(m_fd, offset, chunk))
                return failure;
            EVP_DigestUpdate(m_md5, chunk.data(), chunk.size());
            offset += size;
            if (m_options.progress && !m_options.progress(offset, m_fileSize))
                return cancelled();
        }
        std::array<std::uint8_t, kMd5Size> stored{};
        std::array<std::uint8_t, EVP_MAX_MD_SIZE> md5{};
        unsigned int md5Size = 0;
        if (readAt(m_fd, md5At, stored) || EVP_DigestFinal_ex(m_md5, md5.data(), &md5Size) != 1 ||
            md5Size != kMd5Size)
            return failure;
        return std::equal(stored.begin(), stored.end(), md5.begin()) ? Step(wrongKey()) : failure;
    }

    Step decryptRange(std::uint64_t from, std::uint64_t to) {
        for (std::uint64_t offset = from; offset < to;) {
            const auto size = static_cast<std::size_t>(std::min<std::uint64_t>(m_chunkSize, to - offset));
            const auto chunk = std::span(m_input.bytes).first(size);
            if (const auto error = readAt(m_fd, offset, chunk))
                return *error ? readFailed(*error) : damaged("the file shrank");
            if (m_header.format != BackupFormat::Crypt12) {
                EVP_DigestUpdate(m_md5, chunk.data(), chunk.size());
                m_hashed = offset + size;
            }
            if (Step step = decryptPiece(chunk))
                return step;
            offset += size;
            if (m_options.progress && !m_options.progress(offset, m_fileSize))
                return cancelled();
        }
        return std::nullopt;
    }

    Step decryptPiece(std::span<const std::uint8_t> cipherText) {
        if (!m_cipher.update(cipherText, m_plain.bytes.data()))
            return damaged("the cipher failed");
        return consume(std::span<const std::uint8_t>(m_plain.bytes).first(cipherText.size()));
    }

    // The database is a zlib stream; anything else at the start means a wrong key (random bytes)
    // or a ZIP of several files, and nothing reaches the sink.
    Step consume(std::span<const std::uint8_t> plain) {
        if (m_startSeen < m_start.size()) {
            const std::size_t take = std::min(plain.size(), m_start.size() - m_startSeen);
            std::copy_n(plain.begin(), take, m_start.begin() + static_cast<std::ptrdiff_t>(m_startSeen));
            m_startSeen += take;
            if (m_startSeen < m_start.size())
                return std::nullopt;
            if (Step step = checkStart())
                return step;
            if (Step step = inflateInto(m_start))
                return step;
            plain = plain.subspan(take);
        }
        return inflateInto(plain);
    }

    Step checkStart() const {
        if (m_start[0] == 'P' && m_start[1] == 'K') {
            return BackupOutcome{
                BackupStatus::NotReadYet,
                "This backup holds several files (a multi-file or incremental backup), which "
                "Talvio does not read yet. Open the full msgstore backup instead."};
        }
        const unsigned header = m_start[0] << 8 | m_start[1];
        if ((m_start[0] & 0x0F) != Z_DEFLATED || header % 31 != 0)
            return wrongKey();
        return std::nullopt;
    }

    Step inflateInto(std::span<const std::uint8_t> compressed) {
        if (m_streamEnded)
            return std::nullopt;  // the tag still covers what follows; inflate has done
        m_zlib.next_in = const_cast<Bytef*>(compressed.data());
        m_zlib.avail_in = static_cast<uInt>(compressed.size());
        do {
            m_zlib.next_out = m_output.bytes.data();
            m_zlib.avail_out = static_cast<uInt>(m_output.bytes.size());
            const int result = inflate(&m_zlib, Z_NO_FLUSH);
            const std::size_t produced = m_output.bytes.size() - m_zlib.avail_out;
            if (produced > 0 && !m_sink.write(std::span<const std::uint8_t>(m_output.bytes).first(produced)))
                return writeFailed();
            if (result == Z_STREAM_END) {
                m_streamEnded = true;
                break;
            }
            if (result != Z_OK && result != Z_BUF_ERROR)
                return damaged("the compressed database is broken");
            if (result == Z_BUF_ERROR && m_zlib.avail_in > 0)
                return damaged("the compressed database is broken");
        } while (m_zlib.avail_in > 0 || m_zlib.avail_out == 0);
        return std::nullopt;
    }

    int m_fd;
    std::uint64_t m_fileSize;
    const BackupHeader& m_header;
    AesGcm m_cipher;
    PlainSink& m_sink;
    const DecryptOptions& m_options;
    std::size_t m_chunkSize;
    WipedBuffer m_input;
    WipedBuffer m_plain;
    WipedBuffer m_output;
    EVP_MD_CTX* m_md5;
    std::uint64_t m_hashed = 0;  // bytes from the start of the file that went into m_md5
    z_stream m_zlib{};
    bool m_inflating = false;
    bool m_streamEnded = false;
    std::array<std::uint8_t, 2> m_start{};
    std::size_t m_startSeen = 0;
};

BackupOutcome decryptOpened(int fd, std::string_view fileName, const KeyMaterial& key, PlainSink& sink,
                            const DecryptOptions& options) {
    const FormatGuess guess = formatFromFileName(fileName);
    if (!guess.format)
        return guess.refusal;
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return readFailed(errno);
    if (!S_ISREG(info.st_mode))
        return {BackupStatus::UnknownFormat, "This is not a regular file. Choose the backup file itself."};
    const auto fileSize = static_cast<std::uint64_t>(info.st_size);

    std::array<std::uint8_t, kMaxHeaderSize> start{};
    const auto startBytes =
        std::span(start).first(static_cast<std::size_t>(std::min<std::uint64_t>(fileSize, start.size())));
    if (const auto error = readAt(fd, 0, startBytes))
        return *error ? readFailed(*error) : damaged("the file shrank");
    const HeaderResult parsed = parseBackupHeader(startBytes, *guess.format);
    if (!parsed.header)
        return parsed.failure;
    if (Step step = checkKeyKind(*guess.format, key.kind()))
        return *step;

    // A 64-digit key given for crypt12 or crypt14 is taken as the AES key itself, in hex.
    std::optional<KeyMaterial> aesKey = key;
    if (*guess.format == BackupFormat::Crypt15)
        aesKey = deriveCrypt15Key(key);
    if (!aesKey)
        return {BackupStatus::ReadFailed, "The backup key could not be derived (libcrypto failed)."};
    return Decryption(fd, fileSize, *parsed.header, *aesKey, sink, options).run();
}

}  // namespace

BackupOutcome decryptBackup(int fd, std::string_view fileName, const KeyMaterial& key, PlainSink& sink,
                            const DecryptOptions& options) {
    BackupOutcome outcome = decryptOpened(fd, fileName, key, sink, options);
    if (!outcome.ok())
        sink.discard();
    return outcome;
}

BackupOutcome decryptBackup(const std::string& path, const KeyMaterial& key, PlainSink& sink,
                            const DecryptOptions& options) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        const int error = errno;
        sink.discard();
        return readFailed(error);
    }
    BackupOutcome outcome = decryptBackup(fd, path, key, sink, options);
    ::close(fd);
    return outcome;
}

}  // namespace talvio::backup
