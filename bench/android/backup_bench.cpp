// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// Opening a crypt15 backup of the large modern-layout database until the contact list is filled,
// against opening the database itself plus inflating its zlib stream alone, and the memory that
// decrypting costs against the database's size.
#include "backup/backup_writer.h"
#include "backup/plain_image.h"
#include "bench/timing.h"
#include "sources/android_weixin.h"
#include "sources/contact_table.h"
#include "sources/phone_folder.h"
#include "sources/program_state.h"
#include "sources/storage_opening.h"
#include "sources/whatsapp_storage.h"

#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace talvio;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void writeAll(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// The floor's second half: the same zlib stream inflated and dropped, 1 MiB at a time.
void inflateOnly(const Bytes& compressed) {
    z_stream zlib{};
    inflateInit(&zlib);
    zlib.next_in = const_cast<Bytef*>(compressed.data());
    zlib.avail_in = static_cast<uInt>(compressed.size());
    std::vector<Bytef> out(std::size_t{1} << 20);
    int result = Z_OK;
    while (result == Z_OK) {
        zlib.next_out = out.data();
        zlib.avail_out = static_cast<uInt>(out.size());
        result = inflate(&zlib, Z_NO_FLUSH);
    }
    inflateEnd(&zlib);
    if (result != Z_STREAM_END)
        std::puts("inflate failed?");
}

long statusKilobytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0)
            return std::atol(line.c_str() + std::strlen(field));
    }
    return -1;
}

// In a child of its own, so that nothing the parent holds counts: how far resident memory rose
// above where it stood while one backup was decrypted into memory, in bytes.
long decryptionPeakBytes(const WhatsAppStorage& storage, const backup::KeyMaterial& key) {
    int channel[2];
    if (::pipe(channel) != 0)
        return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        // Resets the high-water mark to what is resident now.
        std::ofstream("/proc/self/clear_refs") << "5";
        const long before = statusKilobytes("VmRSS:");
        const StorageOpening opening = openStoredBackup(storage, storage.backups[0].path, key, {}, 0);
        long rise = opening.folder ? (statusKilobytes("VmHWM:") - before) * 1024 : -1;
        if (::write(channel[1], &rise, sizeof rise) != sizeof rise)
            ::_exit(1);
        ::_exit(0);
    }
    ::close(channel[1]);
    long rise = -1;
    if (::read(channel[0], &rise, sizeof rise) != sizeof rise)
        rise = -1;
    ::close(channel[0]);
    ::waitpid(child, nullptr, 0);
    return rise;
}

}  // namespace

int main() {
    const std::string folder = TALVIO_BENCH_FOLDER;
    const std::string storageFolder = std::filesystem::path(folder).parent_path().string() + "/WhatsApp/";
    programState().timeZoneBias = 0;
    bench::printLoad();

    // The backups and the bare zlib streams of the same two databases, made once per run.
    const backup::KeyMaterial key = backup::randomKey(backup::KeyKind::Digits);
    std::filesystem::create_directories(storageFolder + "Databases");
    std::filesystem::create_directories(storageFolder + "Backups");
    std::vector<Bytes> streams;
    std::size_t databaseBytes = 0;
    for (const char* name : {"msgstore.db", "wa.db"}) {
        const Bytes plain = readAll(folder + "/databases/" + name);
        const bool messages = std::strcmp(name, "msgstore.db") == 0;
        backup::BackupWriteOptions options;
        options.featureTable = messages;
        writeAll(storageFolder + (messages ? "Databases/" : "Backups/") + name + ".crypt15",
                 backup::writeBackup(plain, key, options));
        Bytes compressed(compressBound(static_cast<uLong>(plain.size())));
        uLongf compressedSize = compressed.size();
        compress2(compressed.data(), &compressedSize, plain.data(), static_cast<uLong>(plain.size()),
                  Z_DEFAULT_COMPRESSION);
        compressed.resize(compressedSize);
        std::printf("%s: %.1f MB, compressed: %.1f MB\n", name, plain.size() / 1e6, compressed.size() / 1e6);
        databaseBytes += plain.size();
        streams.push_back(std::move(compressed));
    }

    const std::optional<WhatsAppStorage> storage = findWhatsAppStorage(storageFolder);
    if (!storage || storage->backups.empty()) {
        std::puts("the backup folder was not found");
        return 1;
    }
    CAndroidWeiXin plainSource(phoneFolderOf(kSourceAndroid, folder, "", 0));
    const double floor = bench::medianSeconds(3, [&] {
        plainSource.LoadContacts(contactTable());
        for (const Bytes& stream : streams)
            inflateOnly(stream);
    });
    const int plainRows = contactTable().count();
    const double opened = bench::medianSeconds(3, [&] {
        StorageOpening opening = openStoredBackup(*storage, storage->backups[0].path, key, {}, 0);
        CAndroidWeiXin source(*opening.folder);
        source.LoadContacts(contactTable());
    });
    std::printf("contacts: %d from the folder, %d from the backup\n", plainRows, contactTable().count());

    const long rise = decryptionPeakBytes(*storage, key);
    // The image itself, plus the decryptor's chunks and SQLite-free bookkeeping: 32 MiB.
    const double memoryLimit = static_cast<double>(databaseBytes) + 32.0 * (1 << 20);
    const bool memoryOk = rise > 0 && static_cast<double>(rise) <= memoryLimit;
    std::printf("%-44s %9.1f MB against %9.1f MB (the databases + 32 MiB) %s\n",
                "memory rise while decrypting", rise / 1e6, memoryLimit / 1e6, memoryOk ? "ok" : "OVER");

    const bool timeOk =
        bench::reportRatio("crypt15 open until listed vs plain + inflate", opened, floor, 1.3);
    return timeOk && memoryOk ? 0 : 1;
}
