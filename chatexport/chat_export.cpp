// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "chatexport/chat_export.h"

#include "chatexport/zip_reader.h"
#include "platform/file_ops.h"

namespace talvio::chatexport {

int ChatExport::addSender(std::string_view name) {
    if (const auto found = m_senderIndex.find(name); found != m_senderIndex.end())
        return found->second;
    const int index = static_cast<int>(m_senders.size());
    m_senders.emplace_back(name);
    m_senderIndex.emplace(std::string(name), index);
    return index;
}

std::vector<std::string> ChatExport::ownerCandidates() const {
    std::vector<bool> wrote(m_senders.size(), false);
    for (const Message& message : m_messages) {
        if (message.sender >= 0 && message.kind != MessageKind::Event)
            wrote[static_cast<std::size_t>(message.sender)] = true;
    }
    std::vector<std::string> names;
    for (std::size_t i = 0; i < m_senders.size(); ++i)
        if (wrote[i])
            names.push_back(m_senders[i]);
    return names;
}

bool ChatExport::setOwner(std::string_view name) {
    const auto found = m_senderIndex.find(name);
    if (found == m_senderIndex.end())
        return false;
    m_owner = found->second;
    return true;
}

void ChatExport::addAttachment(std::string name, AttachmentPlace place) {
    m_attachments.insert_or_assign(std::move(name), std::move(place));
}

ReadOutcome ChatExport::readAttachment(const std::string& name, std::size_t maxBytes) const {
    ReadOutcome outcome;
    const auto found = m_attachments.find(name);
    if (found == m_attachments.end()) {
        outcome.error = "The file \"" + name + "\" did not come with the export of " + m_name + ".";
        return outcome;
    }
    const AttachmentPlace& place = found->second;
    if (place.where == AttachmentPlace::Where::ZipEntry) {
        if (!m_zip || !m_zip->read(place.path, maxBytes, outcome.bytes, outcome.error)) {
            if (outcome.error.empty())
                outcome.error = "The archive of " + m_name + " is no longer open.";
        }
        return outcome;
    }
    // One byte more than allowed tells a file that is too large from one that just fits.
    auto bytes = platform::readRegularFile(place.path, maxBytes == SIZE_MAX ? maxBytes : maxBytes + 1);
    if (!bytes) {
        outcome.error = "The file " + place.path + " cannot be read. Check that it is still there.";
    } else if (bytes->size() > maxBytes) {
        outcome.error = "The file " + place.path + " is too large to show.";
    } else {
        outcome.bytes = std::move(*bytes);
    }
    return outcome;
}

}  // namespace talvio::chatexport
