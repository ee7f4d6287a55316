// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "file_record.h"

#include "plist_doc.h"

namespace talvio::ios {
namespace {

plist_t object(plist_t objects, plist_t reference) {
    const std::optional<std::uint64_t> uid = uidValue(reference);
    if (!uid || *uid >= plist_array_get_size(objects))
        return nullptr;
    return plist_array_get_item(objects, static_cast<std::uint32_t>(*uid));
}

plist_t classInfo(const char* name, const char* super) {
    plist_t info = plist_new_dict();
    plist_dict_set_item(info, "$classname", plist_new_string(name));
    plist_t classes = plist_new_array();
    plist_array_append_item(classes, plist_new_string(name));
    plist_array_append_item(classes, plist_new_string(super));
    plist_dict_set_item(info, "$classes", classes);
    return info;
}

}  // namespace

std::optional<FileRecord> parseFileRecord(std::string_view blob) {
    const PlistDoc doc = PlistDoc::fromBytes(blob);
    const plist_t objects = dictItem(doc.root(), "$objects");
    if (objects == nullptr || plist_get_node_type(objects) != PLIST_ARRAY)
        return std::nullopt;
    const plist_t file = object(objects, dictItem(dictItem(doc.root(), "$top"), "root"));
    if (file == nullptr || plist_get_node_type(file) != PLIST_DICT)
        return std::nullopt;

    FileRecord record;
    record.size = uintValue(dictItem(file, "Size"));
    record.protectionClass =
        static_cast<std::uint32_t>(uintValue(dictItem(file, "ProtectionClass")).value_or(0));
    if (const plist_t key = dictItem(file, "EncryptionKey")) {
        // Archived as an NSData object ({NS.data: …}); accept the bare data too.
        const plist_t target = plist_get_node_type(key) == PLIST_UID ? object(objects, key) : key;
        std::optional<std::string> bytes = dataValue(target);
        if (!bytes)
            bytes = dataValue(dictItem(target, "NS.data"));
        if (!bytes || bytes->size() <= 4)
            return std::nullopt;
        record.wrappedKey = bytes->substr(4);
    }
    return record;
}

std::string makeFileRecord(std::string_view relativePath, std::uint64_t size, std::uint32_t protectionClass,
                           std::string_view keyWithClass) {
    plist_t objects = plist_new_array();
    plist_array_append_item(objects, plist_new_string("$null"));
    plist_t file = plist_new_dict();
    plist_array_append_item(objects, file);
    plist_array_append_item(objects, plist_new_string(std::string(relativePath).c_str()));
    plist_array_append_item(objects, classInfo("MBFile", "NSObject"));
    plist_dict_set_item(file, "RelativePath", plist_new_uid(2));
    plist_dict_set_item(file, "$class", plist_new_uid(3));
    plist_dict_set_item(file, "Size", plist_new_uint(size));
    plist_dict_set_item(file, "ProtectionClass", plist_new_uint(protectionClass));
    plist_dict_set_item(file, "Mode", plist_new_uint(0100644));
    plist_dict_set_item(file, "Flags", plist_new_uint(0));
    plist_dict_set_item(file, "LastModified", plist_new_uint(1700000000));
    if (!keyWithClass.empty()) {
        plist_t data = plist_new_dict();
        plist_dict_set_item(data, "NS.data", plist_new_data(keyWithClass.data(), keyWithClass.size()));
        plist_dict_set_item(data, "$class", plist_new_uid(5));
        plist_array_append_item(objects, data);
        plist_array_append_item(objects, classInfo("NSMutableData", "NSData"));
        plist_dict_set_item(file, "EncryptionKey", plist_new_uid(4));
    }
    plist_t top = plist_new_dict();
    plist_dict_set_item(top, "root", plist_new_uid(1));
    plist_t root = plist_new_dict();
    plist_dict_set_item(root, "$version", plist_new_uint(100000));
    plist_dict_set_item(root, "$archiver", plist_new_string("NSKeyedArchiver"));
    plist_dict_set_item(root, "$top", top);
    plist_dict_set_item(root, "$objects", objects);
    return PlistDoc(root).toBinary();
}

}  // namespace talvio::ios
